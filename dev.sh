#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, then starts the program ("run") or runs every test ("test").
set -euo pipefail
cd "$(dirname "$0")"

RUNTIME_PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools
    libqt6sql6-sqlite qt6-multimedia-dev libqt6svg6-dev qt6-translations-l10n libespeak-ng-dev
    espeak-ng-data sqlite3 libgl-dev fonts-dejavu-core
    festival festival-dev festlex-ifd festvox-italp16k festvox-itapc16k)
TEST_PACKAGES=(xvfb xauth x11-utils xdotool wmctrl openbox trayer pulseaudio pulseaudio-utils sox
    imagemagick desktop-file-utils libglib2.0-bin libbenchmark-dev faketime qt6-base-private-dev
    witalian)

install_missing() {
    local missing=()
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -eq 0 ] || sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {
    cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING="$1"
    cmake --build build
}

case "${1:-}" in
run)
    install_missing "${RUNTIME_PACKAGES[@]}"
    build OFF
    exec build/bin/Vespelinda
    ;;
test)
    install_missing "${RUNTIME_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build ON
    cd build
    ctest --output-on-failure --timeout 600 -j2
    ;;
*)
    echo "usage: $0 run | test" >&2
    exit 2
    ;;
esac
