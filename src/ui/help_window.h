// SPDX-License-Identifier: MIT
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

// The help pages' style sheet in palette's colours: headings and links in
// its link colour (Qt's own link colour follows the application's palette,
// not the window's), table heads and code on its alternate base, notes in its
// placeholder colour.
QString HelpStyleSheet(const QPalette& palette);

class HelpWindow : public QWidget {
    Q_OBJECT

  public:
    explicit HelpWindow(QWidget* owner);

    // Shows url and brings the window to the front.
    void ShowPage(const QUrl& url);
    QTextBrowser* browser() const { return browser_; }

    // While a modal dialog is up it blocks every window it does not own, so
    // the help window goes under that dialog until the dialog hides, then
    // back to its owner. Nothing when modal is null or already its parent.
    void LendTo(QWidget* modal);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

    void changeEvent(QEvent* event) override;

  private:
    void UpdateTitle();
    // The pages' style sheet from the window's palette, so that they read
    // on a dark theme as on a light one.
    void ApplyPaletteStyle();
    void MoveUnder(QWidget* parent);

    QTextBrowser* browser_;
    QWidget* owner_;
    QWidget* lentTo_ = nullptr;
};

// Opens page in the user's language in owner's help window, creating the
// window on first use; while a modal dialog is up, the window can be read
// and scrolled beside it. Returns the window.
HelpWindow* ShowHelp(QWidget* owner, HelpPage page);

}  // namespace kotoha
