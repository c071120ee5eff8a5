#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The cost of starting: kotoha-conv against iconv on a 100-byte Shift-JIS
# file, RUNS runs of each (default 2000) in one run of this script, output
# to /dev/null. Prints the CPU time (user + system) of a run of each, in
# microseconds, and kotoha-conv's as a multiple of iconv's; with valgrind
# installed, also the instructions of one run of each (callgrind's count,
# the same from run to run whatever else the machine does).
# Usage: bench/conv_small_bench.sh [BUILD_DIR] (a Release build; default build, where ./run.sh builds)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
conv=$build/bin/kotoha-conv
[ -x "$conv" ] || { echo "no $conv; build the kotoha-conv target first" >&2; exit 1; }
command -v iconv >/dev/null || { echo "needs iconv (Debian package libc-bin)" >&2; exit 1; }
runs=${RUNS:-2000}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# 100 bytes of the sample (kanji, kana and ASCII), one fewer when the
# hundredth would cut a character.
sample=$root/samples/seasons.sjis.crlf.txt
head -c 100 "$sample" >"$work/small"
iconv -f CP932 -t UTF-8 "$work/small" >/dev/null 2>&1 || head -c 99 "$sample" >"$work/small"

# CPU microseconds per run of "$@": the children's user and system time
# that bash's times reports after the loop.
cpu_us() {
    local out
    out=$( (for _ in $(seq "$runs"); do "$@" >/dev/null 2>&1 || true; done; times) | tail -n 1)
    # "XmY.YYYs XmY.YYYs": the children's user and system time.
    echo "$out" | awk -v runs="$runs" '{
        split($1, u, "m"); split($2, s, "m");
        sub("s", "", u[2]); sub("s", "", s[2]);
        printf "%.0f", ((u[1] * 60 + u[2]) + (s[1] * 60 + s[2])) * 1e6 / runs }'
}

# Instructions of one run of "$@", or "-" without valgrind.
instructions() {
    command -v valgrind >/dev/null || { echo "-"; return; }
    valgrind --tool=callgrind --callgrind-out-file=/dev/null "$@" 2>&1 >/dev/null |
        awk '/Collected/ { print $NF }'
}

echo "| $(stat -c %s "$work/small")-byte Shift-JIS file, $runs runs | kotoha-conv CPU µs | iconv CPU µs | kotoha-conv / iconv | kotoha-conv instructions | iconv instructions |"
echo "|---|--:|--:|--:|--:|--:|"
for line in "Shift-JIS -> UTF-8|-s --to=utf8|CP932|UTF-8" "detected -> UTF-8|--to=utf8|CP932|UTF-8" \
    "Shift-JIS -> EUC-JP|-s --to=euc|CP932|EUC-JP-MS"; do
    IFS='|' read -r name options from to <<<"$line"
    # shellcheck disable=SC2086
    ours=$(cpu_us "$conv" $options "$work/small")
    theirs=$(cpu_us iconv -f "$from" -t "$to" "$work/small")
    # shellcheck disable=SC2086
    ourCount=$(instructions "$conv" $options "$work/small")
    theirCount=$(instructions iconv -f "$from" -t "$to" "$work/small")
    echo "| $name | $ours | $theirs | $(echo "scale=2; $ours / $theirs" | bc -l) | $ourCount | $theirCount |"
done
