#!/usr/bin/env bash
# The Wine stand on which the tests and benchmarks run the add-on's x86-64 Windows programs: a private
# prefix and home under $PW_WINE_ROOT, made fresh once per run and served by a persistent wineserver, so
# that a program starts in a tenth of a second instead of a second.
#
#   wine-stand.sh start                 make a fresh prefix and keep its wineserver running
#   wine-stand.sh run PROGRAM ARGS...   run a Windows program there (its exit code comes back in 8 bits)
#   wine-stand.sh stop                  stop every process of the prefix and delete the stand
#
# Wine's own messages are off unless WINEDEBUG asks for some.
#
# No display is used. The null graphics driver lets programs create windows that nobody sees; a window that
# waits for an answer then waits for ever, as it would during an unattended Windows setup, and the test
# that started it times out instead of passing by luck.
set -euo pipefail

root=${PW_WINE_ROOT:?set PW_WINE_ROOT to the folder that holds the stand}
wine64=${PW_WINE64:-/usr/lib/wine/wine64}
export WINEPREFIX=$root/prefix HOME=$root/home WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY

case ${1:-} in
start)
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
  rm -rf "$root"
  mkdir -p "$HOME"
  # The prefix's services and the server outlive this script: they get a log file, not its output, which
  # whoever started the script would otherwise wait on until the stand stops.
  log=$root/start.log
  # wineboot restarts the prefix's services while it updates it; a server made persistent before it has
  # finished once left two service managers behind and a ten-second stall in every program that needed them.
  if ! { "$wine64" wineboot --init &&
         "$wine64" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f &&
         wineserver -w &&
         wineserver -p; } >"$log" 2>&1 </dev/null; then
    cat "$log" >&2
    exit 1
  fi
  ;;
run)
  shift
  [ -d "$WINEPREFIX/drive_c" ] || { echo "no Wine prefix in $root: run '$0 start' first" >&2; exit 125; }
  exec "$wine64" "$@"
  ;;
stop)
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
  rm -rf "$root"
  ;;
*)
  echo "usage: $0 start | run PROGRAM ARGS... | stop" >&2
  exit 2
  ;;
esac
