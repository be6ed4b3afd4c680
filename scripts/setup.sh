#!/usr/bin/env bash
# Installs the Debian packages the caller needs to build, run and test, and only those missing.
set -euo pipefail

packages=(
    cmake ninja-build g++
    qt6-base-dev qt6-multimedia-dev
    fonts-liberation
    flite sox
    pocketsphinx pocketsphinx-en-us
)

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
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
