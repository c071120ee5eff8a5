// SPDX-License-Identifier: MIT
#include "codec/extension_table.h"

#include <algorithm>

namespace kotoha {

namespace {

// Trail bytes of a Shift-JIS pair in order: 0x40-0x7E, 0x80-0xFC.
int TrailIndex(unsigned trail) {
    if (trail >= 0x40 && trail <= 0x7E)
        return static_cast<int>(trail - 0x40);
    if (trail >= 0x80 && trail <= 0xFC)
        return static_cast<int>(trail - 0x41);
    return -1;
}

}  // namespace

int UserCodeIndex(std::uint16_t code) {
    const unsigned lead = code >> 8;
    const int trail = TrailIndex(code & 0xFFu);
    if (lead < 0xF0 || lead > 0xF9 || trail < 0)
        return -1;
    return static_cast<int>(lead - 0xF0) * 188 + trail;
}

std::uint16_t UserCodeAt(std::size_t index) {
    const auto lead = static_cast<unsigned>(0xF0 + index / 188);
    const auto t = static_cast<unsigned>(index % 188);
    return static_cast<std::uint16_t>((lead << 8) | (t < 0x3F ? 0x40 + t : 0x41 + t));
}

std::uint16_t ExtensionTable::CodeFor(char32_t ch) {
    if (const std::uint16_t code = Find(ch))
        return code;
    while (next_ < kUserCodeCount && taken_[next_])
        ++next_;
    if (next_ == kUserCodeCount)
        return 0;
    if (chars_.empty())
        chars_.assign(kUserCodeCount, 0);
    const std::uint16_t code = UserCodeAt(next_);
    taken_[next_] = true;
    chars_[next_] = ch;
    codes_.emplace(ch, code);
    return code;
}

std::uint16_t ExtensionTable::Find(char32_t ch) const {
    const auto it = codes_.find(ch);
    return it == codes_.end() ? 0 : it->second;
}

char32_t ExtensionTable::CharOf(std::uint16_t code) const {
    if (chars_.empty())
        return 0;
    const int index = UserCodeIndex(code);
    return index < 0 ? 0 : chars_[static_cast<std::size_t>(index)];
}

void ExtensionTable::Reserve(std::uint16_t code) {
    const int index = UserCodeIndex(code);
    if (index >= 0) {
        taken_[static_cast<std::size_t>(index)] = true;
        reserved_[static_cast<std::size_t>(index)] = true;
    }
}

void ExtensionTable::ReleaseCodes() {
    std::fill(chars_.begin(), chars_.end(), 0);
    codes_.clear();
    taken_ = reserved_;
    next_ = 0;
}

void ExtensionTable::clear() {
    chars_.clear();
    codes_.clear();
    taken_.reset();
    reserved_.reset();
    next_ = 0;
}

}  // namespace kotoha
