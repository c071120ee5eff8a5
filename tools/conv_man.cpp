// SPDX-License-Identifier: MIT
// Writes the manual page of kotoha-conv from its template, putting the
// option list made from the option table where the template says @OPTIONS@
// and the version where it says @VERSION@.
// Usage: kotoha-conv-man TEMPLATE OUTPUT

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "conv_options.h"

namespace {

void ReplaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: kotoha-conv-man TEMPLATE OUTPUT\n", stderr);
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::string page((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) {
        std::fprintf(stderr, "kotoha-conv-man: cannot read %s\n", argv[1]);
        return 1;
    }
    if (page.find("@OPTIONS@\n") == std::string::npos) {
        std::fprintf(stderr, "kotoha-conv-man: %s has no @OPTIONS@ line\n", argv[1]);
        return 1;
    }
    ReplaceAll(page, "@OPTIONS@\n", kotoha::conv::ManPageOptions());
    ReplaceAll(page, "@VERSION@", KOTOHA_VERSION_STRING);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out << page;
    out.close();
    if (!out) {
        std::fprintf(stderr, "kotoha-conv-man: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
