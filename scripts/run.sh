#!/usr/bin/env bash
# Builds and installs Packwright into ./stage, then opens its window on the bundled sample program
# folder. Without a display it says how to get one and makes an add-on from the sample on the command
# line instead, listing the cabinet with an independent reader.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build-run -G Ninja -DPW_TESTS=OFF -DPW_BENCH=OFF >/dev/null
cmake --build build-run -j "$(nproc)"
cmake --install build-run --prefix "$PWD/stage" >/dev/null

sample="$PWD/samples/DemoApp"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec stage/bin/packwright /SHL "$sample"
fi

echo "No display here: to see the window, run it under Xvfb: xvfb-run -a scripts/run.sh"
mkdir -p out
stage/bin/packwright-build --folder "$sample" --start setup.exe --switch /S out/DemoApp.cab
echo
echo "Contents of out/DemoApp.cab, as cabextract reads it:"
cabextract -l out/DemoApp.cab
