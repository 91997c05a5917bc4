#!/usr/bin/env bash
# Installs the Debian packages Tandrel needs to build, test and run. Both README commands
# call it; it asks apt only for what is missing.
#
#   bash scripts/install-deps.sh             # building, testing and running
#   bash scripts/install-deps.sh packaging   # and making and checking the Debian packages
set -euo pipefail

packages=(
    cmake ninja-build g++ clang libclang-rt-14-dev
    qt6-base-dev qt6-base-dev-tools qt6-base-private-dev libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    fonts-dejavu-core fonts-dejavu-extra
    python3 iproute2 pkg-config
    dbus-daemon dbus-bin python3-dbus python3-gi
    # The Federate Protocol's messages (platform/fedpro/messages).
    protobuf-compiler libprotobuf-dev
)

case "${1:-}" in
    "") ;;
    # CPack's dependency computation needs dpkg-shlibdeps and file (CPack itself makes the
    # files root's, without fakeroot); lintian checks the package and reads the manual pages
    # with man-db.
    packaging) packages+=(dpkg-dev file lintian man-db) ;;
    *)
        echo "install-deps: unknown group \"$1\"; use no argument or \"packaging\"" >&2
        exit 2
        ;;
esac

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
