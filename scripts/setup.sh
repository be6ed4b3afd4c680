#!/usr/bin/env bash
# Installs the Debian packages the caller needs to build, run and test, and any more named on
# the command line (`setup.sh lintian strace`), and only those missing. The name "windows" stands
# for what building, testing and packaging the Windows program needs.
set -euo pipefail

packages=(
    cmake ninja-build g++
    qt6-base-dev
    libpulse-dev libsndfile1-dev libsamplerate0-dev
    fonts-liberation
    flite sox
    pocketsphinx pocketsphinx-en-us
    pulseaudio pulseaudio-utils
    xvfb dbus-daemon at-spi2-core python3-pyatspi
)
for name in "$@"; do
    case $name in
        windows) packages+=(
            dpkg-dev g++-mingw-w64-x86-64-posix
            wine64 xvfb xauth x11-utils xdotool imagemagick nsis python3
        ) ;;
        *) packages+=("$name") ;;
    esac
done

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=()
[ "$(id -u)" -eq 0 ] || sudo=(sudo)
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=600 "${missing[@]}"
