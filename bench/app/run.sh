#!/usr/bin/env bash
# Builds and runs the program's benchmarks on a virtual display of their own,
# with a drive C of their own: start-up beside a minimal Qt Widgets window,
# the skin's share of it, and a parse beside curl and grep.
#   bench/app/run.sh [build directory, default build]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=${1:-build}
cmake -S . -B "$build" -G Ninja > /dev/null
cmake --build "$build" --target startup_bench parse_bench
data_home=$(mktemp -d)
trap 'rm -rf "$data_home"' EXIT
export XDG_DATA_HOME=$data_home QT_QPA_PLATFORM=xcb
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/app/startup_bench"
xvfb-run -a -s "-screen 0 1280x1024x24" "$build/bench/app/parse_bench"
