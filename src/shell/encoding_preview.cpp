// SPDX-License-Identifier: MIT
#include "shell/encoding_preview.h"

#include <algorithm>

#include "codec/import.h"

namespace kotoha {

bool ExpandLineBreaksToCrLf(std::string& text, std::uint32_t limit) {
    // Expanding in place only ever drops bytes from the end of the part not
    // yet looked at, so the result is the full expansion cut at the limit.
    std::string out;
    out.reserve(std::min<std::size_t>(limit, text.size() + text.size() / 8 + 2));
    bool lost = false;
    auto put = [&](char c) {
        if (out.size() < limit)
            out.push_back(c);
        else
            lost = true;
    };
    for (std::size_t i = 0; i < text.size() && !lost; ++i) {
        const char c = text[i];
        if (c == '\r' || c == '\n') {
            put('\r');
            put('\n');
            if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
        } else {
            put(c);
        }
    }
    // The loop stops at the first byte that does not fit: whatever follows
    // it is lost as well.
    text = std::move(out);
    return lost;
}

namespace {

// Cuts text after its last LF, so that only whole lines show: a line cut
// short might end inside a character or an escape sequence. A text without
// any LF is shown as far as it goes.
void KeepWholeLines(std::string& text) {
    const std::size_t lastLf = text.rfind('\n');
    if (lastLf != std::string::npos)
        text.resize(lastLf + 1);
}

// UTF-16 holds NUL and line-break bytes inside its units, so it is decoded
// first (each unit gives at most two bytes, a line break CR LF as well) and
// looked at afterwards.
std::string MakeUtf16Preview(EncodingKind kind, const std::uint8_t* bytes, std::uint32_t length,
                             ExtensionTable* table) {
    const bool truncated = length > kPreviewLimit;
    const std::uint32_t n = std::min(length, kPreviewLimit);
    std::string text(n, '\0');
    auto* data = reinterpret_cast<std::uint8_t*>(text.data());
    text.resize(ImportText(kind, true, data, bytes, n, nullptr, nullptr, table));
    std::replace(text.begin(), text.end(), '\0', ' ');
    if (truncated)
        KeepWholeLines(text);
    return text;
}

}  // namespace

std::string MakeEncodingPreview(EncodingKind kind, const std::uint8_t* bytes, std::uint32_t length,
                                ExtensionTable* table) {
    if (kind == EncodingKind::UTF16LE || kind == EncodingKind::UTF16BE)
        return MakeUtf16Preview(kind, bytes, length, table);
    const bool truncated = length > kPreviewLimit;
    const std::uint32_t n = std::min(length, kPreviewLimit);
    std::string text(reinterpret_cast<const char*>(bytes), n);
    std::replace(text.begin(), text.end(), '\0', ' ');
    const bool lost = ExpandLineBreaksToCrLf(text);
    if (lost || truncated)
        KeepWholeLines(text);
    if (text.empty())
        return text;
    // Every line break is a CR LF pair now, so the conversion never grows
    // the text and may run in place.
    auto* data = reinterpret_cast<std::uint8_t*>(text.data());
    const std::uint32_t converted = ImportText(
        kind, true, data, data, static_cast<std::uint32_t>(text.size()), nullptr, nullptr, table);
    text.resize(std::min<std::size_t>(converted, text.size()));
    return text;
}

}  // namespace kotoha
