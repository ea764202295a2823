#!/usr/bin/env bash
# Builds and runs every test: the includes' layering, a normal build, then the same tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, the 7z writer and the cabinet compression threads under ThreadSanitizer,
# and last the Debian package, installed and tried as a user would.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
# No source file of the product may reach itself through its includes: the libraries build in layers.
python3 scripts/check-includes.py
jobs=$(nproc)
# The compiler cache serves the host's build folders and every clone of this machine: paths are hashed
# relative to the checkout, so a fresh clone reuses what an earlier one compiled. Only the host's
# compilers use it: the Windows programs' cross-builds are left to themselves.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

run_suite() {  # build-folder extra-cmake-args...
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
  cmake --build "$dir" -j "$jobs" ${PW_ONLY_TARGETS:+--target $PW_ONLY_TARGETS}
  ctest --test-dir "$dir" --output-on-failure -j "$jobs" ${PW_ONLY_TESTS:+-R "$PW_ONLY_TESTS"} \
    ${PW_SKIP_TESTS:+-E "$PW_SKIP_TESTS"}
}

run_suite build
# The two big add-on tests check the cabinets against the decoders, which no sanitizer changes, and take
# minutes there; the writer's code runs under the sanitizers in every other cabinet test.
PW_SKIP_TESTS='^AddOnDecoders[.](ThreeFiles|MixedCorpus)' ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  run_suite build-asan -DPW_SANITIZE=ON
# The 7z writer, whose callbacks the library calls from its own threads, and the cabinet library's
# compression threads, under ThreadSanitizer (the file over 4 GiB adds nothing there but time).
PW_ONLY_TARGETS="sevenzip_tests pack_step_tests fci_tests" PW_ONLY_TESTS='^(SevenZip|PackStep|FciThreads)' \
  PW_SKIP_TESTS=4GiB \
  TSAN_OPTIONS=halt_on_error=1 run_suite build-tsan -DPW_TSAN=ON
scripts/package-test.sh
