// SPDX-License-Identifier: MIT
#include "ui/file_prompt.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>

#include "shell/strings.h"

namespace kotoha {

namespace {

bool IsWildcardText(const QString& text) {
    return text.contains(QLatin1Char('*')) || text.contains(QLatin1Char('?'));
}

}  // namespace

QString KotohaFileDialog::QtFilter(const FileFilter& filter) {
    QStringList patterns;
    for (const QString& pattern :
         QString::fromStdString(filter.pattern).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        patterns << (pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern.trimmed());
    }
    return QStringLiteral("%1 (%2)").arg(QString::fromStdString(filter.label),
                                         patterns.join(QLatin1Char(' ')));
}

KotohaFileDialog::KotohaFileDialog(QWidget* parent, const FilePromptOptions& options,
                                   const FileDialogMemory& memory)
    : QFileDialog(parent), filters_(FileDialogFilters()) {
    setObjectName(QStringLiteral("fileDialog"));
    setOption(QFileDialog::DontUseNativeDialog);
    setOption(QFileDialog::HideNameFilterDetails);
    setWindowTitle(QString::fromUtf8(LoadString(options.titleId)));
    if (options.save) {
        setAcceptMode(QFileDialog::AcceptSave);
        setFileMode(QFileDialog::AnyFile);
        if (!options.defaultSuffix.empty())
            setDefaultSuffix(QString::fromStdString(options.defaultSuffix));
    } else {
        setAcceptMode(QFileDialog::AcceptOpen);
        setFileMode(QFileDialog::ExistingFile);
    }
    FileFilter custom{memory.customLabel, memory.customPattern};
    SetFilters(memory.HasCustomFilter() ? &custom : nullptr);
    std::int32_t index = memory.filterIndex;
    if (index == 0 && !hasCustom_)
        index = 1;
    const qsizetype position = hasCustom_ ? index : index - 1;
    if (position >= 0 && position < qtFilters_.size())
        selectNameFilter(qtFilters_[position]);
    WatchFileNameField();
}

void KotohaFileDialog::WatchFileNameField() {
    if (auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit")))
        edit->installEventFilter(this);
}

void KotohaFileDialog::showEvent(QShowEvent* event) {
    // The field may only exist once the dialog shows; installing twice
    // keeps one filter.
    WatchFileNameField();
    QFileDialog::showEvent(event);
}

void KotohaFileDialog::SetFilters(const FileFilter* custom) {
    qtFilters_.clear();
    hasCustom_ = custom != nullptr;
    if (custom != nullptr)
        qtFilters_ << QtFilter(*custom);
    for (const FileFilter& filter : filters_)
        qtFilters_ << QtFilter(filter);
    setNameFilters(qtFilters_);
}

std::int32_t KotohaFileDialog::SelectedFilterNumber() const {
    // By position, not by text: with the filter details hidden, the dialog
    // may give back the shortened text, which matches none of the filters.
    const auto* combo = findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
    const qsizetype position =
        combo != nullptr ? combo->currentIndex() : qtFilters_.indexOf(selectedNameFilter());
    if (position < 0 || position >= qtFilters_.size())
        return 1;
    return static_cast<std::int32_t>(hasCustom_ ? position : position + 1);
}

bool KotohaFileDialog::TakeTypedPattern() {
    auto* edit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (edit == nullptr || !IsWildcardText(edit->text()))
        return false;
    typedPattern_ = edit->text().trimmed().toStdString();
    // Show the typed pattern as the selected, custom filter while the
    // dialog stays open.
    std::string label = LoadString(StringId::kCustomFilterLabel);
    if (const std::size_t slot = label.find("%s"); slot != std::string::npos)
        label.replace(slot, 2, typedPattern_);
    const FileFilter custom{label, typedPattern_};
    SetFilters(&custom);
    selectNameFilter(qtFilters_.front());
    edit->clear();
    return true;
}

bool KotohaFileDialog::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && qobject_cast<QLineEdit*>(watched) != nullptr) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            if (TakeTypedPattern())
                return true;
            // An existing file named in the field opens even when the
            // filter hides it, which the Open button would refuse.
            const QString text = static_cast<QLineEdit*>(watched)->text().trimmed();
            const QFileInfo named(QDir(directory().absolutePath()), text);
            if (acceptMode() == QFileDialog::AcceptOpen && !text.isEmpty() && named.isFile()) {
                typedFile_ = named.absoluteFilePath();
                done(QDialog::Accepted);
                return true;
            }
        }
    }
    return QFileDialog::eventFilter(watched, event);
}

void KotohaFileDialog::accept() {
    if (TakeTypedPattern())
        return;
    QFileDialog::accept();
}

bool PromptForFileName(QWidget* parent, std::string& fileName, const FilePromptOptions& options,
                       FileDialogMemory& memory) {
    KotohaFileDialog dialog(parent, options, memory);
    if (!fileName.empty()) {
        const QFileInfo proposed(QFile::decodeName(fileName.c_str()));
        if (proposed.isAbsolute())
            dialog.setDirectory(proposed.absolutePath());
        dialog.selectFile(proposed.fileName());
    }
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QString chosen = !dialog.typedFile().isEmpty()      ? dialog.typedFile()
                           : dialog.selectedFiles().isEmpty() ? QString()
                                                              : dialog.selectedFiles().constFirst();
    if (chosen.isEmpty())
        return false;
    // The memory keeps what the user typed as it was typed; the filters'
    // numbering counts the custom entry as 0 whether or not it was shown.
    memory.Update(FileDialogFilters(), dialog.SelectedFilterNumber(), dialog.typedPattern());
    fileName = QFile::encodeName(chosen).toStdString();
    return true;
}

}  // namespace kotoha
