#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# bench/open_bench.sh without an argument looks in build/, where ./run.sh
# builds: run from a copy of the project without a build, it must name
# build/bin/kotoha as what is missing.
set -euo pipefail
root=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bench"
cp "$root/bench/open_bench.sh" "$work/bench/"
if message=$(bash "$work/bench/open_bench.sh" 2>&1); then
    echo "open_bench.sh ran without a build" >&2
    exit 1
fi
case $message in
    *"$work/build/bin/kotoha"*) exit 0 ;;
    *) echo "unexpected: $message" >&2; exit 1 ;;
esac
