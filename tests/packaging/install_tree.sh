#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the build into a temporary DESTDIR with prefix /usr and checks the
# tree: programs, desktop entry, metainfo, icons, manual pages, help files.
# Usage: install_tree.sh CMAKE BUILD_DIR SOURCE_DIR GUI(0|1)
set -euo pipefail
cmake=$1 build=$2 source=$3 gui=$4
stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }

DESTDIR=$stage "$cmake" --install "$build" --prefix /usr >"$stage/install.log" ||
    { cat "$stage/install.log"; exit 1; }
root=$stage/usr

expect=(bin/kotoha-conv share/man/man1/kotoha-conv.1.gz share/doc/kotoha/copyright
    share/doc/kotoha/changelog.gz)
if [ "$gui" = 1 ]; then
    expect+=(bin/kotoha share/man/man1/kotoha.1.gz share/doc-base/kotoha share/applications/io.github.kotoha.Kotoha.desktop
        share/metainfo/io.github.kotoha.Kotoha.metainfo.xml
        share/icons/hicolor/scalable/apps/kotoha.svg share/kotoha/screenshot.png)
    for size in 16 32 48 64 128 256; do
        expect+=("share/icons/hicolor/${size}x${size}/apps/kotoha.png")
    done
    # Every file under resources/help, in the same layout.
    if [ -d "$source/resources/help" ]; then
        while IFS= read -r file; do
            expect+=("share/doc/kotoha/html/$file")
        done < <(cd "$source/resources/help" && find . -type f | sed 's:^\./::')
    fi
fi
for file in "${expect[@]}"; do
    [ -f "$root/$file" ] || fail "not installed: /usr/$file"
done
for program in "$root"/bin/*; do
    [ -x "$program" ] || fail "not executable: $program"
done
# Nothing lands outside the prefix, and nothing unexpected inside it.
outside=$(cd "$stage" && find . -mindepth 1 -maxdepth 1 ! -name usr ! -name install.log)
[ -z "$outside" ] || fail "installed outside /usr: $outside"
extra=$(cd "$root" && find . -type f | sed 's:^\./::' | sort |
    comm -23 - <(printf '%s\n' "${expect[@]}" | sort))
[ -z "$extra" ] || fail "unexpected files installed: $extra"

# The installed converter runs from its new place.
"$root/bin/kotoha-conv" --help | grep -q '^Usage: kotoha-conv' || fail "installed kotoha-conv --help"
if [ "$gui" = 1 ]; then
    "$root/bin/kotoha" --version | grep -q '^kotoha ' || fail "installed kotoha --version"
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$root/share/applications/io.github.kotoha.Kotoha.desktop" ||
            fail "installed desktop entry does not validate"
    fi
fi
exit $status
