// SPDX-License-Identifier: MIT
// Lookup of the user-interface texts by string-table id.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "base/string_ids.h"

namespace kotoha {

// The UTF-8 text of id, or "" when the table has no such id. The pointer
// stays valid for the life of the process.
const char* LoadString(StringId::Id id);

// Field index (0-based) of the text of id, whose fields are separated by
// line feeds ("status prompt\ntooltip", the template string, filter lists);
// "" when the text has fewer fields.
std::string_view StringField(StringId::Id id, std::size_t index);

// The text of id with every "%1" replaced by arg1 and every "%2" by arg2.
// Inserted arguments are not searched again; any other "%" stays as it is.
std::string FormatMessage(StringId::Id id, std::string_view arg1 = {}, std::string_view arg2 = {});

}  // namespace kotoha
