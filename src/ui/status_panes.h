// SPDX-License-Identifier: MIT
// The ten panes of the status bar: the prompt pane, then the line-break
// kind, the encoding, the active splitter pane, the line and the column,
// with zero-width gaps between them.
#pragma once

#include <QFont>
#include <QString>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/string_ids.h"
#include "codec/byte_class.h"

class QLabel;
class QStatusBar;

namespace kotoha {

class StatusPanes {
  public:
    static constexpr std::size_t kCount = 10;
    // Positions (0-based) of the information panes.
    static constexpr std::size_t kLineBreakPane = 2;
    static constexpr std::size_t kEncodingPane = 3;
    static constexpr std::size_t kActivePane = 5;
    static constexpr std::size_t kLinePane = 7;
    static constexpr std::size_t kColumnPane = 8;

    // The pane ids, left to right; each id's text sets the pane's width.
    static const std::array<StringId::Id, kCount>& PaneIds();

    // Adds the panes to bar in the status-bar font; every gap pane is
    // borderless and zero wide.
    explicit StatusPanes(QStatusBar* bar);

    void SetLineBreakKind(LineBreakKind kind);
    void SetEncodingKind(EncodingKind kind);
    // The encoding pane's tooltip (UTF-8); empty removes it.
    void SetEncodingTip(std::string_view tip);
    // 0 upper pane, 1 lower pane, anything else empty.
    void SetActivePaneRow(int row);
    // The active-pane indicator is enabled only while the window is split.
    void SetSplit(bool split);
    // Widens the line pane (never below its own width) to hold widest.
    void FitLineText(std::string_view widest);
    void SetLineText(std::string_view text);
    void SetColumnText(std::string_view text);

    // The text and label of the pane at position (0-based).
    QString Text(std::size_t position) const;
    QLabel* Pane(std::size_t position) const { return panes_[position]; }

    // A proportional Japanese family at 10 points when one is installed,
    // else the system's interface font at 10 points.
    static QFont StatusFont();

  private:
    std::string lineFittedFor_;  // the text FitLineText last sized the line pane for
    std::array<QLabel*, kCount> panes_{};
};

}  // namespace kotoha
