#!/usr/bin/env bash
# Makes the Debian package, installs it with apt-get, and checks the installed program as a user meets it:
# lintian finds nothing it does not accept, packwright-build makes an add-on of the sample folder that
# cabextract accepts, the window starts under Xvfb in English, and the desktop entry and AppStream
# metadata validate. Needs root (it installs the package).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=build-package
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr -DPW_TESTS=OFF \
  -DPW_BENCH=OFF >/dev/null
cmake --build "$dir" -j "$(nproc)"
rm -f "$dir"/packwright_*.deb
(cd "$dir" && cpack -G DEB >/dev/null)
deb=$(ls "$dir"/packwright_*.deb)
echo "Package: $deb"
# "Open the folder" and the web search need a program that opens them: the package recommends the
# desktop's opener.
dpkg-deb -f "$deb" Recommends | grep -qw xdg-utils
# Debian's checks: any error or warning that the package does not override (with its reason) fails.
lintian --fail-on error,warning "$deb"
SUDO=""; [ "$(id -u)" -eq 0 ] || SUDO=sudo
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --reinstall "./$deb" >/dev/null

desktop-file-validate /usr/share/applications/com.brontel.Packwright.desktop
appstreamcli validate --no-net /usr/share/metainfo/com.brontel.Packwright.metainfo.xml >/dev/null
zcat /usr/share/man/man1/packwright-build.1.gz | grep -q "^.TH PACKWRIGHT-BUILD 1"
zcat /usr/share/man/man1/packwright.1.gz | grep -q "^.TH PACKWRIGHT 1"

# A user of the installed program, with a home of their own.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME="$scratch/home" XDG_DATA_HOME="$scratch/home/.local/share"
mkdir -p "$HOME"
/usr/bin/packwright-build --folder "$PWD/samples/DemoApp" --start setup.exe --switch /S "$scratch/DemoApp.cab"
cabextract -q -d "$scratch/unpacked" "$scratch/DemoApp.cab"
test -f "$scratch/unpacked/svcpack/DemoApp.exe"

# The window: started through the launcher, which lays out this user's data folder on the first start,
# in the language of the locale.
LANG=C.UTF-8 xvfb-run -a bash -ec '
  /usr/bin/packwright &
  window=$(timeout 30 xdotool search --sync --onlyvisible --name "^Packwright$" | head -n 1)
  kill %1
  wait %1 || true
  test -n "$window"
'
test -f "$XDG_DATA_HOME/Brontel/Packwright/Silence.qmr"
# From then on the command line speaks the window's language.
/usr/bin/packwright-build --folder "$PWD/samples/DemoApp" --start setup.exe "$scratch/Again.cab" |
  grep -x "File created successfully!" >/dev/null  # reads to the end: no broken pipe for the build
echo "The installed package works: add-on made, window shown, desktop entry and metadata valid."
