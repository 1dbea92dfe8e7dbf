# SPDX-License-Identifier: GPL-2.0-or-later
# Sourced by scripts/run, scripts/test and scripts/fuzz: installs the Debian
# packages the build needs (only those missing), then configures and builds
# into build/. A script may set first QUILLET_BUILD (another folder),
# QUILLET_EXTRA_PACKAGES, QUILLET_CMAKE_ARGS and QUILLET_BUILD_ARGS (such as
# --target names).
set -euo pipefail

QUILLET_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
QUILLET_BUILD=${QUILLET_BUILD:-$QUILLET_ROOT/build}

QUILLET_PACKAGES=(
    g++ cmake ninja-build pkg-config clang-format
    qt6-base-dev qt6-base-dev-tools qt6-tools-dev qt6-tools-dev-tools libgl-dev
    qt6-webengine-dev qt6-webengine-dev-tools qt6-declarative-dev
    libqscintilla2-qt6-dev libzip-dev libglib2.0-dev qt6-image-formats-plugins libqt6svg6 adwaita-icon-theme
    libbenchmark-dev xvfb xauth desktop-file-utils appstream shared-mime-info
    fonts-liberation2 fonts-dejavu-core
    # The host asks the desktop portal for its key, or grabs it from the X
    # server (libxcb1-dev); the test answers as a portal on a bus of its own
    # (dbus-daemon) and presses keys as a user would (xdotool). It runs
    # under Wayland too (qt6-wayland), tested under a compositor (weston)
    # whose screen is looked at (imagemagick). Its layers are read off its
    # windows (xprop) under openbox.
    libxcb1-dev dbus-daemon xdotool qt6-wayland weston imagemagick openbox x11-utils
    # The package: help2man writes its manual pages, dpkg-shlibdeps (dpkg-dev)
    # and file find its dependencies, lintian judges it in a test.
    help2man dpkg-dev file lintian
    "${QUILLET_EXTRA_PACKAGES[@]}"
)

quillet_install_packages() {
    local missing=()
    for package in "${QUILLET_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
            || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

quillet_build() {
    cmake -S "$QUILLET_ROOT" -B "$QUILLET_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${QUILLET_CMAKE_ARGS[@]}"
    cmake --build "$QUILLET_BUILD" --parallel 2 "${QUILLET_BUILD_ARGS[@]}"
}

quillet_install_packages
quillet_build
