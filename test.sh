#!/usr/bin/env bash
# Builds Varnoke and runs every test. ./test.sh --sanitize builds with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs the tests that
# need no display.
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure_packages.sh
# The programs of a fresh Debian and of the packages installed above, not
# whatever this machine's own search path puts before them.
export PATH=/usr/sbin:/usr/bin:/sbin:/bin
jobs=$(nproc)
if [[ "${1:-}" == "--sanitize" ]]; then
  cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNOKE_SANITIZE=ON \
    -DVARNOKE_GUI=OFF -DVARNOKE_BENCH=OFF
  cmake --build build-sanitize -j "$jobs"
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --test-dir build-sanitize -L core --output-on-failure -j "$jobs"
  exit
fi
# Every program the build and the tests start is logged for the package
# check (scripts/check_packages.py build --exec-log build/exec.log).
mkdir -p build
g++ -O2 -shared -fPIC -o build/exec_log.so scripts/exec_log.cpp -ldl
export VARNOKE_EXEC_LOG=$PWD/build/exec.log
: > "$VARNOKE_EXEC_LOG"
export LD_PRELOAD=$PWD/build/exec_log.so
cmake -S . -B build -G Ninja -DVARNOKE_GUI=ON -DVARNOKE_SANITIZE=OFF
cmake --build build -j "$jobs"
# The window tests need a display: one virtual screen for the whole run.
xvfb-run -a -s "-screen 0 1280x1024x24" ctest --test-dir build --output-on-failure -j "$jobs"
