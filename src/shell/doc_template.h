// SPDX-License-Identifier: MIT
// The document template: creates the one document and its frame on first
// use, opens files into the document or starts it anew, recovers from a
// failed open, and decides whether an opened file enters the recently-used
// list.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "document/document_host.h"
#include "document/kotoha_doc.h"
#include "document/requests.h"

namespace kotoha {

// The seven line-feed-separated fields of the template string, in order.
struct DocTemplateStrings {
    std::string windowTitle;
    std::string docName;  // title of an untitled document
    std::string fileNewName;
    std::string filterName;
    std::string filterExt;  // default extension of save dialogs, with its dot
    std::string regFileTypeId;
    std::string regFileTypeName;

    // Missing fields stay empty.
    static DocTemplateStrings Parse(std::string_view templateString);
};

// Whether a successfully opened file goes into the recently-used list: not
// when it came from the command line and lies under the folder named by the
// environment variable TEMP (temp; null or empty when unset), tested as a
// plain prefix with A-Z compared regardless of case.
bool ShouldAddToRecentList(OpenOrigin origin, const char* temp, std::string_view path);

// The main frame as the template sees it; the Qt layer implements it.
class FrameHost {
  public:
    virtual ~FrameHost() = default;
    // Creates the frame (with its views) for doc; false on failure.
    virtual bool CreateFrame(CKotohaDoc& doc) = 0;
    // Destroys the frame created by CreateFrame.
    virtual void DestroyFrame() = 0;
    // The application has a main window already.
    virtual bool HasMainWindow() = 0;
    // The frame becomes the application's main window.
    virtual void SetMainWindowToFrame() = 0;
    // Runs the frame's initial update (every view re-reads the document),
    // showing the frame when makeVisible is set.
    virtual void InitialUpdateFrame(CKotohaDoc& doc, bool makeVisible) = 0;
};

class MyCSingleDocTemplate {
  public:
    using DocumentFactory = std::function<std::unique_ptr<CKotohaDoc>()>;
    // Reads the environment variable TEMP; tests pass their own.
    using TempReader = std::function<const char*()>;

    MyCSingleDocTemplate(DocTemplateStrings strings, DocumentFactory createDocument,
                         FrameHost& frames, UserInterface& ui, TempReader readTemp = nullptr);

    // With a path (UTF-8), opens that file into the document; without one,
    // starts a new, empty, untitled document. request says why the file
    // opens and which encoding the user forced. Returns the document, or
    // null when the user cancelled saving the previous one or the open
    // failed.
    CKotohaDoc* OpenDocumentFile(const std::optional<std::string>& path, bool makeVisible,
                                 const OpenRequest& request = {});

    CKotohaDoc* document() const { return document_.get(); }
    const DocTemplateStrings& strings() const { return strings_; }

  private:
    void DestroyFrameAndDocument();

    DocTemplateStrings strings_;
    DocumentFactory createDocument_;
    FrameHost& frames_;
    UserInterface& ui_;
    TempReader readTemp_;
    std::unique_ptr<CKotohaDoc> document_;
    bool hasFrame_ = false;
};

}  // namespace kotoha
