// SPDX-License-Identifier: MIT
// The file dialog of File Open, Save As and copy to file: the eight
// filters, the filter the user typed as a pattern, and the memory of both
// for the dialog's next showing.
#pragma once

#include <QFileDialog>
#include <QStringList>
#include <string>
#include <vector>

#include "base/string_ids.h"
#include "shell/file_dialog.h"

namespace kotoha {

struct FilePromptOptions {
    StringId::Id titleId = StringId::kOpenTitle;
    bool save = false;
    // Save dialogs add this extension (without the dot) to a bare name.
    std::string defaultSuffix;
};

// A non-native QFileDialog, so that it looks the same everywhere and tests
// can drive it. A pattern typed into the file-name field ("*.cpp") and
// confirmed filters the list instead of closing the dialog; the dialog
// remembers it as the typed pattern.
class KotohaFileDialog : public QFileDialog {
    Q_OBJECT

  public:
    KotohaFileDialog(QWidget* parent, const FilePromptOptions& options,
                     const FileDialogMemory& memory);

    // The filter selected now: its number in FileDialogFilters() (1..8), or 0
    // for the custom filter.
    std::int32_t SelectedFilterNumber() const;
    // The last pattern typed during this dialog; "" when none.
    const std::string& typedPattern() const { return typedPattern_; }
    // The existing file confirmed by name in the file-name field; empty when
    // the dialog's own selection holds the choice.
    const QString& typedFile() const { return typedFile_; }

    // The Qt form of a filter: its label, then its patterns between
    // parentheses ("*.*" as "*"), which the dialog matches and hides.
    static QString QtFilter(const FileFilter& filter);

    void accept() override;

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    // Takes a wildcard text of the file-name field as the custom filter;
    // false when the text is a file name.
    bool TakeTypedPattern();
    void SetFilters(const FileFilter* custom);
    void WatchFileNameField();

    std::vector<FileFilter> filters_;
    QStringList qtFilters_;
    bool hasCustom_ = false;
    std::string typedPattern_;
    QString typedFile_;
};

// Runs the dialog. On OK stores the chosen path (UTF-8) in fileName, updates
// memory and returns true; on cancel leaves both and returns false.
bool PromptForFileName(QWidget* parent, std::string& fileName, const FilePromptOptions& options,
                       FileDialogMemory& memory);

}  // namespace kotoha
