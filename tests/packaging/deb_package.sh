#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package from the build tree into a temporary folder and
# checks its control fields and its contents with dpkg-deb.
# Usage: deb_package.sh CPACK BUILD_DIR
set -euo pipefail
cpack=$1 build=$2
for tool in dpkg-deb dpkg-shlibdeps; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }

(cd "$build" && "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$out") >"$out/cpack.log" 2>&1 ||
    { cat "$out/cpack.log"; exit 1; }
debs=("$out"/kotoha_*.deb)
[ -f "${debs[0]}" ] || { cat "$out/cpack.log"; echo "FAIL: no kotoha_*.deb"; exit 1; }
deb=${debs[0]}

[ "$(dpkg-deb -f "$deb" Package)" = kotoha ] || fail "Package is not kotoha"
[ "$(dpkg-deb -f "$deb" Section)" = text ] || fail "Section is not text"
[ -n "$(dpkg-deb -f "$deb" Maintainer)" ] || fail "no Maintainer"
[ -n "$(dpkg-deb -f "$deb" Homepage)" ] || fail "no Homepage"
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# The libraries come from dpkg-shlibdeps, the font from the package's own list.
names=$(tr ',' '\n' <<<"$depends" | awk '{print $1}')
for dep in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6 fonts-ipafont-gothic; do
    grep -qxF "$dep" <<<"$names" || fail "Depends lacks $dep"
done

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/kotoha ./usr/bin/kotoha-conv ./usr/share/applications/io.github.kotoha.Kotoha.desktop \
    ./usr/share/metainfo/io.github.kotoha.Kotoha.metainfo.xml \
    ./usr/share/icons/hicolor/48x48/apps/kotoha.png ./usr/share/icons/hicolor/scalable/apps/kotoha.svg \
    ./usr/share/man/man1/kotoha.1.gz ./usr/share/man/man1/kotoha-conv.1.gz \
    ./usr/share/doc/kotoha/copyright ./usr/share/doc/kotoha/changelog.gz; do
    grep -qxF "$file" <<<"$contents" || fail "package lacks $file"
done
# Installed binaries are executable by everyone.
dpkg-deb -c "$deb" | awk '$6 == "./usr/bin/kotoha" || $6 == "./usr/bin/kotoha-conv" {print $1}' |
    grep -qv '^-rwxr-xr-x$' && fail "a program is not mode 755"
# What a distribution checks: lintian, pedantic, with no error and no warning
# (its status is 0 only then; a lintian that cannot run fails too).
if command -v lintian >/dev/null; then
    if report=$(lintian --pedantic --fail-on error,warning "$deb" 2>&1); then
        echo "lintian: clean${report:+ ($report)}"
    else
        echo "$report"
        fail "lintian reports errors or warnings, or did not run"
    fi
else
    echo "note: lintian is not installed; not run"
fi
exit $status
