#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Regenerates every sample file from the UTF-8 master texts in samples/src/:
# each text becomes samples/<text>.<sjis|jis|euc>.<crlf|lf|cr>.txt.
# The masters go to Shift-JIS with iconv (CP932), then kotoha-conv writes the
# encoding and line-break variants. Set KOTOHA_CONV to use another build of
# the command than build/bin/kotoha-conv.
set -euo pipefail
cd "$(dirname "$0")/.."

conv=${KOTOHA_CONV:-build/bin/kotoha-conv}
if [ ! -x "$conv" ]; then
    echo "make_samples.sh: $conv not found; build it first (./run.sh, or set KOTOHA_CONV)" >&2
    exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Generated files only: anything else in samples/ is left alone.
rm -f samples/*.sjis.*.txt samples/*.jis.*.txt samples/*.euc.*.txt

for master in samples/src/*.txt; do
    text=$(basename "$master" .txt)
    iconv -f UTF-8 -t CP932 "$master" >"$work/$text.sjis"
    for encoding in sjis jis euc; do
        for eol in crlf lf cr; do
            case $eol in
                crlf) kind=win ;;
                lf) kind=ux ;;
                cr) kind=mac ;;
            esac
            "$conv" -s --to="$encoding" --eol="$kind" -o "samples/$text.$encoding.$eol.txt" \
                "$work/$text.sjis"
        done
    done
done
ls samples/*.txt | wc -l | xargs echo "make_samples.sh: samples written:"
