// SPDX-License-Identifier: MIT
#include "reference_codec.h"

#include "codec/jis0212.h"

namespace kotoha::reference {

namespace {

constexpr unsigned kEsc = 0x1B, kCr = 0x0D, kLf = 0x0A, kBlank = 0x20;

bool In(unsigned b, unsigned lo, unsigned hi) {
    return b >= lo && b <= hi;
}
bool Kana(unsigned b) {
    return In(b, 0xA1, 0xDF);
}
bool Lead(unsigned b) {
    return In(b, 0x81, 0x9F) || In(b, 0xE0, 0xFC);
}
bool Trail(unsigned b) {
    return In(b, 0x40, 0x7E) || In(b, 0x80, 0xFC);
}
unsigned At(const std::string& s, std::size_t i) {
    return static_cast<std::uint8_t>(s[i]);
}
void Put(std::string& out, unsigned b) {
    out.push_back(static_cast<char>(b));
}

std::uint16_t WidenAt(const std::string& text, std::size_t& i) {
    const unsigned b = At(text, i++);
    const std::uint16_t code = KanaToFullWidth(static_cast<std::uint8_t>(b));
    if (i == text.size())
        return code;
    // One sound mark at most: after a folded voiced mark the character ends.
    if (At(text, i) == 0xDE) {
        if (b == 0xB3) {
            ++i;
            return 0x8394;
        }
        if (In(b, 0xB6, 0xC4) || In(b, 0xCA, 0xCE)) {
            ++i;
            return static_cast<std::uint16_t>(code + 1);
        }
    } else if (At(text, i) == 0xDF && In(b, 0xCA, 0xCE)) {
        ++i;
        return static_cast<std::uint16_t>(code + 2);
    }
    return code;
}

int KindNumber(EncodingKind kind) {
    return static_cast<int>(kind);
}

}  // namespace

std::uint16_t JisToSjis(std::uint16_t jis) {
    const unsigned j1 = jis / 256, j2 = jis % 256;
    if (!In(j1, 0x21, 0x7E) || !In(j2, 0x21, 0x7E))
        return 0;
    unsigned s2;
    if (j1 % 2 == 1) {
        s2 = j2 <= 0x5F ? j2 + 0x1F : j2 + 0x20;
    } else {
        s2 = j2 + 0x7E;
    }
    unsigned s1 = (j1 - 0x21) / 2 + 0x81;
    if (s1 > 0x9F)
        s1 += 0x40;
    return static_cast<std::uint16_t>(s1 * 256 + s2);
}

std::uint16_t SjisToJis(std::uint16_t sjis) {
    const unsigned s1 = sjis / 256, s2 = sjis % 256;
    if (!Lead(s1) || !Trail(s2))
        return 0;
    const unsigned a = s1 < 0xA0 ? s1 - 0x81 : s1 - 0xC1;
    unsigned j1, j2;
    if (s2 >= 0x9F) {
        j1 = 2 * a + 0x22;
        j2 = s2 - 0x7E;
    } else {
        j1 = 2 * a + 0x21;
        j2 = s2 - 0x1F;
        if (s2 > 0x7E)
            j2 -= 1;
    }
    if (!In(j1, 0x21, 0x7E) || !In(j2, 0x21, 0x7E))
        return 0;
    return static_cast<std::uint16_t>(j1 * 256 + j2);
}

ImportResult Import(EncodingKind kind, bool emitCrLf, const std::string& in) {
    std::string out;
    std::uint32_t kana = 0, pairs = 0, loneCrs = 0, loneLfs = 0;
    const bool jis = KindNumber(kind) == 1, euc = KindNumber(kind) == 2;
    enum { ASCII, KANA, KANJI } mode = ASCII;
    auto lineBreak = [&] {
        if (emitCrLf)
            Put(out, kCr);
        Put(out, kLf);
    };
    const std::size_t n = in.size();
    std::size_t i = 0;
    while (i < n) {
        const unsigned b = At(in, i);
        const bool hasNext = i + 1 < n;
        const unsigned d = hasNext ? At(in, i + 1) : 0;
        // Control step.
        if (b == kCr) {
            lineBreak();
            if (hasNext && d == kLf) {
                ++pairs;
                i += 2;
            } else {
                ++loneCrs;
                ++i;
            }
            continue;
        }
        if (b == kLf) {
            ++loneLfs;
            lineBreak();
            ++i;
            continue;
        }
        if ((b < 0x20 && !(jis && b == kEsc)) || b == 0x7F) {
            Put(out, b);
            ++i;
            continue;
        }
        if (jis) {
            if (b == kEsc) {
                if (i + 2 < n) {
                    const std::string designation = in.substr(i + 1, 2);
                    bool known = true;
                    if (designation == "(B" || designation == "(J") {
                        mode = ASCII;
                    } else if (designation == "(I") {
                        mode = KANA;
                    } else if (designation == "$@" || designation == "$B") {
                        mode = KANJI;
                    } else {
                        known = false;
                    }
                    if (known) {
                        i += 3;
                        continue;
                    }
                }
                Put(out, kBlank);
                ++i;
            } else if (mode == ASCII) {
                Put(out, b < 0x80 ? b : kBlank);
                ++i;
            } else if (mode == KANA) {
                if (Kana(b | 0x80)) {
                    Put(out, b | 0x80);
                    ++kana;
                } else {
                    Put(out, kBlank);
                }
                ++i;
            } else if (In(b, 0x21, 0x7E) && hasNext && In(d, 0x21, 0x7E)) {
                const std::uint16_t code = JisToSjis(static_cast<std::uint16_t>(b * 256 + d));
                Put(out, code / 256);
                Put(out, code % 256);
                i += 2;
            } else {
                Put(out, kBlank);
                ++i;
            }
        } else if (euc) {
            if (b == 0x8F && i + 2 < n && In(d, 0xA1, 0xFE) && In(At(in, i + 2), 0xA1, 0xFE)) {
                // A JIS X 0212 character; without an extension table it is
                // the middle dot, a code with no character a blank.
                const auto jis =
                    static_cast<std::uint16_t>((d - 0x80) * 256 + (At(in, i + 2) - 0x80));
                if (Jis0212ToUnicode(jis) != 0) {
                    Put(out, 0x81);
                    Put(out, 0x45);
                } else {
                    Put(out, kBlank);
                }
                i += 3;
            } else if (b == 0x8E) {
                if (hasNext && Kana(d)) {
                    Put(out, d);
                    ++kana;
                    i += 2;
                } else {
                    Put(out, kBlank);
                    ++i;
                }
            } else if (In(b, 0xA1, 0xFE)) {
                if (hasNext && In(d, 0xA1, 0xFE)) {
                    const std::uint16_t code =
                        JisToSjis(static_cast<std::uint16_t>((b - 0x80) * 256 + (d - 0x80)));
                    Put(out, code / 256);
                    Put(out, code % 256);
                    i += 2;
                } else {
                    Put(out, kBlank);
                    ++i;
                }
            } else {
                Put(out, Lead(b) ? kBlank : b);
                ++i;
            }
        } else {
            if (Lead(b)) {
                if (hasNext && Trail(d)) {
                    Put(out, b);
                    Put(out, d);
                    i += 2;
                } else {
                    Put(out, kBlank);
                    ++i;
                }
            } else {
                if (Kana(b))
                    ++kana;
                Put(out, b);
                ++i;
            }
        }
    }
    LineBreakKind lineBreakKind = LineBreakKind::WIN;
    const int kinds = (pairs > 0) + (loneCrs > 0) + (loneLfs > 0);
    if (kinds > 1) {
        lineBreakKind = LineBreakKind::MIXED;
    } else if (loneCrs > 0) {
        lineBreakKind = LineBreakKind::MAC;
    } else if (loneLfs > 0) {
        lineBreakKind = LineBreakKind::UX;
    }
    return {out, lineBreakKind, kana};
}

std::string Export(EncodingKind kind, LineBreakKind lineBreak, const std::string& text,
                   bool widen) {
    std::string out;
    auto output = [&](unsigned b) {
        if (b != kLf) {
            Put(out, b);
        } else if (lineBreak == LineBreakKind::WIN) {
            out += "\r\n";
        } else if (lineBreak == LineBreakKind::MAC) {
            out += "\r";
        } else {
            out += "\n";
        }
    };
    auto outputCode = [&](unsigned code) {
        output(code / 256);
        output(code % 256);
    };
    enum { ASCII, KANA, KANJI } mode = ASCII;
    auto enter = [&](decltype(mode) wanted) {
        if (mode == wanted)
            return;
        mode = wanted;
        output(kEsc);
        output(wanted == KANJI ? '$' : '(');
        output(wanted == KANA ? 'I' : 'B');
    };
    const int k = KindNumber(kind);
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned b = At(text, i);
        const bool pair = Lead(b) && i + 1 < text.size();
        if (k == 1) {
            if (Kana(b) && widen) {
                enter(KANJI);
                outputCode(SjisToJis(WidenAt(text, i)));
            } else if (Kana(b)) {
                enter(KANA);
                output(b - 0x80);
                ++i;
            } else if (pair) {
                enter(KANJI);
                const unsigned j = SjisToJis(static_cast<std::uint16_t>(b * 256 + At(text, i + 1)));
                outputCode(j == 0 ? 0x2121 : j);
                i += 2;
            } else if (b >= 0x80 || b == kEsc) {
                // Stray bytes and ESC have no JIS form: a full-width space.
                enter(KANJI);
                outputCode(0x2121);
                ++i;
            } else {
                enter(ASCII);
                output(b);
                ++i;
            }
        } else if (k == 2) {
            if (Kana(b) && widen) {
                outputCode(SjisToJis(WidenAt(text, i)) + 0x8080);
            } else if (Kana(b)) {
                output(0x8E);
                output(b);
                ++i;
            } else if (pair) {
                const unsigned j = SjisToJis(static_cast<std::uint16_t>(b * 256 + At(text, i + 1)));
                outputCode(j == 0 ? 0xA1A1 : j + 0x8080);
                i += 2;
            } else if (b >= 0x80) {
                outputCode(0xA1A1);
                ++i;
            } else {
                output(b);
                ++i;
            }
        } else {
            if (Kana(b) && widen) {
                outputCode(WidenAt(text, i));
            } else if (Kana(b)) {
                output(b);
                ++i;
            } else if (pair) {
                output(b);
                output(At(text, i + 1));
                i += 2;
            } else {
                // Shift-JIS writes a stray byte back as it came.
                output(b);
                ++i;
            }
        }
    }
    return out;
}

std::string Widen(const std::string& text) {
    std::string out;
    std::size_t i = 0;
    while (i < text.size()) {
        const unsigned b = At(text, i);
        if (Kana(b)) {
            const std::uint16_t code = WidenAt(text, i);
            Put(out, code / 256);
            Put(out, code % 256);
        } else if (Lead(b) && i + 1 < text.size()) {
            out += text.substr(i, 2);
            i += 2;
        } else {
            Put(out, b);
            ++i;
        }
    }
    return out;
}

std::uint32_t CountKana(const std::string& text) {
    std::uint32_t count = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (Kana(At(text, i)))
            ++count;
        if (Lead(At(text, i)))
            ++i;
    }
    return count;
}

DetectionResult Detect(const std::string& s, bool preferWinText) {
    const std::size_t n = s.size();
    std::uint32_t escapeBytes = 0, eightBit = 0;
    std::size_t first = n;
    for (std::size_t i = 0; i < n;) {
        const unsigned b = At(s, i);
        if (b == kEsc && i + 2 < n) {
            const std::string two = s.substr(i + 1, 2);
            if (two == "(B" || two == "(I" || two == "(J" || two == "$@" || two == "$B") {
                escapeBytes += 3;
                i += 3;
                continue;
            }
        } else if (b >= 0x80) {
            if (first == n)
                first = i;
            ++eightBit;
        }
        ++i;
    }
    auto share = [](std::uint64_t figure, std::uint64_t total) -> std::uint32_t {
        return total == 0 ? 0 : static_cast<std::uint32_t>((figure * 1000 / total + 5) / 10);
    };
    const bool e = escapeBytes > 0;
    if (!e && eightBit == 0)
        return MakeDetectionResult(0, 0);
    if (eightBit == 0)
        return MakeDetectionResult(2, 2);

    bool euc = true;
    for (std::size_t i = first; i < n;) {
        const unsigned b = At(s, i);
        if (b < 0x80) {
            ++i;
        } else if (b == 0x8E || In(b, 0xA1, 0xFE)) {
            if (i + 1 < n && !In(At(s, i + 1), 0xA1, 0xFE)) {
                euc = false;
                break;
            }
            i += 2;
        } else {
            euc = false;
            break;
        }
    }
    bool sjis = true;
    std::uint32_t k = 0, t = 0;
    for (std::size_t i = first; i < n;) {
        const unsigned b = At(s, i);
        if (b < 0x80) {
            ++i;
        } else if (Kana(b)) {
            ++k;
            ++t;
            ++i;
        } else if (Lead(b)) {
            if (i + 1 < n && !Trail(At(s, i + 1))) {
                sjis = false;
                break;
            }
            t += 2;
            i += 2;
        } else {
            sjis = false;
            break;
        }
    }
    const std::uint32_t kanaShare = sjis && t > 0 ? share(k, t) : 0;

    if (e && !euc && !sjis)
        return MakeDetectionResult(2, 2);
    if (!e && euc && !sjis)
        return MakeDetectionResult(4, 4);
    if (!e && !euc && sjis)
        return MakeDetectionResult(1, 1);
    const std::uint16_t candidates = e ? 7 : 5;
    std::uint16_t choice = 1;
    if (sjis && preferWinText) {
        choice = 1;
    } else if (e && share(escapeBytes, n) >= share(eightBit, n)) {
        choice = 2;
    } else if (sjis && euc) {
        choice = kanaShare >= 40 ? 4 : 1;
    } else if (euc) {
        choice = 4;
    }
    return MakeDetectionResult(choice, candidates);
}

namespace {

unsigned Pick(std::mt19937& rng, unsigned lo, unsigned hi) {
    return std::uniform_int_distribution<unsigned>(lo, hi)(rng);
}
unsigned PickLead(std::mt19937& rng, bool userDefined) {
    const unsigned r = Pick(rng, 0, userDefined ? 3 : 2);
    return r == 0 ? Pick(rng, 0xE0, 0xEF) : r == 3 ? Pick(rng, 0xF0, 0xFC) : Pick(rng, 0x81, 0x9F);
}
unsigned PickTrail(std::mt19937& rng) {
    const unsigned b = Pick(rng, 0x40, 0xFC);
    return b == 0x7F ? 0x80 : b;
}

}  // namespace

std::string RandomRawBytes(std::mt19937& rng, std::size_t maxLength) {
    static const char* const kEscapes[] = {"\x1B(B", "\x1B(J",  "\x1B(I", "\x1B$@",
                                           "\x1B$B", "\x1B$(B", "\x1B"};
    const std::size_t length = Pick(rng, 0, static_cast<unsigned>(maxLength));
    std::string s;
    while (s.size() < length) {
        switch (Pick(rng, 0, 11)) {
            case 0:
                s += kEscapes[Pick(rng, 0, 6)];
                break;
            case 1:
                Put(s, 0x8E);
                if (Pick(rng, 0, 1))
                    Put(s, Pick(rng, 0xA1, 0xDF));
                break;
            case 2:
                Put(s, PickLead(rng, true));
                Put(s, Pick(rng, 0, 3) ? PickTrail(rng) : Pick(rng, 0, 255));
                break;
            case 3:
                Put(s, Pick(rng, 0xA1, 0xFE));
                Put(s, Pick(rng, 0xA1, 0xFE));
                break;
            case 4:
                s += Pick(rng, 0, 2) == 0 ? "\r\n" : Pick(rng, 0, 1) ? "\r" : "\n";
                break;
            case 5:
                Put(s, Pick(rng, 0, 3) ? Pick(rng, 0xA1, 0xDF) : Pick(rng, 0xDE, 0xDF));
                break;
            case 6:
                Put(s, 0);
                break;
            case 7:
            case 8:
                Put(s, Pick(rng, 0x20, 0x7E));
                break;
            case 9:
                Put(s, Pick(rng, 0, 1) ? 0x8F : Pick(rng, 0x80, 0xA0));
                break;
            default:
                Put(s, Pick(rng, 0, 255));
                break;
        }
    }
    // Ending anywhere also cuts sequences and pairs short.
    s.resize(length);
    return s;
}

std::string RandomInternalText(std::mt19937& rng, std::size_t maxLength, TextOptions options) {
    static const unsigned kStrays[] = {0x80, 0xA0, 0xFD, 0xFE, 0xFF};
    const std::size_t length = Pick(rng, 0, static_cast<unsigned>(maxLength));
    std::string s;
    while (s.size() < length) {
        switch (Pick(rng, 0, 9)) {
            case 0:
            case 1:
                Put(s, Pick(rng, 0x20, 0x7E));
                break;
            case 2:
                Put(s, kLf);
                break;
            case 3: {
                const unsigned b = Pick(rng, 0, 0x20);
                if (b == kCr || b == kLf || (b == kEsc && !options.esc))
                    break;
                Put(s, b == 0x20 ? 0x7F : b);
                break;
            }
            case 4:
            case 5:
                Put(s, Pick(rng, 0xA1, 0xDF));
                if (Pick(rng, 0, 1))
                    Put(s, Pick(rng, 0xDE, 0xDF));
                break;
            case 6:
            case 7:
            case 8:
                Put(s, PickLead(rng, options.userDefined));
                Put(s, PickTrail(rng));
                break;
            default:
                if (options.strayBytes)
                    Put(s, kStrays[Pick(rng, 0, 4)]);
                break;
        }
    }
    return s;
}

}  // namespace kotoha::reference
