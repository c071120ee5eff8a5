// SPDX-License-Identifier: MIT
#include "shell/recent_files.h"

#include <algorithm>

namespace kotoha {

namespace {

std::string KeyOf(std::size_t place) {
    return "File" + std::to_string(place + 1);
}

}  // namespace

void RecentFileList::Load(Profile& profile) {
    entries_.clear();
    for (std::size_t place = 0; place < kMaxEntries; ++place) {
        std::string path = profile.ReadString(kSection, KeyOf(place), "");
        if (path.empty() || std::find(entries_.begin(), entries_.end(), path) != entries_.end()) {
            continue;
        }
        entries_.push_back(std::move(path));
    }
}

void RecentFileList::Save(Profile& profile) const {
    for (std::size_t place = 0; place < kMaxEntries; ++place) {
        if (place < entries_.size()) {
            profile.WriteString(kSection, KeyOf(place), entries_[place]);
        } else {
            profile.RemoveKey(kSection, KeyOf(place));
        }
    }
}

void RecentFileList::Add(std::string_view path) {
    if (path.empty())
        return;
    Remove(path);
    entries_.insert(entries_.begin(), std::string(path));
    if (entries_.size() > kMaxEntries)
        entries_.resize(kMaxEntries);
}

bool RecentFileList::Remove(std::string_view path) {
    auto it = std::find(entries_.begin(), entries_.end(), path);
    if (it == entries_.end())
        return false;
    entries_.erase(it);
    return true;
}

}  // namespace kotoha
