#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Whole-process conversion: kotoha-conv against iconv (and nkf and uconv when
# they are installed) on the same generated 64 MB texts, in one run, page
# cache warm, output to /dev/null. Median wall time of RUNS runs (default 5)
# and each tool's time as a multiple of kotoha-conv's; with strace installed,
# the write() calls kotoha-conv makes for each conversion.
# Usage: bench/conv_bench.sh [BUILD_DIR] (a Release build; default build, where ./run.sh builds)
# Prints one Markdown table.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
conv=$build/bin/kotoha-conv
[ -x "$conv" ] || { echo "no $conv; build the kotoha-conv target first" >&2; exit 1; }
command -v iconv >/dev/null || { echo "needs iconv (Debian package libc-bin)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Just under 64 MiB of Shift-JIS: the bundled samples (kanji, kana, half-width katakana,
# ASCII, CR LF) repeated; the other encodings made from it by iconv, so that
# every tool reads the same text.
for sample in "$root"/samples/*.sjis.crlf.txt; do cat "$sample"; done >"$work/unit"
while [ "$(stat -c %s "$work/unit")" -lt 1048576 ]; do
    cat "$work/unit" "$work/unit" >"$work/unit2" && mv "$work/unit2" "$work/unit"
done
# 1 MiB cut back to its last whole line.
head -c 1048576 "$work/unit" | perl -0777 -pe 's/[^\n]*\z//' >"$work/unit2"
for _ in $(seq 64); do cat "$work/unit2"; done >"$work/sjis"
iconv -f CP932 -t EUC-JP-MS "$work/sjis" >"$work/euc"
iconv -f CP932 -t ISO-2022-JP-3 "$work/sjis" >"$work/jis"
iconv -f CP932 -t UTF-8 "$work/sjis" >"$work/utf8"

runs=${RUNS:-5}

# Median wall time in milliseconds of running "$@" with standard output to
# /dev/null, over $runs runs after one warm-up.
median_ms() {
    local times=() i start end
    "$@" >/dev/null 2>&1 || true
    for i in $(seq "$runs"); do
        start=$EPOCHREALTIME
        "$@" >/dev/null 2>/dev/null || true
        end=$EPOCHREALTIME
        times+=("$(echo "($end - $start) * 1000" | bc -l)")
    done
    printf '%s\n' "${times[@]}" | sort -n | sed -n "$(((runs + 1) / 2))p"
}

# The write() calls of one run, when strace is there.
writes() {
    command -v strace >/dev/null || { echo "-"; return; }
    strace -f -c -e trace=write -o "$work/strace" "$@" >/dev/null 2>&1 || true
    awk '$NF == "write" { print $4 }' "$work/strace" | head -n 1
}

have() { command -v "$1" >/dev/null; }

# name | input | kotoha-conv options | iconv from | iconv to | nkf options | uconv from | uconv to
conversions=(
    "EUC-JP -> Shift-JIS|euc|-e --to=sjis|EUC-JP-MS|CP932|-E -s|EUC-JP|ibm-943_P15A-2003"
    "JIS -> Shift-JIS|jis|-j --to=sjis|ISO-2022-JP-3|CP932|-J -s|ISO-2022-JP|ibm-943_P15A-2003"
    "Shift-JIS -> EUC-JP|sjis|-s --to=euc|CP932|EUC-JP-MS|-S -e|ibm-943_P15A-2003|EUC-JP"
    "Shift-JIS -> UTF-8|sjis|-s --to=utf8|CP932|UTF-8|-S -w|ibm-943_P15A-2003|UTF-8"
    "UTF-8 -> Shift-JIS|utf8|-u --to=sjis|UTF-8|CP932|-W -s|UTF-8|ibm-943_P15A-2003"
)

header="| $((($(stat -c %s "$work/sjis") + 524288) / 1048576)) MiB of Shift-JIS text, median of $runs, ms | kotoha-conv | write() calls | iconv | iconv / kotoha-conv"
rule="|---|--:|--:|--:|--:"
if have nkf; then header+=" | nkf | nkf / kotoha-conv"; rule+="|--:|--:"; fi
if have uconv; then header+=" | uconv | uconv / kotoha-conv"; rule+="|--:|--:"; fi
echo "$header |"
echo "$rule|"
for line in "${conversions[@]}"; do
    IFS='|' read -r name input options ifrom ito nkfopts ufrom uto <<<"$line"
    # shellcheck disable=SC2086
    ours=$(median_ms "$conv" $options --eol=keep "$work/$input")
    # shellcheck disable=SC2086
    calls=$(writes "$conv" $options --eol=keep "$work/$input")
    theirs=$(median_ms iconv -f "$ifrom" -t "$ito" "$work/$input")
    row=$(printf '| %s | %.0f | %s | %.0f | %.1fx' "$name" "$ours" "$calls" "$theirs" \
        "$(echo "$theirs / $ours" | bc -l)")
    if have nkf; then
        # shellcheck disable=SC2086
        n=$(median_ms nkf $nkfopts --fb-skip "$work/$input")
        row+=$(printf ' | %.0f | %.1fx' "$n" "$(echo "$n / $ours" | bc -l)")
    fi
    if have uconv; then
        u=$(median_ms uconv -f "$ufrom" -t "$uto" "$work/$input")
        row+=$(printf ' | %.0f | %.1fx' "$u" "$(echo "$u / $ours" | bc -l)")
    fi
    echo "$row |"
done
echo
echo "Input sizes (bytes): Shift-JIS $(stat -c %s "$work/sjis"), EUC-JP $(stat -c %s "$work/euc"), JIS $(stat -c %s "$work/jis"), UTF-8 $(stat -c %s "$work/utf8")."
