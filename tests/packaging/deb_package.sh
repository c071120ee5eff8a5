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
depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# The libraries come from dpkg-shlibdeps, the font from the package's own list.
names=$(tr ',' '\n' <<<"$depends" | awk '{print $1}')
for dep in libqt6widgets6 libqt6gui6 libqt6core6 libstdc++6 libc6 fonts-ipafont-gothic; do
    grep -qxF "$dep" <<<"$names" || fail "Depends lacks $dep"
done

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for file in ./usr/bin/kotoha ./usr/bin/kotoha-conv ./usr/share/applications/kotoha.desktop \
    ./usr/share/metainfo/io.github.kotoha.Kotoha.metainfo.xml \
    ./usr/share/icons/hicolor/48x48/apps/kotoha.png ./usr/share/icons/hicolor/scalable/apps/kotoha.svg \
    ./usr/share/man/man1/kotoha.1 ./usr/share/man/man1/kotoha-conv.1; do
    grep -qxF "$file" <<<"$contents" || fail "package lacks $file"
done
# Installed binaries are executable by everyone.
dpkg-deb -c "$deb" | awk '$6 == "./usr/bin/kotoha" || $6 == "./usr/bin/kotoha-conv" {print $1}' |
    grep -qv '^-rwxr-xr-x$' && fail "a program is not mode 755"
exit $status
