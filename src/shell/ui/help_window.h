// The bundled manual: a window with a text browser on the HTML pages built
// into the program, one window per main window, reused by every help
// command.
#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;

namespace kotoha {

// Registers the help pages and the fallback icons built into the program.
// Safe to call more than once.
void InitBundledResources();

enum class HelpPage {
    Manual,   // the manual's first page
    HowToUse  // how to use the help
};

// "ja" unless the user's language is known and not Japanese, then "en".
QString HelpLanguage();
// The resource address of page in language ("ja" or "en").
QUrl HelpPageUrl(HelpPage page, const QString& language);

class HelpWindow : public QWidget {
    Q_OBJECT

  public:
    explicit HelpWindow(QWidget* owner);

    // Shows url and brings the window to the front.
    void ShowPage(const QUrl& url);
    QTextBrowser* browser() const { return browser_; }

  private:
    void UpdateTitle();

    QTextBrowser* browser_;
};

// Opens page in the user's language in owner's help window, creating the
// window on first use. Returns the window.
HelpWindow* ShowHelp(QWidget* owner, HelpPage page);

}  // namespace kotoha
