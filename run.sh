#!/usr/bin/env bash
# Builds Varnoke and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/ensure_packages.sh
cmake -S . -B build -G Ninja -DVARNOKE_GUI=ON -DVARNOKE_SANITIZE=OFF
cmake --build build -j "$(nproc)" --target varnoke
exec build/app/varnoke "$@"
