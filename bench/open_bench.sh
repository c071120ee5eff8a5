#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Opening a file from the command line to the first painted window:
# `kotoha --screenshot` on a 64 MB Shift-JIS file against the same command on
# a 1 KB file (the difference is the cost of the text), with the peak memory
# of each, and the paint time of a page down in the middle of the large file.
# Usage: bench/open_bench.sh [BUILD_DIR] (a Release build; default build, where ./run.sh builds)
# Prints one Markdown table.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
kotoha=$build/bin/kotoha
[ -x "$kotoha" ] || { echo "no $kotoha; build the kotoha target first" >&2; exit 1; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package time)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config" "$work/runtime"
chmod 700 "$work/runtime"
export XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen

# 1 KB: the bundled sample repeated; 64 MB: the same text repeated.
sample=$root/samples/seasons.sjis.crlf.txt
small=$work/small.txt
large=$work/large.txt
while [ "$(stat -c %s "$small" 2>/dev/null || echo 0)" -lt 1024 ]; do cat "$sample" >>"$small"; done
head -c 1024 "$small" >"$small.tmp" && mv "$small.tmp" "$small"
for _ in $(seq 16); do cat "$small"; done >"$work/16k"
for _ in $(seq 64); do cat "$work/16k"; done >"$work/1m"
for _ in $(seq 64); do cat "$work/1m"; done >"$large"

runs=${RUNS:-5}

# Median of the wall time (s) and of the peak resident set (KB) over $runs runs.
measure() {
    local file=$1 times=() peaks=() i out
    for i in $(seq "$runs"); do
        /usr/bin/time -o "$work/time" -f '%e %M' "$kotoha" --screenshot="$work/shot.png" \
            "$file" >/dev/null 2>"$work/err"
        out=$(tail -n 1 "$work/time")
        times+=("${out% *}")
        peaks+=("${out#* }")
    done
    printf '%s %s\n' "$(printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")" \
        "$(printf '%s\n' "${peaks[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p")"
}

read -r smallTime smallPeak < <(measure "$small")
read -r largeTime largePeak < <(measure "$large")
pagedown=$(KOTOHA_PAGEDOWN_BENCH=50 "$kotoha" --screenshot="$work/shot.png" "$large" 2>&1 |
    sed -n 's/^kotoha: page down with repaint: //p')

echo "| kotoha --screenshot, offscreen, median of $runs | wall time (s) | peak RSS (MB) |"
echo "|---|---:|---:|"
printf '| 1 KB Shift-JIS file | %s | %.1f |\n' "$smallTime" "$(echo "$smallPeak / 1024" | bc -l)"
printf '| 64 MB Shift-JIS file | %s | %.1f |\n' "$largeTime" "$(echo "$largePeak / 1024" | bc -l)"
printf '| difference (the cost of the text) | %.2f | %.1f |\n' \
    "$(echo "$largeTime - $smallTime" | bc -l)" "$(echo "($largePeak - $smallPeak) / 1024" | bc -l)"
echo
echo "Page down in the middle of the 64 MB file, key and full repaint: $pagedown"
