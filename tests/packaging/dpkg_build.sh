#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the package the way a distribution does, with dpkg-buildpackage
# from the debian/ folder, on a copy of the sources; lintian (pedantic) must
# find nothing to say. As root it then installs the package, starts the
# installed viewer for a screenshot and removes the package again.
# Usage: dpkg_build.sh SOURCE_DIR
set -euo pipefail
source=$1
for tool in dpkg-buildpackage dh git; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
# Building the sources without the git list would take build folders along.
files=$(git -C "$source" ls-files 2>/dev/null) || { echo "SKIP: not a git checkout"; exit 77; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/kotoha"
(cd "$source" && tar -cf - $files) | tar -xf - -C "$work/kotoha"
status=0
fail() { echo "FAIL: $*"; status=1; }

# On every core, as a builder's machine would (dh builds on one without it).
export DEB_BUILD_OPTIONS="parallel=$(nproc)${DEB_BUILD_OPTIONS:+ $DEB_BUILD_OPTIONS}"
(cd "$work/kotoha" && dpkg-buildpackage -us -uc) >"$work/build.log" 2>&1 ||
    { tail -n 40 "$work/build.log"; echo "FAIL: dpkg-buildpackage"; exit 1; }
debs=("$work"/kotoha_*_*.deb)
[ -f "${debs[0]}" ] || { echo "FAIL: no kotoha_*.deb"; exit 1; }
convs=("$work"/kotoha-conv_*_*.deb)
[ -f "${convs[0]}" ] || { echo "FAIL: no kotoha-conv_*.deb"; exit 1; }
# The converter's package pulls in no Qt, fonts or translations.
if dpkg-deb -f "${convs[0]}" Depends | grep -Eq 'qt|font|translations'; then
    fail "kotoha-conv depends on $(dpkg-deb -f "${convs[0]}" Depends)"
fi
dpkg-deb -c "${convs[0]}" | grep '/usr/bin/kotoha-conv$' >/dev/null || fail "kotoha-conv_*.deb lacks the program"
dpkg-deb -c "${debs[0]}" | grep '/usr/bin/kotoha-conv$' >/dev/null && fail "kotoha_*.deb holds kotoha-conv too"
grep -q 'ctest' "$work/build.log" || fail "the package build ran no tests"
if command -v lintian >/dev/null; then
    if report=$(lintian --pedantic --fail-on error,warning "$work"/kotoha_*.changes 2>&1); then
        echo "lintian: clean${report:+ ($report)}"
    else
        echo "$report"
        fail "lintian reports errors or warnings, or did not run"
    fi
fi

# Installing, running and removing change the system: only as root, and
# only when no kotoha package is installed already.
if [ "$(id -u)" -ne 0 ] || dpkg-query -W kotoha kotoha-conv >/dev/null 2>&1; then
    echo "note: not root or kotoha installed already; installation not tried"
    exit $status
fi
export DEBIAN_FRONTEND=noninteractive
if apt-get install -y -qq "${debs[0]}" "${convs[0]}" >"$work/install.log" 2>&1; then
    mkdir -p "$work/config" "$work/runtime"
    chmod 700 "$work/runtime"
    XDG_CONFIG_HOME=$work/config XDG_RUNTIME_DIR=$work/runtime QT_QPA_PLATFORM=offscreen \
        /usr/bin/kotoha --screenshot="$work/shot.png" "$source/samples/shopping.euc.crlf.txt" \
        >/dev/null 2>&1 || fail "the installed kotoha did not take its screenshot"
    [ -s "$work/shot.png" ] || fail "no screenshot from the installed kotoha"
    /usr/bin/kotoha-conv --guess "$source/samples/shopping.euc.crlf.txt" | grep -q '^encoding=EUC' ||
        fail "the installed kotoha-conv"
    apt-get remove -y -qq kotoha kotoha-conv >"$work/remove.log" 2>&1 || fail "removing the packages"
    [ ! -e /usr/bin/kotoha ] || fail "/usr/bin/kotoha is still there after the removal"
else
    cat "$work/install.log"
    fail "installing ${debs[0]}"
fi
exit $status
