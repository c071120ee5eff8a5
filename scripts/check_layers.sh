#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Draws the imports between the layers' folders (src/<layer>) from their
# #include lines and fails when one points up a layer. The order is the
# README's table (docs/layers.md), lowest first.
set -euo pipefail
cd "$(dirname "$0")/.."
layers=(base codec layout document viewmodel shell view ui)
status=0
for ((i = 0; i < ${#layers[@]}; i++)); do
    layer=${layers[i]}
    [ -d "src/$layer" ] || { echo "error: no folder src/$layer" >&2; exit 1; }
    for ((j = 0; j < ${#layers[@]}; j++)); do
        target=${layers[j]}
        [ "$target" = "$layer" ] && continue
        count=$( (grep -hE "^#\s*include \"$target/" "src/$layer"/* 2>/dev/null || true) | wc -l)
        [ "$count" -eq 0 ] && continue
        if ((j > i)); then
            echo "error: src/$layer includes $count header(s) of the higher layer src/$target:" >&2
            grep -nE "^#\s*include \"$target/" "src/$layer"/* >&2
            status=1
        else
            echo "src/$layer -> src/$target ($count)"
        fi
    done
done
for folder in src/*/; do
    name=$(basename "$folder")
    [[ " ${layers[*]} " == *" $name "* ]] || { echo "error: $folder is no layer of the table" >&2; status=1; }
done
exit $status
