#!/usr/bin/env bash
# Installs what building, running and testing Orbimo needs on Debian 12; skips what is there.
set -euo pipefail
packages=(g++ cmake ninja-build pkg-config qt6-base-dev libgl-dev qt6-translations-l10n libgtest-dev libgmock-dev
          libbenchmark-dev xvfb xauth xdotool imagemagick x11-utils fonts-dejavu-core desktop-file-utils clang
          libclang-rt-14-dev dpkg-dev lintian appstream file man-db)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
