// Ids of the string table's texts (resources/strings.inc holds the texts).
#pragma once

#include <cstdint>

namespace kotoha::StringId {

using Id = std::uint32_t;

// Status-bar names of the encodings and line-break kinds.
inline constexpr Id kSjis = 34;
inline constexpr Id kJis = 35;
inline constexpr Id kEuc = 36;
inline constexpr Id kWin = 37;
inline constexpr Id kUx = 38;
inline constexpr Id kMac = 39;

inline constexpr Id kNotFound = 64;                  // 見つかりませんでした。
inline constexpr Id kFontHasNoKanji = 65;            // 指定したフォントでは漢字を…
inline constexpr Id kFontIsVertical = 66;            // 指定したフォントは縦書き表示用です。…
inline constexpr Id kEditorNotStarted = 68;          // 起動できませんでした。…
inline constexpr Id kClipboardNotOpened = 69;        // クリップボードをオープンできませんでした。
inline constexpr Id kReplaceTextQuestion = 71;       // 現在のテキストと置き換わります。…
inline constexpr Id kCompanyName = 80;               // anonymous
inline constexpr Id kAppTitle = 57344;               // Kotoha
inline constexpr Id kSaveAsTitle = 61441;            // 名前を付けて保存
inline constexpr Id kCopyToFileTitle = 61444;        // ファイルにコピー
inline constexpr Id kInvalidFileName = 61696;        // 無効なﾌｧｲﾙ名です。
inline constexpr Id kOpenFailed = 61697;             // ﾄﾞｷｭﾒﾝﾄのｵｰﾌﾟﾝに失敗しました。
inline constexpr Id kSaveFailed = 61698;             // ﾄﾞｷｭﾒﾝﾄの保存に失敗しました。
inline constexpr Id kSaveChangesQuestion = 61699;    // %1 への変更を保存しますか？
inline constexpr Id kOutOfMemory = 61706;            // 実行するためのﾒﾓﾘが足りません。
inline constexpr Id kEnterInteger = 61712;           // 整数を入力してください。
inline constexpr Id kEnterIntegerInRange = 61714;    // %1 から %2 迄の整数を入力してください。
inline constexpr Id kFileNotFound = 61729;           // %1\nこのﾌｧｲﾙが見つかりません。…
inline constexpr Id kDiskFull = 61730;               // 出力先のﾃﾞｨｽｸ ﾄﾞﾗｲﾌﾞがいっぱいです。
inline constexpr Id kReadAccessDenied = 61731;       // %1 から読み込めません。…
inline constexpr Id kWriteAccessDenied = 61732;      // %1 に書き込めません。…
inline constexpr Id kReadError = 61733;              // %1 の読み込み中に予期しないｴﾗｰが…
inline constexpr Id kWriteError = 61734;             // %1 の書き込み中に予期しないｴﾗｰが…

}  // namespace kotoha::StringId
