// SPDX-License-Identifier: MIT
#include "ui/qt_clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <cstring>

#include "codec/cp932.h"

namespace kotoha {

QString ClipboardTextFromSjis(const std::uint8_t* bytes, std::size_t length,
                              const ExtensionTable* table) {
    const void* nul = std::memchr(bytes, 0, length);
    if (nul != nullptr)
        length = static_cast<std::size_t>(static_cast<const std::uint8_t*>(nul) - bytes);
    const std::u16string wide = SjisToUtf16(bytes, length, table);
    QString text;
    text.reserve(static_cast<qsizetype>(wide.size()));
    for (std::size_t i = 0; i < wide.size(); ++i) {
        if (wide[i] == u'\r' && i + 1 < wide.size() && wide[i + 1] == u'\n')
            continue;
        text.append(QChar(wide[i]));
    }
    return text;
}

std::string SjisFromClipboardText(const QString& text) {
    std::string bytes = Utf16ToSjis(text.toStdU16String());
    const std::size_t nul = bytes.find('\0');
    if (nul != std::string::npos)
        bytes.resize(nul);
    return bytes;
}

namespace {

// The clipboard's plain text, as Qt holds it.
Clipboard::ReadResult ReadClipboard(QString& text) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return Clipboard::ReadResult::NotOpened;
    const QMimeData* data = clipboard->mimeData();
    if (data == nullptr || !data->hasText())
        return Clipboard::ReadResult::NoText;
    text = data->text();
    return Clipboard::ReadResult::Text;
}

}  // namespace

Clipboard::ReadResult QtClipboard::ReadText(std::string& text) {
    QString qtext;
    const ReadResult result = ReadClipboard(qtext);
    if (result == ReadResult::Text)
        text = SjisFromClipboardText(qtext);
    return result;
}

Clipboard::ReadResult QtClipboard::ReadUnicodeText(std::u16string& text) {
    QString qtext;
    const ReadResult result = ReadClipboard(qtext);
    if (result == ReadResult::Text)
        text = qtext.toStdU16String();
    return result;
}

bool WriteClipboardText(const std::uint8_t* bytes, std::size_t length,
                        const ExtensionTable* table) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (clipboard == nullptr)
        return false;
    clipboard->setText(ClipboardTextFromSjis(bytes, length, table));
    return true;
}

}  // namespace kotoha
