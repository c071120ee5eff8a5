# SPDX-License-Identifier: MIT
# Installs the Debian packages the build needs; sourced by run.sh and test.sh.
# Only packages that are missing are installed, so a prepared machine
# downloads nothing.

KOTOHA_PACKAGES=(
    cmake ninja-build g++ pkg-config
    libgtest-dev libgmock-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev libqt6svg6
    fonts-ipafont-gothic
    qt6-translations-l10n
    desktop-file-utils appstream-util appstream dpkg-dev lintian debhelper
)

kotoha_install_missing() {
    local missing=()
    local pkg
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    export DEBIAN_FRONTEND=noninteractive
    "${sudo[@]}" apt-get update -qq || true
    "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

kotoha_install_deps() {
    kotoha_install_missing "${KOTOHA_PACKAGES[@]}"
}
