#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Every source file of the repository names its licence near its top, and
# the licence itself is at the root.
# Usage: licence.sh SOURCE_DIR
set -euo pipefail
source=$1
cd "$source"
[ -f LICENSE ] || { echo "FAIL: no LICENSE at the root"; exit 1; }
grep -q '^MIT License' LICENSE || { echo "FAIL: LICENSE is not the MIT licence"; exit 1; }
# Outside a git checkout (a source tarball) there is no list of the files.
files=$(git ls-files 2>/dev/null) || { echo "SKIP: not a git checkout"; exit 77; }
status=0
while IFS= read -r file; do
    case "$file" in
        *.cpp | *.h | *.inc | *.sh | *.cmake | CMakeLists.txt | */CMakeLists.txt | *.ui | *.qrc | \
            *.html | *.svg | *.xml | *.xml.in | *.desktop | *.1 | *.1.in | run.sh | test.sh | .ci/run) ;;
        *) continue ;;
    esac
    # The AppStream metadata is under CC0, as its metadata_license says.
    want='SPDX-License-Identifier: MIT'
    case "$file" in *.metainfo.xml*) want='SPDX-License-Identifier: CC0-1.0' ;; esac
    if ! head -c 400 "$file" | grep -qF "$want"; then
        echo "FAIL: $file has no \"$want\" line at its top"
        status=1
    fi
done <<<"$files"
exit $status
