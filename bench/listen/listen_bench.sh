#!/usr/bin/env bash
# Times the listen button of the real main window to the sound playing, on
# loopback under Xvfb: the first opening of a run (which loads the web
# engine) and later openings, and the program's memory before the first
# opening, while it plays and after it closed.
#
#   bench/listen/listen_bench.sh build-listen [runs]
#
# Each run is a fresh program process with one first opening and five later
# ones; the medians over all runs are reported, with the slowest timing.
# "before" is after the parse, "playing" while the first opening plays,
# "after" once it closed.
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR [runs]}
runs=${2:-5}
bench="$build/bench/listen/listen_bench"
[[ -x $bench ]] || { echo "build the target listen_bench in $build first" >&2; exit 2; }

output=$(mktemp)
trap 'rm -f "$output"' EXIT
for ((i = 0; i < runs; i++)); do
    xvfb-run -a -s "-screen 0 1280x1024x24" "$bench" 5 2> /dev/null >> "$output"
done

# The values of one key, sorted.
values() { awk -v key="$1" '$1 == key { print $2 }' "$output" | sort -n; }
median() { values "$1" | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
timing() { echo "median $(median "$1") ms, slowest $(values "$1" | tail -1) ms of $(values "$1" | wc -l)"; }

echo "listen button to playing, first opening:  $(timing first_ms)   (target < 2000 ms)"
echo "listen button to playing, later openings: $(timing later_ms)   (target < 1000 ms)"
for moment in before playing after; do
    printf 'memory %-8s program %6s MB resident; all its processes %6s MB proportional, %s processes\n' \
        "$moment:" "$(median memory_${moment}_rss_mb)" "$(median memory_${moment}_all_pss_mb)" \
        "$(median memory_${moment}_processes)"
done
