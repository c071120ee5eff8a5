#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds with AddressSanitizer and
# UndefinedBehaviorSanitizer (into build/asan) and runs every test.
# Fails when any test fails.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
kotoha_install_deps

jobs=$(nproc)

# The core (every layer below the view) must stay free of Qt.
if grep -nE '#\s*include\s*<Q' src/base/* src/codec/* src/layout/* src/document/* \
    src/viewmodel/* src/shell/* 2>/dev/null; then
    echo "error: the core includes Qt headers" >&2
    exit 1
fi
# No include points up a layer (the compiler refuses one too; this names it).
scripts/check_layers.sh >/dev/null

# The benchmarks are built too, so that a change of an interface cannot
# leave them behind unnoticed; they are not run here.
cmake -S . -B build/asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKOTOHA_SANITIZE=ON \
    -DKOTOHA_BENCH=ON >/dev/null
cmake --build build/asan -j "$jobs"

# Window tests run without a display.
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build/asan --output-on-failure -j "$jobs"

# Fuzz targets: a short fixed number of runs each, when clang can build them.
if command -v clang++ >/dev/null 2>&1; then
    if CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DKOTOHA_FUZZ=ON -DKOTOHA_TESTS=OFF -DKOTOHA_BENCH=OFF -DKOTOHA_GUI=OFF >/dev/null &&
        cmake --build build/fuzz -j "$jobs"; then
        for target in build/fuzz/bin/fuzz_*; do
            [ -x "$target" ] || continue
            log=build/fuzz/$(basename "$target").log
            # Only the summary line, unless the target fails: then all of it.
            if "$target" -runs=200000 -seed=1 -max_len=4096 >"$log" 2>&1; then
                echo "$(basename "$target"): $(grep -E '^Done [0-9]+ runs' "$log")"
            else
                cat "$log"
                echo "error: $(basename "$target") failed" >&2
                exit 1
            fi
        done
    else
        echo "note: clang cannot build the fuzz targets here; skipped"
    fi
fi
echo "All tests passed."
