#!/usr/bin/env bash
# The Wine stand on which the tests and benchmarks run the add-on's Windows programs: a private prefix and
# home under $PW_WINE_ROOT, made fresh once per run and served by a persistent wineserver, so that a program
# starts in a tenth of a second instead of a second.
#
#   wine-stand.sh start                 make a fresh prefix and keep its wineserver running
#   wine-stand.sh run PROGRAM ARGS...   run a Windows program there (its exit code comes back in 8 bits)
#   wine-stand.sh stop                  stop every process of the prefix and delete the stand
#
# WINEARCH chooses the prefix made by start: win64 (the default) runs the x86-64 programs through wine64,
# win32 the i686 programs that add-ons carry through the 32-bit loader of wine32. The stand remembers it,
# so run needs only PW_WINE_ROOT. Two stands with roots of their own can serve one test run side by side.
#
# A win32 stand needs a kernel that runs 32-bit programs, which depends on how the machine was set up. Where
# it does not (or wine32 cannot make a prefix), start writes the reason to $PW_WINE_ROOT/refused, prints
# it and exits with 77, the code the tests take for "skipped". Before Wine itself, start runs the tiny
# static i386 program PW_I386_PROBE names, if any, so that the reason names the kernel when it is to blame;
# PW_PRETEND_NO_32BIT=1 makes it act as if that program had been refused, to try the skipped path here.
#
# Wine's own messages are off unless WINEDEBUG asks for some.
#
# No display is used. The null graphics driver lets programs create windows that nobody sees; a window that
# waits for an answer then waits for ever, as it would during an unattended Windows setup, and the test
# that started it times out instead of passing by luck.
set -euo pipefail

root=${PW_WINE_ROOT:?set PW_WINE_ROOT to the folder that holds the stand}
export WINEPREFIX=$root/prefix HOME=$root/home WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset DISPLAY WAYLAND_DISPLAY
readonly kSkipped=77

# The loader for the stand's architecture. Plain "wine" would start the 32-bit loader first wherever wine32
# is installed, so each architecture names its own.
loader() {
  case $1 in
  win64) echo "${PW_WINE64:-/usr/lib/wine/wine64}" ;;
  win32) echo "${PW_WINE32:-/usr/lib/wine/wine}" ;;
  *) echo "unknown WINEARCH '$1': win64 or win32" >&2; return 2 ;;
  esac
}

# Refuses the stand for a reason that lies with the machine, not with the programs under test.
refuse() {
  echo "$1" >"$root/refused"
  echo "skipped: $1" >&2
  exit $kSkipped
}

# Why this machine cannot serve a win32 stand, if it cannot.
check_32bit() {
  local wine=$1 output
  # The shell reports a refused program as "SCRIPT: line N: PROGRAM: cannot execute binary file: REASON".
  if [ -n "${PW_I386_PROBE:-}" ] && ! output=$("$PW_I386_PROBE" 2>&1); then
    refuse "this machine's kernel does not run 32-bit programs (${output##*: })"
  fi
  if [ ! -x "$wine" ]; then
    refuse "wine32 is not installed: $wine is missing (scripts/install-deps.sh installs it)"
  fi
}

case ${1:-} in
start)
  arch=${WINEARCH:-win64}
  wine=$(loader "$arch")
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
  rm -rf "$root"
  mkdir -p "$HOME"
  if [ "$arch" = win32 ]; then check_32bit "$wine"; fi
  export WINEARCH=$arch
  # The prefix's services and the server outlive this script: they get a log file, not its output, which
  # whoever started the script would otherwise wait on until the stand stops.
  log=$root/start.log
  # wineboot restarts the prefix's services while it updates it; a server made persistent before it has
  # finished once left two service managers behind and a ten-second stall in every program that needed them.
  if ! { "$wine" wineboot --init &&
         "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f &&
         wineserver -w &&
         wineserver -p; } >"$log" 2>&1 </dev/null; then
    if [ "$arch" = win32 ]; then
      wineserver -k 2>/dev/null || true
      refuse "32-bit Wine cannot make a prefix: $(tail -n 3 "$log" | tr '\n' ' ')"
    fi
    cat "$log" >&2
    exit 1
  fi
  echo "$arch" >"$root/arch"
  ;;
run)
  shift
  [ -f "$root/arch" ] || { echo "no Wine prefix in $root: run '$0 start' first" >&2; exit 125; }
  wine=$(loader "$(cat "$root/arch")")
  exec "$wine" "$@"
  ;;
stop)
  if [ -d "$WINEPREFIX" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
  rm -rf "$root"
  ;;
*)
  echo "usage: [WINEARCH=win32] $0 start | run PROGRAM ARGS... | stop" >&2
  exit 2
  ;;
esac
