// SPDX-License-Identifier: MIT
// The system clipboard's plain text as Shift-JIS bytes, through the CP932
// table: copied text takes LF line breaks, pasted text becomes CP932 bytes
// with "?" for what CP932 cannot hold.
#pragma once

#include <QString>
#include <cstddef>
#include <cstdint>
#include <string>

#include "codec/extension_table.h"
#include "document/document_host.h"

namespace kotoha {

class QtClipboard : public Clipboard {
  public:
    ReadResult ReadText(std::string& text) override;
    ReadResult ReadUnicodeText(std::u16string& text) override;
};

// Puts the Shift-JIS text bytes[0, length) on the clipboard; it ends at its
// first NUL, and each CR LF pair becomes LF. False when there is no
// clipboard.
bool WriteClipboardText(const std::uint8_t* bytes, std::size_t length,
                        const ExtensionTable* table = nullptr);

// The conversions on their own: clipboard text from Shift-JIS, and back.
QString ClipboardTextFromSjis(const std::uint8_t* bytes, std::size_t length,
                              const ExtensionTable* table = nullptr);
std::string SjisFromClipboardText(const QString& text);

}  // namespace kotoha
