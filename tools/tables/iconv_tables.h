// SPDX-License-Identifier: MIT
// The code tables as the host's iconv reads them: what the tables kept in
// resources/tables are written from, and what a test holds the compiled
// tables against.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace kotoha::tables {

struct CodeMapping {
    // CP932: the two bytes; JIS X 0212: row and cell bytes (0x21-0x7E);
    // JIS X 0213: the plane in bits 16 and up, then row and cell bytes.
    std::uint32_t code = 0;
    char32_t first = 0;
    // The second character of a code that stands for two (a kana with a
    // combining mark), else 0.
    char32_t second = 0;
};

// Each list is empty when the host has no iconv module for it.
std::vector<CodeMapping> Cp932DoubleBytesFromIconv();
std::vector<CodeMapping> Jis0212FromIconv();
std::vector<CodeMapping> Jis0213FromIconv();

// One mapping a line ("0x8140 0x3000", a second character after "+"), with
// a comment line naming the source first.
std::string FormatTable(const std::vector<CodeMapping>& mappings, const std::string& comment);

}  // namespace kotoha::tables
