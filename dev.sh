#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs what is missing, builds, then starts the program ("run") or runs every test ("test").
set -euo pipefail
cd "$(dirname "$0")"

RUNTIME_PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools
    libqt6sql6-sqlite libpulse-dev libsqlite3-dev libqt6svg6-dev qt6-translations-l10n libespeak-ng-dev
    espeak-ng-data sqlite3 libgl-dev fonts-dejavu-core libfontconfig-dev libspeechd-dev libical-dev
    festival festival-dev festlex-ifd festvox-italp16k festvox-itapc16k)
TEST_PACKAGES=(xvfb xauth x11-utils xdotool wmctrl openbox trayer pulseaudio pulseaudio-utils sox
    imagemagick desktop-file-utils appstream libglib2.0-bin libbenchmark-dev faketime qt6-base-private-dev
    witalian xclip dbus-daemon speech-dispatcher speech-dispatcher-espeak-ng orca python3-icalendar python3-vobject)

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

# build DIR CMAKE-OPTIONS...: configures and builds in DIR (through ccache where it is installed).
build() {
    local dir=$1 launcher=()
    shift
    command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" "$@"
    cmake --build "$dir"
}

case "${1:-}" in
run)
    install_missing "${RUNTIME_PACKAGES[@]}"
    build build -DBUILD_TESTING=OFF
    exec build/bin/Vespelinda
    ;;
test)
    install_missing "${RUNTIME_PACKAGES[@]}" "${TEST_PACKAGES[@]}"
    build build -DBUILD_TESTING=ON
    ctest --test-dir build --output-on-failure --timeout 600 -j2
    # The unit tests once more, built with AddressSanitizer and UndefinedBehaviorSanitizer: any
    # report fails the run. (The registry's fuzz run is sanitized in the main build already.)
    build build-asan -DBUILD_TESTING=ON -DVESPELINDA_SANITIZE=ON
    ctest --test-dir build-asan --output-on-failure --timeout 600 -j2 -LE "e2e|install" -E FuzzEasyRegistry
    ;;
*)
    echo "usage: $0 run | test" >&2
    exit 2
    ;;
esac
