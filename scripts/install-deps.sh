#!/usr/bin/env bash
# Installs the Debian packages Tandrel needs to build, test and run. Both README commands
# call it; it asks apt only for what is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools qt6-base-private-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-dejavu-core fonts-dejavu-extra
    python3 iproute2
    dbus-daemon dbus-bin python3-dbus python3-gi
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    echo "Installing: ${missing[*]}"
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
