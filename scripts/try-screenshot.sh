#!/usr/bin/env bash
# Remakes docs/try-result.png: the window's "Testar" on the add-on of an NSIS installer given no silent
# switch, under Xvfb, photographed when the try's result dialog shows the window that waited. Uses the
# programs of ./build (cmake --build build --target packwright packwright-build windows_programs).
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Loud App" "$work/data/Brontel/Packwright/temp"
printf 'Unicode true\nTarget amd64-unicode\nName "Loud App"\nOutFile "setup.exe"\nInstallDir "$PROGRAMFILES\\Loud App"\n'\
'Page directory\nPage instfiles\nSection\nSectionEnd\n' >"$work/Loud App/installer.nsi"
(cd "$work/Loud App" && makensis -V1 installer.nsi && rm installer.nsi)
export XDG_DATA_HOME="$work/data" TMPDIR="$work"
build/app/packwright-build --folder "$work/Loud App" --start setup.exe --switch "" "$work/LoudApp.cab" >/dev/null
xvfb-run -a -s "-screen 0 1024x768x24" bash -ec '
  build/app/packwright "/SHL" "'"$work/Loud App"'" >/dev/null 2>&1 &
  main=$(xdotool search --sync --onlyvisible --name "Packwright$" | head -n 1)
  sleep 2
  xdotool windowactivate --sync "$main" key alt+t
  chooser=$(xdotool search --sync --onlyvisible --name "complemento" | head -n 1)
  sleep 1
  xdotool windowactivate --sync "$chooser" type --delay 20 "'"$work/LoudApp.cab"'"
  xdotool key Return
  result=$(timeout 180 xdotool search --sync --onlyvisible --name "^Teste do complemento" | head -n 1)
  sleep 1
  import -window "$result" docs/try-result.png
  kill %1
  wait || true
'
echo "docs/try-result.png remade"
