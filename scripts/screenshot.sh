#!/usr/bin/env bash
# Remakes docs/screenshot.png: the window that the run command opens on the sample folder, under Xvfb,
# with the sample's start file chosen so that its version data fills the fields.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
xvfb-run -a -s "-screen 0 1024x768x24" bash -ec '
  scripts/run.sh >/dev/null &
  window=$(xdotool search --sync --onlyvisible --name "^Packwright$" | head -n 1)
  sleep 2
  xdotool mousemove --window "$window" 294 146 click 1   # the start-file list
  sleep 1
  xdotool key Return
  sleep 1
  import -window "$window" docs/screenshot.png
  kill %1   # the window itself: run.sh ends by starting it in its place
  wait || true
'
echo "docs/screenshot.png remade"
