// SPDX-License-Identifier: MIT
#include "ui/help_window.h"

#include <QApplication>

#include <QEvent>
#include <QHBoxLayout>
#include <QLocale>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "ui/dialog_support.h"

// Outside any namespace, as the resource initialisers are declared there.
static void InitResourcesOnce() {
    // The pages live in a static library: without these calls the linker
    // would drop the unreferenced resource objects.
    Q_INIT_RESOURCE(help);
    Q_INIT_RESOURCE(icons);
}

namespace kotoha {

void InitBundledResources() {
    static const bool done = [] {
        InitResourcesOnce();
        return true;
    }();
    (void)done;
}

QString HelpLanguage() {
    const QLocale::Language language = QLocale().language();
    if (language == QLocale::Japanese || language == QLocale::C ||
        language == QLocale::AnyLanguage) {
        return QStringLiteral("ja");
    }
    return QStringLiteral("en");
}

QUrl HelpPageUrl(HelpPage page, const QString& language) {
    const QString file =
        page == HelpPage::Manual ? QStringLiteral("index.html") : QStringLiteral("help.html");
    return QUrl(QStringLiteral("qrc:/help/%1/%2").arg(language, file));
}

QString HelpStyleSheet(const QPalette& palette) {
    const auto name = [&](QPalette::ColorRole role) { return palette.color(role).name(); };
    return QStringLiteral(
               "h1, h2, a { color: %1; }\n"
               "h2 { border-bottom: 1px solid %2; }\n"
               "h3 { color: %3; }\n"
               "code, kbd { font-family: monospace; background-color: %4; }\n"
               "th { background-color: %4; text-align: left; }\n"
               "td, th { padding: 2px 6px; }\n"
               ".note { color: %5; }\n")
        .arg(name(QPalette::Link), name(QPalette::Mid), name(QPalette::Text),
             name(QPalette::AlternateBase), name(QPalette::PlaceholderText));
}

HelpWindow::HelpWindow(QWidget* owner) : QWidget(owner, Qt::Window), owner_(owner) {
    InitBundledResources();
    setObjectName(QStringLiteral("helpWindow"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    browser_ = new QTextBrowser(this);
    browser_->setObjectName(QStringLiteral("helpBrowser"));
    browser_->setOpenExternalLinks(true);
    ApplyPaletteStyle();

    auto* back = new QPushButton(QStringLiteral("← 戻る"), this);
    auto* forward = new QPushButton(QStringLiteral("進む →"), this);
    auto* home = new QPushButton(QStringLiteral("目次"), this);
    back->setEnabled(false);
    forward->setEnabled(false);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, browser_, &QTextBrowser::forward);
    connect(home, &QPushButton::clicked, browser_, &QTextBrowser::home);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    connect(browser_, &QTextBrowser::sourceChanged, this, &HelpWindow::UpdateTitle);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addWidget(home);
    buttons->addStretch(1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addLayout(buttons);
    layout->addWidget(browser_, 1);
    // Within the screen at any scale factor.
    resize(FitOnScreen(QRect(QPoint(0, 0), QSize(680, 600))).size());
}

void HelpWindow::ShowPage(const QUrl& url) {
    if (browser_->source() != url)
        browser_->setSource(url);
    UpdateTitle();
    show();
    if (isMinimized())
        showNormal();
    raise();
    activateWindow();
}

void HelpWindow::ApplyPaletteStyle() {
    browser_->document()->setDefaultStyleSheet(HelpStyleSheet(palette()));
}

void HelpWindow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange && browser_ != nullptr) {
        ApplyPaletteStyle();
        // A page is laid out with the style it was loaded with.
        if (!browser_->source().isEmpty())
            browser_->reload();
    }
    QWidget::changeEvent(event);
}

void HelpWindow::LendTo(QWidget* modal) {
    if (modal == nullptr || modal == this || parentWidget() == modal)
        return;
    if (lentTo_ != nullptr)
        lentTo_->removeEventFilter(this);
    lentTo_ = modal;
    modal->installEventFilter(this);
    MoveUnder(modal);
}

void HelpWindow::MoveUnder(QWidget* parent) {
    const QRect placement = geometry();
    const bool shown = isVisible();
    setParent(parent, Qt::Window);
    setGeometry(placement);
    if (shown)
        show();
}

bool HelpWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lentTo_ && (event->type() == QEvent::Hide || event->type() == QEvent::Destroy)) {
        lentTo_->removeEventFilter(this);
        lentTo_ = nullptr;
        // Back to the owner before the dialog, and its children, go.
        MoveUnder(owner_);
    }
    return QWidget::eventFilter(watched, event);
}

void HelpWindow::UpdateTitle() {
    const QString title = browser_->documentTitle();
    setWindowTitle(title.isEmpty() ? QStringLiteral("Kotoha") : title);
}

HelpWindow* ShowHelp(QWidget* owner, HelpPage page) {
    QWidget* top = owner != nullptr ? owner->window() : nullptr;
    QWidget* modal = QApplication::activeModalWidget();
    HelpWindow* window = nullptr;
    for (QWidget* holder : {top, modal}) {
        if (window == nullptr && holder != nullptr)
            window = holder->findChild<HelpWindow*>(QString(), Qt::FindDirectChildrenOnly);
    }
    if (window == nullptr)
        window = new HelpWindow(top);
    window->LendTo(modal);
    window->ShowPage(HelpPageUrl(page, HelpLanguage()));
    return window;
}

}  // namespace kotoha
