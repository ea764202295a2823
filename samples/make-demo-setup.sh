#!/usr/bin/env bash
# Makes DemoApp/setup.exe: a 32-bit Windows program that does nothing and ends with exit code 0, so
# that running it silently during Windows setup is harmless, carrying the version information of
# demo-setup.rc. Needs the i686 MinGW binutils and the host's C preprocessor.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

printf '.text\n.globl start\nstart:\n    xor %%eax, %%eax\n    ret\n' > "$work/start.s"
i686-w64-mingw32-as "$work/start.s" -o "$work/start.o"
i686-w64-mingw32-windres --preprocessor=cpp -c 65001 demo-setup.rc -O coff -o "$work/version.o"
i686-w64-mingw32-ld --no-insert-timestamp --subsystem windows -s -e start \
    -o DemoApp/setup.exe "$work/start.o" "$work/version.o"
