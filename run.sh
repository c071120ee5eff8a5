#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds (release, into build/) and runs Kotoha.
# Without arguments it opens a bundled sample; with arguments it passes them
# to the viewer (kotoha [-s|-j|-e] [FILE], --help for the rest).
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
kotoha_install_deps

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOTOHA_SANITIZE=OFF -DKOTOHA_TESTS=OFF >/dev/null
# The viewer, the conversion command and the benchmarks.
cmake --build build

if [ $# -gt 0 ]; then
    exec build/bin/kotoha "$@"
fi
exec build/bin/kotoha samples/seasons.sjis.crlf.txt
