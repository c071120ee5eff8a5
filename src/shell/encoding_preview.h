// SPDX-License-Identifier: MIT
// The bytes the encoding inquiry shows: the start of a file decoded with the
// encoding the user points at, in whole lines, every line break CR LF.
#pragma once

#include <cstdint>
#include <string>

#include "codec/byte_class.h"
#include "codec/extension_table.h"

namespace kotoha {

// The preview looks at no more than this many bytes of the file, and its
// text, line breaks expanded, never grows beyond it.
inline constexpr std::uint32_t kPreviewLimit = 61440;

// Turns every LF, every CR LF pair and every bare CR of text into CR LF,
// keeping at most limit bytes: when an expansion would pass the limit, the
// text's last byte gives way. Returns true when any byte was lost that way.
// The result equals expanding in place in a buffer of limit bytes plus a
// terminator, shifting the rest of the text at each insertion, but runs in
// one pass.
bool ExpandLineBreaksToCrLf(std::string& text, std::uint32_t limit = kPreviewLimit);

// The preview of bytes[0, length) read as kind: at most the first
// kPreviewLimit bytes, NUL bytes shown as blanks, line breaks as CR LF, cut
// after the last LF when the file was longer than the limit or the
// expansion lost bytes, then converted to the internal form (characters
// CP932 cannot hold get codes of table, when given). A cut text with no LF
// at all is shown as far as it goes.
std::string MakeEncodingPreview(EncodingKind kind, const std::uint8_t* bytes, std::uint32_t length,
                                ExtensionTable* table = nullptr);

}  // namespace kotoha
