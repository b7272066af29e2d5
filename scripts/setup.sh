#!/usr/bin/env bash
# Installs every Debian package that building, testing and running Stowbook
# needs. Safe to run again: when everything is there it changes nothing.
set -euo pipefail

packages=(
    build-essential cmake pkg-config
    qt6-base-dev qt6-base-dev-tools qt6-qpa-plugins libgl1-mesa-dev
    libsqlite3-dev sqlite3
    libcsv-dev libzip-dev libssl-dev libheif-dev libexif-dev qt6-pdf-dev zip unzip time
    poppler-utils
    googletest libgtest-dev
    clang-14 libclang-rt-14-dev llvm-14 clang-format-14
    fonts-dejavu-core
    xvfb xauth
    at-spi2-core python3-pyatspi dbus
    bc
    libimage-exiftool-perl
    dpkg-dev file lintian desktop-file-utils appstream devscripts x11-utils xdotool
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
echo "Installing: ${missing[*]}"
"${sudo_cmd[@]}" apt-get update
DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y --no-install-recommends "${missing[@]}"
