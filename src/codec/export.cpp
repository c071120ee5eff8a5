#include "codec/export.h"

#include <cstring>
#include <string>

#include "codec/cp932.h"

namespace kotoha {

namespace {

constexpr std::uint8_t kCr = 0x0D;
constexpr std::uint8_t kLf = 0x0A;

// State of one export call: the range, the line-break translation and the
// staging buffer in front of the sink.
//
// Bytes are staged without a bounds check; before each character the
// encoders call Ready, which hands a full chunk to the sink once more than a
// chunk is staged and keeps the rest. The sink therefore sees exactly the
// chunks it would see if each chunk were written the moment it filled up,
// while the staging of one byte costs one store.
class ExportContext {
  public:
    ExportContext(ByteSink& sink, LineBreakKind lineBreakKind)
        : sink_(sink), lineBreakKind_(lineBreakKind) {}

    bool failed() const { return failed_; }

    // Call before each character: false once the sink has failed.
    bool Ready() {
        if (count_ > kExportChunkSize)
            Spill();
        return !failed_;
    }

    // Outputs one byte of the encoded text, translating LF.
    void Output(std::uint8_t b) {
        if (b != kLf) {
            Emit(b);
        } else if (lineBreakKind_ == LineBreakKind::WIN) {
            Emit(kCr);
            Emit(kLf);
        } else if (lineBreakKind_ == LineBreakKind::MAC) {
            Emit(kCr);
        } else {
            Emit(kLf);
        }
    }
    void OutputCode(std::uint16_t code) {
        Emit(static_cast<std::uint8_t>(code >> 8));
        Emit(static_cast<std::uint8_t>(code));
    }
    void OutputEscape(char a, char b) {
        Emit(0x1B);
        Emit(static_cast<std::uint8_t>(a));
        Emit(static_cast<std::uint8_t>(b));
    }

    // Hands the staged bytes to the sink; the last chunk may be empty.
    void Flush() {
        // After a failed write the sink takes nothing more.
        if (failed_)
            return;
        if (count_ > kExportChunkSize)
            Spill();
        if (failed_)
            return;
        if (!sink_.Write(buffer_, count_))
            failed_ = true;
        count_ = 0;
    }

  private:
    // The most one character stages: an escape sequence and a two-byte code,
    // or ESC ( B and CR LF, or a three-byte UTF-8 sequence.
    static constexpr std::size_t kMaxCharBytes = 5;

    void Emit(std::uint8_t b) { buffer_[count_++] = b; }

    void Spill() {
        if (!sink_.Write(buffer_, kExportChunkSize)) {
            failed_ = true;
            return;
        }
        count_ -= kExportChunkSize;
        std::memcpy(buffer_, buffer_ + kExportChunkSize, count_);
    }

    ByteSink& sink_;
    LineBreakKind lineBreakKind_;
    bool failed_ = false;
    std::size_t count_ = 0;
    std::uint8_t buffer_[kExportChunkSize + kMaxCharBytes];
};

// True when the character at p is a lead byte with its second byte in range.
bool IsPairAt(const std::uint8_t* p, const std::uint8_t* end) {
    return IsLeadByte(*p) && p + 1 < end;
}

std::uint16_t CodeAt(const std::uint8_t* p) {
    return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
}

void EncodeSjis(ExportContext& c, const std::uint8_t* p, const std::uint8_t* end, bool widen) {
    while (p < end && c.Ready()) {
        const std::uint8_t b = *p;
        if (IsHalfWidthKana(b)) {
            if (widen) {
                c.OutputCode(WidenKanaAt(p, end));
            } else {
                c.Output(b);
                ++p;
            }
        } else if (IsPairAt(p, end)) {
            c.OutputCode(CodeAt(p));
            p += 2;
        } else {
            c.Output(b >= 0x80 ? 0x00 : b);
            ++p;
        }
    }
}

void OutputEucCode(ExportContext& c, std::uint16_t jis) {
    c.OutputCode(jis == 0 ? 0xA1A1 : static_cast<std::uint16_t>(jis | 0x8080));
}

void EncodeEuc(ExportContext& c, const std::uint8_t* p, const std::uint8_t* end, bool widen) {
    while (p < end && c.Ready()) {
        const std::uint8_t b = *p;
        if (IsHalfWidthKana(b)) {
            if (widen) {
                OutputEucCode(c, SjisToJis(WidenKanaAt(p, end)));
            } else {
                c.Output(kSingleShift2);
                c.Output(b);
                ++p;
            }
        } else if (IsPairAt(p, end)) {
            OutputEucCode(c, SjisToJis(CodeAt(p)));
            p += 2;
        } else {
            c.Output(b >= 0x80 ? 0x00 : b);
            ++p;
        }
    }
}

enum class JisMode { ASCII, KANA, KANJI };

void EncodeJis(ExportContext& c, const std::uint8_t* p, const std::uint8_t* end, bool widen) {
    JisMode mode = JisMode::ASCII;
    auto enter = [&](JisMode wanted) {
        if (mode == wanted)
            return;
        mode = wanted;
        switch (wanted) {
            case JisMode::ASCII:
                c.OutputEscape('(', 'B');
                break;
            case JisMode::KANA:
                c.OutputEscape('(', 'I');
                break;
            case JisMode::KANJI:
                c.OutputEscape('$', 'B');
                break;
        }
    };
    while (p < end && c.Ready()) {
        const std::uint8_t b = *p;
        if (IsHalfWidthKana(b)) {
            if (widen) {
                enter(JisMode::KANJI);
                c.OutputCode(SjisToJis(WidenKanaAt(p, end)));
            } else {
                enter(JisMode::KANA);
                c.Output(b & 0x7F);
                ++p;
            }
        } else if (IsPairAt(p, end)) {
            enter(JisMode::KANJI);
            const std::uint16_t jis = SjisToJis(CodeAt(p));
            c.OutputCode(jis == 0 ? 0x2121 : jis);
            p += 2;
        } else {
            enter(JisMode::ASCII);
            c.Output(b >= 0x80 || b == kEsc ? 0x00 : b);
            ++p;
        }
    }
}

void EncodeUtf8(ExportContext& c, const std::uint8_t* p, const std::uint8_t* end, bool widen) {
    std::string utf8;
    auto outputChar = [&](std::uint16_t code) {
        utf8.clear();
        AppendUtf8(utf8, Cp932ToUnicode(code));
        for (char byte : utf8)
            c.Output(static_cast<std::uint8_t>(byte));
    };
    while (p < end && c.Ready()) {
        const std::uint8_t b = *p;
        if (IsHalfWidthKana(b)) {
            if (widen) {
                outputChar(WidenKanaAt(p, end));
            } else {
                outputChar(b);
                ++p;
            }
        } else if (IsPairAt(p, end)) {
            outputChar(CodeAt(p));
            p += 2;
        } else {
            c.Output(b >= 0x80 ? 0x00 : b);
            ++p;
        }
    }
}

}  // namespace

bool ExportUtf8Text(LineBreakKind lineBreakKind, ByteSink& sink, const std::uint8_t* base,
                    std::uint32_t startOffset, std::uint32_t endOffset, bool widen) {
    ExportContext c(sink, lineBreakKind);
    const std::uint8_t* end = base + (endOffset > startOffset ? endOffset : startOffset);
    EncodeUtf8(c, base + startOffset, end, widen);
    c.Flush();
    return !c.failed();
}

bool ExportText(EncodingKind kind, LineBreakKind lineBreakKind, ByteSink& sink,
                const std::uint8_t* base, std::uint32_t startOffset, std::uint32_t endOffset,
                bool widen) {
    ExportContext c(sink, lineBreakKind);
    const std::uint8_t* p = base + startOffset;
    const std::uint8_t* end = base + (endOffset > startOffset ? endOffset : startOffset);
    switch (kind) {
        case EncodingKind::JIS:
            EncodeJis(c, p, end, widen);
            break;
        case EncodingKind::EUC:
            EncodeEuc(c, p, end, widen);
            break;
        default:
            EncodeSjis(c, p, end, widen);
            break;
    }
    c.Flush();
    return !c.failed();
}

std::uint32_t WidenKana(std::uint8_t* destination, const std::uint8_t* source,
                        std::uint32_t length) {
    const std::uint8_t* p = source;
    const std::uint8_t* end = source + length;
    std::uint8_t* out = destination;
    while (p < end) {
        // Copy the run up to the next half-width katakana in one go.
        const std::uint8_t* run = p;
        while (p < end && !IsHalfWidthKana(*p))
            p += IsPairAt(p, end) ? 2 : 1;
        std::memcpy(out, run, static_cast<std::size_t>(p - run));
        out += p - run;
        if (p == end)
            break;
        const std::uint16_t code = WidenKanaAt(p, end);
        out[0] = static_cast<std::uint8_t>(code >> 8);
        out[1] = static_cast<std::uint8_t>(code);
        out += 2;
    }
    return static_cast<std::uint32_t>(out - destination);
}

}  // namespace kotoha
