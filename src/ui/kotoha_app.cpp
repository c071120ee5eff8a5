// SPDX-License-Identifier: MIT
#include "ui/kotoha_app.h"

#include <sys/stat.h>

#include <QApplication>
#include <QLibraryInfo>
#include <cerrno>
#include <filesystem>

#include "document/kotoha_doc.h"
#include "shell/number_format.h"
#include "shell/strings.h"
#include "ui/about_dialog.h"
#include "ui/file_prompt.h"
#include "ui/main_frame.h"
#include "ui/message_boxes.h"
#include "ui/open_settings_dialog.h"
#include "ui/other_settings_dialog.h"

namespace kotoha {

CKotohaApp::CKotohaApp() {
    // The program speaks Japanese whatever the locale, Qt's own dialogs
    // (file and font dialogs, question buttons) included.
    if (qtTranslator_.load(QStringLiteral("qtbase_ja"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qtTranslator_);
    }
}

CKotohaApp::~CKotohaApp() {
    frame_.reset();
    template_.reset();
    QCoreApplication::removeTranslator(&qtTranslator_);
}

bool CKotohaApp::InitInstance(const CommandLineArgs& args) {
    // A screenshot run waits for no one and leaves the profile as it found
    // it: it reads the settings but writes nothing back.
    batch_ = args.screenshotPath.has_value();
    SetMessageBatchMode(batch_);
    firstInstance_ = lock_.Acquire(InstanceLock::DefaultPath());
    // A profile where earlier versions kept it moves to its place once, but
    // never in a run that leaves the profile as it found it.
    if (!batch_)
        AdoptLegacyProfile();
    // A profile that cannot be read is never overwritten; the user is told
    // once the window is there.
    const bool profileRead = profile_.Load(DefaultIniPath());
    recent_.Load(profile_);
    settings_.LoadAll(profile_);
    // What was read, to tell this instance's changes at the exit.
    settings_.SaveAll(settingsAtStart_);
    recent_.Save(recentAtStart_);
    showMaximized_ = settings_.SaveFrameStatus.value == 1 && settings_.FrameIsMax.value == 1;

    template_ = std::make_unique<MyCSingleDocTemplate>(
        DocTemplateStrings::Parse(LoadString(StringId::kDocTemplate)),
        [this] {
            return std::make_unique<CKotohaDoc>([this] { return DocumentOptionsOf(settings_); },
                                                requests_, *this);
        },
        *this, *this);

    if (args.fileName) {
        // In batch mode there is nothing to show when the open failed.
        if (OpenDocumentFile(*args.fileName, {OpenOrigin::CommandLine, args.ForcedEncoding()}) ==
                nullptr &&
            batch_)
            return false;
    }
    // Without a file, or when the named file could not be opened (which has
    // been reported), the user gets an empty window rather than nothing.
    if (!frame_) {
        requests_.SetOpenRequest(OpenOrigin::CommandLine, 0);
        NewDocument();
    }
    if (!frame_)
        return false;
    frame_->setAcceptDrops(true);
    if (!profileRead && !batch_)
        ShowMessage(StringId::kProfileRefused, MessageKind::Warning, profile_.path());
    return true;
}

int CKotohaApp::ExitInstance() {
    if (exited_)
        return 0;
    exited_ = true;
    if (!batch_) {
        // Another instance may have written the profile meanwhile: it is
        // read again, and only what this one changed is written into it.
        IniProfile current;
        if (current.Load(profile_.path())) {
            settings_.SaveChanged(current, settingsAtStart_);
            // The placement is the first instance's to keep.
            if (firstInstance_) {
                settings_.FramePosition.Save(current);
                settings_.FrameIsMax.Save(current);
            }
            IniProfile recentNow;
            recent_.Save(recentNow);
            if (recentNow.Serialize() != recentAtStart_.Serialize())
                recent_.Save(current);
            current.Save();
        } else {
            settings_.SaveAll(profile_);
            recent_.Save(profile_);
            profile_.Save();
        }
    }
    lock_.Release();
    return 0;
}

CKotohaDoc* CKotohaApp::document() const {
    return template_ ? template_->document() : nullptr;
}

std::string CKotohaApp::untitledName() const {
    return template_ ? template_->strings().docName : std::string();
}

CKotohaDoc* CKotohaApp::OpenDocumentFile(const std::string& path, const OpenRequest& request) {
    // Remembered: a reopen keeps why the file was opened.
    requests_.openRequest = request;
    std::error_code error;
    std::filesystem::path full = std::filesystem::absolute(path, error);
    const std::string fullPath = error ? path : full.lexically_normal().string();
    // With its single template the program always goes on; opening the
    // document already shown reloads it.
    CKotohaDoc* doc = template_->OpenDocumentFile(fullPath, true, request);
    // A file that is gone for good leaves the recently-used list.
    struct stat st;
    if (doc == nullptr && stat(fullPath.c_str(), &st) != 0 &&
        (errno == ENOENT || errno == ENOTDIR) && recent_.Remove(fullPath) && frame_) {
        frame_->UpdateRecentFiles();
    }
    return doc;
}

void CKotohaApp::NewDocument() {
    template_->OpenDocumentFile(std::nullopt, true);
}

bool CKotohaApp::OnCommand(CommandId::Id id) {
    if (id >= CommandId::kRecentFirst &&
        id < CommandId::kRecentFirst + RecentFileList::kMaxEntries) {
        OnRecentFile(static_cast<int>(id - CommandId::kRecentFirst));
        return true;
    }
    switch (id) {
        case CommandId::kFileOpen:
            OnFileOpen();
            return true;
        case CommandId::kAbout:
            OnAbout();
            return true;
        case CommandId::kOtherSettings:
            RunOtherSettings(settings_, frame_.get());
            return true;
        case CommandId::kOpenSettings:
            RunOpenSettings(settings_, frame_.get());
            return true;
        default:
            return false;
    }
}

void CKotohaApp::OnFileOpen() {
    std::string fileName;
    FilePromptOptions options;
    options.titleId = StringId::kOpenTitle;
    if (!PromptForFileName(frame_.get(), fileName, options, openMemory_))
        return;
    OpenDocumentFile(fileName, {OpenOrigin::FileDialog, -1});
}

void CKotohaApp::OnRecentFile(int index) {
    const auto& entries = recent_.Entries();
    if (index < 0 || static_cast<std::size_t>(index) >= entries.size())
        return;
    // The entry may move in the list while it opens.
    const std::string path = entries[static_cast<std::size_t>(index)];
    OpenDocumentFile(path, {OpenOrigin::RecentFile, -1});
}

void CKotohaApp::OnDropFiles(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        OpenDocumentFile(path, {OpenOrigin::DroppedFile, -1});
    }
}

std::string CKotohaApp::MemoryText() const {
    const std::string separator =
        frame_ ? frame_->thousandsSeparator() : SystemThousandsSeparator();
    return FormatMemoryKilobytes(PhysicalMemoryKilobytes(), separator);
}

void CKotohaApp::OnAbout() {
    CAboutDlg dialog(MemoryText(), frame_.get());
    dialog.exec();
}

}  // namespace kotoha
