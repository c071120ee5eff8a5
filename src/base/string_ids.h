// SPDX-License-Identifier: MIT
// Ids of the string table's texts (resources/strings.inc holds the texts).
// A menu or toolbar command's entry has the command's own id and holds
// "status prompt\ntooltip"; those are looked up by command id and have no
// names here.
#pragma once

#include <cstdint>
#include <string_view>

namespace kotoha::StringId {

using Id = std::uint32_t;

// Seven fields separated by line feeds: window title, document name, new-file
// name, filter name, filter extension, file type id, file type name.
inline constexpr Id kDocTemplate = 2;

// Status-bar pane ids; each text sets its pane's width.
inline constexpr Id kPaneEncoding = 16;    // SJIS
inline constexpr Id kPaneActivePane = 17;  // ↑
inline constexpr Id kPaneLineNumber = 18;  // 00,000
inline constexpr Id kPaneColumn = 19;      // 000
inline constexpr Id kPaneGap = 20;         // *
inline constexpr Id kPaneLineBreak = 21;   // MAC

// Active splitter pane: upper, lower.
inline constexpr Id kUpperPane = 32;
inline constexpr Id kLowerPane = 33;

// Status-bar names of the encodings and line-break kinds.
inline constexpr Id kSjis = 34;
inline constexpr Id kJis = 35;
inline constexpr Id kEuc = 36;
inline constexpr Id kWin = 37;
inline constexpr Id kUx = 38;
inline constexpr Id kMac = 39;
inline constexpr Id kUtf8 = 40;
inline constexpr Id kUtf8Bom = 41;
inline constexpr Id kUtf16Le = 42;
inline constexpr Id kUtf16Be = 43;

// Label and pattern pairs separated by line feeds: the file dialogs' extra
// filters, the custom-filter label (printf style, one %s), and the filters of
// the editor browse dialog.
inline constexpr Id kFileFilters = 48;
inline constexpr Id kCustomFilterLabel = 49;  // ｶｽﾀﾑ (%s)
inline constexpr Id kProgramFilters = 50;

// clang-format off
inline constexpr Id kNotFound = 64;                  // 見つかりませんでした。
inline constexpr Id kFontHasNoKanji = 65;            // 指定したフォントでは漢字を…
inline constexpr Id kFontIsVertical = 66;            // 指定したフォントは縦書き表示用です。…
inline constexpr Id kEditorNotStarted = 68;          // 起動できませんでした。…
inline constexpr Id kClipboardNotOpened = 69;        // クリップボードをオープンできませんでした。
inline constexpr Id kArgumentsLackFile = 70;         // 引数に $file が指定されていません。
inline constexpr Id kReplaceTextQuestion = 71;       // 現在のテキストと置き換わります。…
inline constexpr Id kNoEditorCommand = 72;           // コマンドラインにエディタのパス名が…
inline constexpr Id kCharactersReplaced = 73;        // %1 文字に割り当てる符号が足りないため…
inline constexpr Id kEncodingGuessed = 74;           // 文字コードを自動判定できませんでした。…
inline constexpr Id kReopenAs = 75;                  // %1 で開き直す
inline constexpr Id kSpecifyEncoding = 76;           // 文字コードを指定...
inline constexpr Id kCharactersLost = 77;            // %1 文字を変換できませんでした (%2 行目)
inline constexpr Id kUnwritableQuestion = 78;        // %1 文字は %2 で表せないため全角空白に…
inline constexpr Id kGuessedEncodingTip = 79;        // 文字コードは自動判定の推測です。…
inline constexpr Id kCloseInfoBar = 81;              // 閉じる
inline constexpr Id kIsFolder = 82;                  // %1 はフォルダーです。…
inline constexpr Id kReadOnlyMedium = 83;            // %1 に書き込めません。読み取り専用の…
inline constexpr Id kFileDamaged = 84;               // %1 の書き込みに失敗し、ファイルが…
inline constexpr Id kNoDesktopEditor = 85;           // テキストファイルを開くエディタが…
inline constexpr Id kProfileRefused = 86;            // 設定ファイル %1 を読み込めません…
inline constexpr Id kCompanyName = 80;               // anonymous
inline constexpr Id kMainWindowWhatsThis = 96;       // Kotoha のメイン ウィンドウです。…
inline constexpr Id kViewWhatsThis = 97;             // テキストの表示領域です。…
inline constexpr Id kToolBarWhatsThis = 98;          // ツールバーです。…
inline constexpr Id kStatusBarWhatsThis = 99;        // ステータス バーです。…
inline constexpr Id kAppTitle = 57344;               // Kotoha
inline constexpr Id kIdleMessage = 57345;            // ﾍﾙﾌﾟを表示するには [F1] を…
inline constexpr Id kOpenTitle = 61440;              // 開く
inline constexpr Id kSaveAsTitle = 61441;            // 名前を付けて保存
inline constexpr Id kAllFilesFilter = 61442;         // すべてのﾌｧｲﾙ (*.*)
inline constexpr Id kCopyToFileTitle = 61444;        // ファイルにコピー
inline constexpr Id kInvalidFileName = 61696;        // 無効なﾌｧｲﾙ名です。
inline constexpr Id kOpenFailed = 61697;             // ﾄﾞｷｭﾒﾝﾄのｵｰﾌﾟﾝに失敗しました。
inline constexpr Id kSaveFailed = 61698;             // ﾄﾞｷｭﾒﾝﾄの保存に失敗しました。
inline constexpr Id kSaveChangesQuestion = 61699;    // %1 への変更を保存しますか？
inline constexpr Id kCreateEmptyFailed = 61700;      // 空のﾄﾞｷｭﾒﾝﾄの作成に失敗しました。
inline constexpr Id kOutOfMemory = 61706;            // 実行するためのﾒﾓﾘが足りません。
inline constexpr Id kEnterInteger = 61712;           // 整数を入力してください。
inline constexpr Id kEnterIntegerInRange = 61714;    // %1 から %2 迄の整数を入力してください。
inline constexpr Id kFileNotFound = 61729;           // %1\nこのﾌｧｲﾙが見つかりません。…
inline constexpr Id kDiskFull = 61730;               // 出力先のﾃﾞｨｽｸ ﾄﾞﾗｲﾌﾞがいっぱいです。
inline constexpr Id kReadAccessDenied = 61731;       // %1 から読み込めません。…
inline constexpr Id kWriteAccessDenied = 61732;      // %1 に書き込めません。…
inline constexpr Id kReadError = 61733;              // %1 の読み込み中に予期しないｴﾗｰが…
inline constexpr Id kWriteError = 61734;             // %1 の書き込み中に予期しないｴﾗｰが…
// clang-format on

}  // namespace kotoha::StringId

namespace kotoha {

// The name of a message, for the object name of the box that shows it
// ("notFoundBox" for kNotFound); "messageBox" for an id that is no message.
std::string_view MessageBoxName(StringId::Id id);

}  // namespace kotoha
