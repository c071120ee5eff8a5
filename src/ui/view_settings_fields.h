// SPDX-License-Identifier: MIT
// What the view settings dialog shows of a view and hands back.
#pragma once

#include <cstdint>
#include <string>

#include "view/log_font.h"

namespace kotoha {

struct ViewSettingsFields {
    // The font's size in tenths of a point, for display only.
    std::int32_t pointSizeTenths = 0;
    LogFont font;
    // The font's style as the font dialog names it, at most 31 bytes.
    std::string styleName;
    // Set once a font was accepted from the font dialog.
    bool fontChanged = false;
    std::int32_t tabLength = 8;
    std::int32_t wrapColumn = 80;
    bool paintBackground = true;
};

// How the dialog was closed: OK applies to this view, Defaults also stores
// the values as the defaults of every later document.
enum class ViewSettingsAnswer { Cancel, Apply, ApplyAsDefaults };

}  // namespace kotoha
