#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need. Quick when all are present.
#
# The add-on's shipped programs are 32-bit, and the tests run them under 32-bit Wine where the kernel runs
# 32-bit code: that needs Debian's i386 architecture, which this script adds to dpkg once (apt then also
# fetches the i386 package lists, and wine32 brings its 32-bit libraries along).
set -euo pipefail
packages=(
  build-essential cmake ninja-build pkg-config ccache
  qt6-base-dev libicu-dev zlib1g-dev libgtest-dev googletest
  libdeflate-dev libmsi-dev libglib2.0-dev
  p7zip-full
  cabextract gcab libarchive-tools
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686 libimage-exiftool-perl
  gcc-mingw-w64-i686 gcc-mingw-w64-x86-64 lzma-dev liblzma-dev
  wine wine64 wine32:i386 wixl nsis
  gcc-multilib qemu-user
  clang libclang-rt-14-dev
  xvfb xauth x11-apps imagemagick xdotool libxcb1-dev
  file dpkg-dev desktop-file-utils appstream lintian
  qt6-translations-l10n
)
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  echo "Adding the i386 architecture to dpkg (for wine32)"
  $SUDO dpkg --add-architecture i386
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
install() { DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$@" >/dev/null; }
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  # A mirror caught mid-sync fails one list or another; a later try usually finds it whole, and the lists
  # that did arrive are enough for everything but the i386 packages.
  for try in 1 2 3; do
    $SUDO apt-get update -qq && break
    echo "apt-get update failed (try $try of 3)"; sleep $((try * 10))
  done
  if ! install "${missing[@]}"; then
    # Without a whole i386 list the 32-bit Wine cannot be installed (its libraries must match the amd64
    # versions); the tests then skip the 32-bit runs with that reason, as on a kernel that refuses them.
    rest=()
    for p in "${missing[@]}"; do [[ $p == *:i386 ]] || rest+=("$p"); done
    echo "The i386 packages cannot be installed now; installing the rest: ${rest[*]}"
    install "${rest[@]}"
  fi
fi
