// SPDX-License-Identifier: MIT
// Writes the code tables kept in the tree (resources/tables) from the
// host's iconv. Run by hand when a table is to change; the build reads only
// the files.
#include <cstdio>
#include <fstream>
#include <string>

#include "iconv_tables.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    using namespace kotoha::tables;
    const struct {
        const char* file;
        std::vector<CodeMapping> mappings;
        const char* comment;
    } tables[] = {
        {"cp932.txt", Cp932DoubleBytesFromIconv(),
         "CP932 double-byte code -> Unicode, from glibc iconv (CP932)"},
        {"jis0212.txt", Jis0212FromIconv(),
         "JIS X 0212 row and cell -> Unicode, from glibc iconv (EUC-JP)"},
        {"jis0213.txt", Jis0213FromIconv(),
         "JIS X 0213 plane, row and cell -> Unicode, from glibc iconv (EUC-JISX0213)"},
    };
    for (const auto& table : tables) {
        if (table.mappings.empty()) {
            std::fprintf(stderr, "%s: iconv has no such table here\n", table.file);
            return 1;
        }
        std::ofstream out(std::string(argv[1]) + "/" + table.file, std::ios::binary);
        out << FormatTable(table.mappings, table.comment);
        if (!out.flush()) {
            std::fprintf(stderr, "%s: cannot write\n", table.file);
            return 1;
        }
    }
    return 0;
}
