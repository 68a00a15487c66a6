#!/usr/bin/env bash
# Installs every Debian package the project needs to build, test, run and
# take screenshots. Safe to run again: apt-get skips what is installed.
set -euo pipefail

packages=(
  build-essential cmake ninja-build clang-14 libclang-rt-14-dev clang-format
  pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-translations-l10n libqt6printsupport6
  qt6-qpa-plugins libgl-dev
  libsqlite3-dev sqlite3
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  fonts-ipafont-gothic fonts-ipafont-mincho fontconfig
  xvfb xauth x11-apps imagemagick xdotool
)

SUDO=
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
