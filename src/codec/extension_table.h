// SPDX-License-Identifier: MIT
// Characters CP932 cannot hold exactly, each given a double-byte code of the
// user-defined area (0xF040-0xF9FC) that its text does not use itself, for
// the life of that text. The internal form stays Shift-JIS bytes; this table
// says which Unicode character such a code stands for.
#pragma once

#include <bitset>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace kotoha {

// The user-defined area: leads 0xF0-0xF9, each with the 188 trail bytes.
inline constexpr std::uint16_t kFirstUserCode = 0xF040;
inline constexpr std::uint16_t kLastUserCode = 0xF9FC;
inline constexpr std::size_t kUserCodeCount = 10 * 188;
// Written for a character that finds no free code (KATAKANA MIDDLE DOT).
inline constexpr std::uint16_t kNoCodeLeftCode = 0x8145;

// Index 0..kUserCodeCount-1 of a user-defined code, or -1 for any other code.
int UserCodeIndex(std::uint16_t code);
std::uint16_t UserCodeAt(std::size_t index);

class ExtensionTable {
  public:
    // The code given to ch, giving it a free one when it has none yet; 0 when
    // every code is taken.
    std::uint16_t CodeFor(char32_t ch);
    // The code already given to ch, or 0.
    std::uint16_t Find(char32_t ch) const;
    // The character code stands for, or 0 when it is no code of the table.
    char32_t CharOf(std::uint16_t code) const;
    // Keeps code from being given to a character: the text uses it itself.
    void Reserve(std::uint16_t code);

    bool empty() const { return codes_.empty(); }
    std::size_t size() const { return codes_.size(); }
    void clear();
    // Gives back every code given to a character; reserved codes stay taken.
    void ReleaseCodes();

  private:
    std::vector<char32_t> chars_;  // by user-code index; empty until the first code
    std::unordered_map<char32_t, std::uint16_t> codes_;
    std::bitset<kUserCodeCount> taken_;
    std::bitset<kUserCodeCount> reserved_;
    std::size_t next_ = 0;  // no free index below it
};

}  // namespace kotoha
