// SPDX-License-Identifier: MIT
#include "ui/status_panes.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QLabel>
#include <QStatusBar>
#include <algorithm>

#include "shell/open_notice_text.h"
#include "shell/strings.h"

namespace kotoha {

namespace {

QString Loaded(StringId::Id id) {
    return QString::fromUtf8(LoadString(id));
}

// Room left and right of a pane's text, in pixels.
constexpr int kPaneMargin = 4;

}  // namespace

const std::array<StringId::Id, StatusPanes::kCount>& StatusPanes::PaneIds() {
    static constexpr std::array<StringId::Id, kCount> kIds = {
        0,
        StringId::kPaneGap,
        StringId::kPaneLineBreak,
        StringId::kPaneEncoding,
        StringId::kPaneGap,
        StringId::kPaneActivePane,
        StringId::kPaneGap,
        StringId::kPaneLineNumber,
        StringId::kPaneColumn,
        StringId::kPaneGap,
    };
    return kIds;
}

QFont StatusPanes::StatusFont() {
    QFont font = QApplication::font();
    for (const char* family : {"IPAPGothic", "IPAexGothic", "Noto Sans CJK JP"}) {
        if (QFontDatabase::hasFamily(QString::fromLatin1(family))) {
            font = QFont(QString::fromLatin1(family));
            break;
        }
    }
    font.setPointSize(10);
    return font;
}

StatusPanes::StatusPanes(QStatusBar* bar) {
    bar->setFont(StatusFont());
    const QFontMetrics metrics(bar->font());
    for (std::size_t i = 0; i < kCount; ++i) {
        const StringId::Id id = PaneIds()[i];
        auto* pane = new QLabel(bar);
        pane->setObjectName(QStringLiteral("pane%1").arg(i + 1));
        if (i == 0) {
            // The prompt pane stretches; the bar's temporary messages (the
            // menu and toolbar prompts) cover it while they show.
            pane->setText(Loaded(StringId::kIdleMessage));
            bar->addWidget(pane, 1);
        } else if (id == StringId::kPaneGap) {
            pane->setFixedWidth(0);
            pane->setFrameShape(QFrame::NoFrame);
            pane->setContentsMargins(0, 0, 0, 0);
            bar->addPermanentWidget(pane);
        } else {
            int width = metrics.horizontalAdvance(Loaded(id));
            // The encoding pane also fits the longest Unicode name.
            if (id == StringId::kPaneEncoding)
                width = std::max(width, metrics.horizontalAdvance(Loaded(StringId::kUtf8Bom)));
            pane->setFixedWidth(width + 2 * kPaneMargin);
            pane->setAlignment(i == kLinePane || i == kColumnPane
                                   ? Qt::AlignRight | Qt::AlignVCenter
                                   : Qt::AlignLeft | Qt::AlignVCenter);
            pane->setFrameShape(QFrame::Panel);
            pane->setFrameShadow(QFrame::Sunken);
            bar->addPermanentWidget(pane);
        }
        panes_[i] = pane;
    }
    SetSplit(false);
}

void StatusPanes::SetLineBreakKind(LineBreakKind kind) {
    QString text;
    switch (kind) {
        case LineBreakKind::WIN:
            text = Loaded(StringId::kWin);
            break;
        case LineBreakKind::UX:
            text = Loaded(StringId::kUx);
            break;
        case LineBreakKind::MAC:
            text = Loaded(StringId::kMac);
            break;
        default:
            break;
    }
    panes_[kLineBreakPane]->setText(text);
}

void StatusPanes::SetEncodingKind(EncodingKind kind) {
    panes_[kEncodingPane]->setText(Loaded(EncodingPaneNameId(kind)));
}

void StatusPanes::SetEncodingTip(std::string_view tip) {
    panes_[kEncodingPane]->setToolTip(
        QString::fromUtf8(tip.data(), static_cast<qsizetype>(tip.size())));
}

void StatusPanes::SetActivePaneRow(int row) {
    QString text;
    if (row == 0)
        text = Loaded(StringId::kUpperPane);
    else if (row == 1)
        text = Loaded(StringId::kLowerPane);
    panes_[kActivePane]->setText(text);
}

void StatusPanes::SetSplit(bool split) {
    panes_[kActivePane]->setEnabled(split);
}

void StatusPanes::FitLineText(std::string_view widest) {
    // Called at every scroll step: measured only when the widest text moves.
    if (widest == lineFittedFor_)
        return;
    lineFittedFor_ = widest;
    QLabel* pane = panes_[kLinePane];
    const int initial = QFontMetrics(pane->font()).horizontalAdvance(Loaded(PaneIds()[kLinePane]));
    const int wanted = QFontMetrics(pane->font())
                           .horizontalAdvance(QString::fromUtf8(
                               widest.data(), static_cast<qsizetype>(widest.size())));
    const int width = std::max(initial, wanted) + 2 * kPaneMargin;
    if (pane->width() != width)
        pane->setFixedWidth(width);
}

void StatusPanes::SetLineText(std::string_view text) {
    panes_[kLinePane]->setText(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void StatusPanes::SetColumnText(std::string_view text) {
    panes_[kColumnPane]->setText(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

QString StatusPanes::Text(std::size_t position) const {
    return panes_[position]->text();
}

}  // namespace kotoha
