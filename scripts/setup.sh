#!/usr/bin/env bash
# Installs every Debian package the project needs. Quiet and quick when all is
# already there; uses sudo when not run as root.
set -euo pipefail

PACKAGES=(
    build-essential cmake ninja-build ccache pkg-config git
    clang libclang-rt-14-dev clang-format
    libgtest-dev libgmock-dev googletest libbenchmark-dev
    libhidapi-dev libcjson-dev libzip-dev libudev-dev
    qt6-base-dev libgl-dev
    fonts-noto-cjk fonts-dejavu-core
    xvfb xauth
    dpkg-dev file desktop-file-utils appstream groff-base man-db
)

missing=()
for pkg in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$pkg")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
if ! $SUDO apt-get install -y -q "${missing[@]}" >/tmp/tq-setup-apt.log 2>&1; then
    $SUDO apt-get update -q >/dev/null
    $SUDO apt-get install -y -q "${missing[@]}"
fi
