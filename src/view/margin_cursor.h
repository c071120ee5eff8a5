// SPDX-License-Identifier: MIT
// The cursor over the left margin: an arrow pointing up and to the right
// (the mirror image of the usual arrow), hot spot at its tip (12, 0).
#pragma once

#include <QCursor>

namespace kotoha {

QCursor MarginCursor();

}  // namespace kotoha
