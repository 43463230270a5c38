#!/usr/bin/env bash
# Installs every Debian package that building, testing and benchmarking need.
# Idempotent: when everything is present it only checks and returns.
set -euo pipefail

packages=(
    cmake ninja-build g++ pkg-config
    qt6-base-dev libqt6sql6-sqlite libsqlite3-dev fonts-dejavu-core
    qt6-l10n-tools
    libgtest-dev libgmock-dev libbenchmark-dev libcadical-dev
    clang-14 libclang-rt-14-dev clang-format
    poppler-utils python3 hyperfine help2man
    xvfb xauth xdotool
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
    SUDO="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
