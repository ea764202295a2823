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
# win32 the i686 programs that add-ons carry through the 32-bit loader of wine32. The stand remembers its
# loader, so run needs only PW_WINE_ROOT. Two stands with roots of their own can serve one test run side by side.
#
# A win32 stand runs natively where the kernel runs 32-bit programs, which depends on how the machine was
# set up. Before Wine itself, start runs the tiny static i386 program PW_I386_PROBE names, if any;
# PW_PRETEND_NO_32BIT=1 makes it act as if that program had been refused, to try that path on any machine.
# Where it is refused, the stand's 32-bit programs run under qemu-i386 (user mode), 50 to 100 times slower:
# start writes why to $PW_WINE_ROOT/emulated, so that the tests run only a few cases there. Where that
# cannot be made either (wine32 or qemu-user missing, or Wine failing to make a prefix), start writes the
# reason to $PW_WINE_ROOT/refused, prints it and exits with 77, the code the tests take for "skipped".
#
# No binfmt entry is needed under qemu-i386: Wine starts every further process of the prefix by executing
# the file named by its loader's folder (the real path of /proc/self/exe, which qemu answers with the
# program it runs) and the last part of its argv[0]. So the stand runs a copy of the 32-bit loader, in a
# folder laid out as Wine's own, as "wine-qemu", which beside it is a shell script that the kernel runs
# natively and that hands the loader to qemu-i386 again.
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

# Why this machine's kernel does not run 32-bit programs; empty when it does.
refused_32bit() {
  local output
  # The shell reports a refused program as "SCRIPT: line N: PROGRAM: cannot execute binary file: REASON".
  if [ -n "${PW_I386_PROBE:-}" ] && ! output=$("$PW_I386_PROBE" 2>&1); then
    echo "this machine's kernel does not run 32-bit programs (${output##*: })"
  fi
}

# Lays out the loader of an emulated stand under $root/qemu and prints its path; refuses the stand when a
# part is missing. `kernel` says why the stand is emulated.
emulated_loader() {
  local wine=$1 kernel=$2 qemu
  [ -x "$wine" ] ||
    refuse "$kernel, and its emulation under qemu-i386 needs wine32: $wine is missing (scripts/install-deps.sh installs it)"
  qemu=$(command -v "${PW_QEMU_I386:-qemu-i386}") ||
    refuse "$kernel, and its emulation needs qemu-i386 (package qemu-user, which scripts/install-deps.sh installs)"
  # Debian's layout: the loader in PREFIX/lib/wine finds its libraries in ../i386-linux-gnu/wine, its data
  # in ../../share/wine and its server beside it.
  local real layout=$root/qemu folder=$root/qemu/lib/wine
  real=$(dirname "$(readlink -f "$wine")")
  mkdir -p "$folder" "$layout/lib/i386-linux-gnu" "$layout/share"
  cp "$wine" "$folder/wine"
  ln -s "$real/../i386-linux-gnu/wine" "$layout/lib/i386-linux-gnu/wine"
  ln -s "$real/../../share/wine" "$layout/share/wine"
  ln -s "$real/wineserver" "$folder/wineserver"
  printf '#!/bin/sh\nexec "%s" -L / -0 wine-qemu "%s" "$@"\n' "$qemu" "$folder/wine" >"$folder/wine-qemu"
  chmod +x "$folder/wine-qemu"
  echo "the i686 programs run under qemu-i386: $kernel" >"$root/emulated"
  echo "$folder/wine-qemu"
}

case ${1:-} in
start)
  arch=${WINEARCH:-win64}
  wine=$(loader "$arch")
  [ -d "$WINEPREFIX" ] && wineserver -k 2>/dev/null || true
  rm -rf "$root"
  mkdir -p "$HOME"
  if [ "$arch" = win32 ]; then
    kernel=$(refused_32bit)
    if [ -n "$kernel" ]; then
      wine=$(emulated_loader "$wine" "$kernel") || exit
    elif [ ! -x "$wine" ]; then
      refuse "wine32 is not installed: $wine is missing (scripts/install-deps.sh installs it)"
    fi
  fi
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
      refuse "32-bit Wine${kernel:+ under qemu-i386} cannot make a prefix: $(tail -n 3 "$log" | tr '\n' ' ')"
    fi
    cat "$log" >&2
    exit 1
  fi
  echo "$wine" >"$root/loader"
  ;;
run)
  shift
  [ -f "$root/loader" ] || { echo "no Wine prefix in $root: run '$0 start' first" >&2; exit 125; }
  exec "$(cat "$root/loader")" "$@"
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
