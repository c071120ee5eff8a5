// SPDX-License-Identifier: MIT
#include "shell/doc_template.h"

#include <cstdlib>
#include <cstring>

namespace kotoha {

namespace {

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 0x20) : c;
}

}  // namespace

DocTemplateStrings DocTemplateStrings::Parse(std::string_view templateString) {
    DocTemplateStrings s;
    std::string* fields[] = {&s.windowTitle, &s.docName,       &s.fileNewName,    &s.filterName,
                             &s.filterExt,   &s.regFileTypeId, &s.regFileTypeName};
    std::size_t start = 0;
    for (std::string* field : fields) {
        if (start > templateString.size())
            break;
        const std::size_t stop = templateString.find('\n', start);
        *field = std::string(templateString.substr(start, stop - start));
        if (stop == std::string_view::npos)
            break;
        start = stop + 1;
    }
    return s;
}

bool ShouldAddToRecentList(OpenOrigin origin, const char* temp, std::string_view path) {
    if (origin != OpenOrigin::CommandLine || temp == nullptr)
        return true;
    // An empty TEMP names no folder; excluding everything would be wrong.
    const std::string_view prefix(temp);
    if (prefix.empty() || path.size() < prefix.size())
        return true;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (FoldAscii(path[i]) != FoldAscii(prefix[i]))
            return true;
    }
    return false;
}

MyCSingleDocTemplate::MyCSingleDocTemplate(DocTemplateStrings strings,
                                           DocumentFactory createDocument, FrameHost& frames,
                                           UserInterface& ui, TempReader readTemp)
    : strings_(std::move(strings)),
      createDocument_(std::move(createDocument)),
      frames_(frames),
      ui_(ui),
      readTemp_(readTemp ? std::move(readTemp) : [] { return std::getenv("TEMP"); }) {}

void MyCSingleDocTemplate::DestroyFrameAndDocument() {
    frames_.DestroyFrame();
    hasFrame_ = false;
    document_.reset();
}

CKotohaDoc* MyCSingleDocTemplate::OpenDocumentFile(const std::optional<std::string>& path,
                                                   bool makeVisible, const OpenRequest& request) {
    bool createdFrame = false;
    if (document_) {
        if (!document_->SaveModified(ui_))
            return nullptr;
    } else {
        document_ = createDocument_ ? createDocument_() : nullptr;
        if (document_)
            document_->SetDocumentNames({strings_.docName, strings_.filterExt});
    }
    if (!document_) {
        ui_.ShowMessage(StringId::kCreateEmptyFailed, MessageKind::Warning);
        return nullptr;
    }
    if (!hasFrame_) {
        if (!frames_.CreateFrame(*document_)) {
            ui_.ShowMessage(StringId::kCreateEmptyFailed, MessageKind::Warning);
            document_.reset();
            return nullptr;
        }
        hasFrame_ = true;
        createdFrame = true;
    }

    CKotohaDoc& doc = *document_;
    if (!path) {
        doc.SetTitle(strings_.docName);
        if (!doc.OnNewDocument()) {
            if (createdFrame)
                DestroyFrameAndDocument();
            return nullptr;
        }
    } else {
        WaitCursorScope wait(ui_);
        const bool wasModified = doc.IsModified();
        doc.SetModifiedFlag(false);
        if (!doc.OnOpenDocument(*path, request, ui_)) {
            if (createdFrame) {
                DestroyFrameAndDocument();
            } else if (doc.IsModified()) {
                // The failed open had already emptied the document: make it a
                // new untitled one rather than show a half-known state.
                doc.SetTitle(strings_.docName);
                if (doc.OnNewDocument())
                    frames_.InitialUpdateFrame(doc, makeVisible);
            } else {
                doc.SetModifiedFlag(wasModified);
            }
            return nullptr;
        }
        doc.SetPathName(*path, ShouldAddToRecentList(request.origin, readTemp_(), *path));
    }

    if (createdFrame && !frames_.HasMainWindow())
        frames_.SetMainWindowToFrame();
    frames_.InitialUpdateFrame(doc, makeVisible);
    return &doc;
}

}  // namespace kotoha
