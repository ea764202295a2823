#!/usr/bin/env bash
# Remakes docs/try-result.png: the window's "Testar" on an add-on whose batch file opens a window and waits
# for it (as an installer given no silent switch does), under Xvfb, photographed when the try's result
# dialog shows the window that waited. A batch file runs on the window's XP target wherever Wine runs only
# 64-bit programs. Uses the programs of ./build (cmake --build build --target packwright packwright-build
# windows_programs).
set -euo pipefail
cd "$(dirname "$0")/.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/Loud App" "$work/data/Brontel/Packwright/temp"
printf '@echo off\r\nnotepad.exe\r\n' >"$work/Loud App/install.cmd"
export XDG_DATA_HOME="$work/data" TMPDIR="$work"
build/app/packwright-build --folder "$work/Loud App" --start install.cmd "$work/LoudApp.cab" >/dev/null
xvfb-run -a -s "-screen 0 1024x768x24" bash -ec '
  build/app/packwright "/SHL" "'"$work/Loud App"'" >/dev/null 2>&1 &
  main=$(xdotool search --sync --onlyvisible --name "Packwright$" | head -n 1)
  sleep 2
  xdotool windowfocus --sync "$main" key alt+t
  chooser=$(xdotool search --sync --onlyvisible --name "complemento" | head -n 1)
  sleep 1
  xdotool windowfocus --sync "$chooser" type --delay 20 "'"$work/LoudApp.cab"'"
  xdotool key Return
  result=$(timeout 180 xdotool search --sync --onlyvisible --name "^Teste do complemento" | head -n 1)
  sleep 1
  import -window "$result" docs/try-result.png
  kill %1
  wait || true
'
echo "docs/try-result.png remade"
