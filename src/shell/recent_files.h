// SPDX-License-Identifier: MIT
// The recently-used file list: at most four paths, the most recent first,
// kept in the profile section "Recent File List" under the keys File1..File4.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "shell/profile.h"

namespace kotoha {

class RecentFileList {
  public:
    static constexpr std::size_t kMaxEntries = 4;
    static constexpr std::string_view kSection = "Recent File List";

    // Replaces the list by the entries File1..File4 of the profile, in that
    // order, skipping missing and empty entries and repeats of a path.
    void Load(Profile& profile);
    // Writes the list as File1.. and removes the keys of unused places, so
    // that a shorter list does not leave stale entries behind.
    void Save(Profile& profile) const;

    // Puts path first; an equal path (compared byte for byte) already in the
    // list moves up instead of appearing twice; the oldest entry beyond four
    // is dropped. An empty path is ignored.
    void Add(std::string_view path);
    // Removes path when it is listed; true when it was.
    bool Remove(std::string_view path);

    // The paths, the most recent first.
    const std::vector<std::string>& Entries() const { return entries_; }

  private:
    std::vector<std::string> entries_;
};

}  // namespace kotoha
