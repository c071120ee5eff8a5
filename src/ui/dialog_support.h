// SPDX-License-Identifier: MIT
// What the settings dialogs share: their font, the help button, and the
// checked reading of an integer field.
#pragma once

#include <cstdint>

#include <QFont>
#include <QRect>
#include <QString>

class QLineEdit;
class QPushButton;
class QScreen;
class QWidget;

namespace kotoha {

// The dialogs' font: a proportional Japanese family when one is installed,
// else the system's user-interface font, at 10 points.
QFont DialogFont();

// Makes button run the help command of the main window that holds parent,
// and enables it only while that command is enabled.
void ConnectHelpButton(QPushButton* button, QWidget* parent);

// rect moved and, when too large, shrunk so that it lies within the
// available area of the screen under its centre (the primary screen when
// none is): a placement saved on a monitor that is gone, or a size made for
// another scale factor, still gives a window the user can reach.
QRect FitOnScreen(QRect rect);
// size, no larger than nine tenths of screen's available area (which leaves
// room for the window's frame), centred on it.
QRect CentredOn(const QScreen& screen, QSize size);

// The reading of an integer entry field.
enum class IntegerEntry { Valid, NotInteger, OutOfRange };

// Reads text (blanks around it allowed, an optional sign, decimal digits) as
// an integer within [minimum, maximum]; value is set only when valid.
IntegerEntry ParseIntegerEntry(const QString& text, std::int32_t minimum, std::int32_t maximum,
                               std::int32_t& value);

// Reads edit as ParseIntegerEntry does. An invalid entry is reported (a
// text that is not an integer with one message, one out of range with
// another naming the bounds) and selected with the focus in it; false then.
bool ReadIntegerField(QLineEdit* edit, std::int32_t minimum, std::int32_t maximum,
                      std::int32_t& value);

}  // namespace kotoha
