#!/usr/bin/env bash
# Times FetchPage against curl on 16 MB and 64 MB bodies from a loopback
# server, in one run, and reports FetchPage's peak memory. Besides curl
# discarding the body (-o /dev/null), curl storing it in a file shows what
# keeping the body costs, which FetchPage must do.
#
#   bench/web/fetch_bench.sh build-web [runs]
#
# Each size is fetched `runs` times (default 7) by each tool, alternating;
# the median wall time of each is reported with the ratio to curl, the ratio of
# the 64 MB to the 16 MB fetch (whole commands, and the time inside FetchPage
# alone, without the process start), and peak memory against the body size.
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR [runs]}
runs=${2:-7}
here=$(dirname "$0")
fetch="$build/bench/web/varnoke_fetch_page"
[[ -x $fetch ]] || { echo "build the target varnoke_fetch_page in $build first" >&2; exit 2; }

coproc server { exec python3 -u "$here/serve_body.py"; }
stored=$(mktemp)
trap 'kill $server_PID 2>/dev/null; rm -f "$stored"' EXIT
read -r port <&"${server[0]}"

# Median of the numbers on standard input.
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# Wall milliseconds of one command, its output discarded.
millis() {
    local start=$EPOCHREALTIME
    "$@" > /dev/null
    awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.1f\n", (b - a) * 1000 }'
}

declare -A fetchMs curlMs insideMs
for megabytes in 16 64; do
    size=$((megabytes * 1024 * 1024))
    address="http://127.0.0.1:$port/$size"
    "$fetch" "$address" > /dev/null  # the server makes the body once
    fetchTimes=() curlTimes=() storeTimes=()
    for ((i = 0; i < runs; i++)); do
        fetchTimes+=("$(millis "$fetch" "$address")")
        curlTimes+=("$(millis curl -s -o /dev/null "$address")")
        storeTimes+=("$(millis curl -s -o "$stored" "$address")")
    done
    fetchMs[$megabytes]=$(printf '%s\n' "${fetchTimes[@]}" | median)
    curlMs[$megabytes]=$(printf '%s\n' "${curlTimes[@]}" | median)
    storeMs=$(printf '%s\n' "${storeTimes[@]}" | median)
    inside=() peaks=()
    for ((i = 0; i < runs; i++)); do
        report=$("$fetch" "$address")
        inside+=("$(sed -E 's/.* in ([0-9.]+) ms.*/\1/' <<< "$report")")
        peaks+=("$(sed -E 's/.*peak ([0-9]+) KB/\1/' <<< "$report")")
    done
    insideMs[$megabytes]=$(printf '%s\n' "${inside[@]}" | median)
    peakKb=$(printf '%s\n' "${peaks[@]}" | sort -n | tail -1)
    awk -v mb="$megabytes" -v f="${fetchMs[$megabytes]}" -v c="${curlMs[$megabytes]}" -v s="$storeMs" \
        -v kb="$peakKb" 'BEGIN {
        printf "%2d MB: FetchPage %6.1f ms, curl %6.1f ms (ratio %.2f), curl to a file %6.1f ms (ratio %.2f); peak %d KB = %.2f x body\n",
               mb, f, c, f / c, s, f / s, kb, kb / (mb * 1024) }'
done
awk -v a="${fetchMs[16]}" -v b="${fetchMs[64]}" -v c="${curlMs[16]}" -v d="${curlMs[64]}" \
    -v e="${insideMs[16]}" -v f="${insideMs[64]}" 'BEGIN {
    printf "64 MB / 16 MB: FetchPage %.2f, curl %.2f; inside FetchPage %.1f / %.1f ms = %.2f (linear is 4)\n",
           b / a, d / c, f, e, f / e }'
