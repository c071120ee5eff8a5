#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Checks the desktop entry, the AppStream metainfo, the icons and the manual
# pages with the tools a distribution checks them with.
# Usage: validate.sh PACKAGING_DIR CONV_MAN_PAGE METAINFO VERSION (the man page
# and the metainfo as the build wrote them, the project's version)
set -euo pipefail
dir=$1
conv_page=$2
metainfo=$3
version=$4
for tool in desktop-file-validate appstream-util groff; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
done
status=0
fail() { echo "FAIL: $*"; status=1; }

# The metainfo passes the strict validators (without the network: the
# screenshot's address is not fetched).
appstream-util validate --nonet "$metainfo" || fail "appstream-util validate $metainfo"
appstream-util validate-strict --nonet "$metainfo" || fail "appstream-util validate-strict $metainfo"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --pedantic --no-net "$metainfo" || fail "appstreamcli validate $metainfo"
fi

# The metainfo is named after its id, launches the desktop entry named after
# it too, and its newest release is this version.
id=$(sed -n 's:.*<id>\(.*\)</id>.*:\1:p' "$metainfo")
[ "$(basename "$metainfo")" = "$id.metainfo.xml" ] || fail "metainfo file name does not match id $id"
desktop=$dir/$id.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate $desktop"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
    fail "metainfo does not launch $id.desktop"
newest=$(sed -n 's:.*<release version="\([^"]*\)".*:\1:p' "$metainfo" | head -n 1)
[ "$newest" = "$version" ] || fail "newest release in the metainfo is '$newest', the project is $version"
for field in '<url type="homepage">' '<url type="bugtracker">' '<project_license>MIT</project_license>' \
    '<update_contact>' '<screenshot type="default">'; do
    grep -qF "$field" "$metainfo" || fail "metainfo lacks $field"
done

# The entry starts the installed program on one file, names the installed
# icon, and has Japanese texts beside the English ones.
for line in 'Exec=kotoha %U' 'StartupWMClass=Kotoha' 'Icon=kotoha' 'MimeType=text/plain;' 'Terminal=false'; do
    grep -qxF "$line" "$desktop" || fail "$desktop lacks '$line'"
done
for key in Name GenericName Comment; do
    grep -q "^$key=" "$desktop" || fail "$desktop lacks $key"
    grep -q "^$key\[ja\]=" "$desktop" || fail "$desktop lacks ${key}[ja]"
done

# Each PNG is the size its hicolor folder will claim (IHDR width and height).
for size in 16 32 48 64 128 256; do
    png=$dir/icons/kotoha-$size.png
    [ -f "$png" ] || { fail "missing $png"; continue; }
    [ "$(head -c 8 "$png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] || fail "$png is not a PNG"
    dims=$(od -An -tu1 -j16 -N8 "$png" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}')
    [ "$dims" = "$size $size" ] || fail "$png is $dims, not ${size}x${size}"
done
grep -q '<svg' "$dir/icons/kotoha.svg" || fail "kotoha.svg is not an SVG"

# The manual pages format without a single groff warning.
for page in "$dir"/man/kotoha.1 "$conv_page"; do
    out=$(groff -man -Tascii -ww -z "$page" 2>&1) || fail "groff failed on $page"
    [ -z "$out" ] || fail "groff warns on $page: $out"
done
exit $status
