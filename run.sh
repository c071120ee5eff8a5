#!/usr/bin/env bash
# Installs what is missing, builds (release, into build/) and runs Kotoha.
# Without arguments it shows what the conversion command makes of each
# bundled sample; with arguments it passes them to kotoha-conv.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/deps.sh
kotoha_install_deps

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DKOTOHA_SANITIZE=OFF >/dev/null
cmake --build build

conv=build/bin/kotoha-conv
if [ $# -gt 0 ]; then
    exec "$conv" "$@"
fi
for sample in samples/*.txt; do
    printf '%-32s %s\n' "$(basename "$sample")" "$("$conv" --guess "$sample")"
done
first=$(ls samples/*.txt | head -n 1)
echo
echo "== $first as UTF-8 =="
"$conv" --to=utf8 --eol=ux "$first"
