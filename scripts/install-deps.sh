#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need. Quick when all are present.
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libicu-dev zlib1g-dev libgtest-dev googletest
  libdeflate-dev
  p7zip-full
  cabextract gcab libarchive-tools
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 libimage-exiftool-perl
  gcc-mingw-w64-i686 gcc-mingw-w64-x86-64 lzma-dev liblzma-dev
  wine wine64 wixl nsis
  clang libclang-rt-14-dev
  xvfb xauth x11-apps imagemagick xdotool libxcb1-dev
  file dpkg-dev desktop-file-utils appstream
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
