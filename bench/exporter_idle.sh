#!/bin/sh
# The exporter's idle cost: vantrel-sample --serve polling every 2 s and scraped every 15 s,
# as a Prometheus server would, for MINUTES minutes (default 2). Prints the CPU seconds per hour
# it spends (user + system, from /proc/PID/stat, start-up left out) and its resident size.
# Budget: at most 5 CPU seconds an hour and 30 MiB resident.
# It runs in the caller's home: an exporting run lists the volumes without walking the home
# folder, so how full the home is makes no difference.
#
#   bench/exporter_idle.sh [MINUTES] [PATH-TO-vantrel-sample]
set -eu

minutes=${1:-2}
sampler=${2:-build/default/vantrel-sample}
scrape_every=15
work=$(mktemp -d)
trap 'kill "$pid" 2>/dev/null || true; rm -rf "$work"' EXIT

XDG_CONFIG_HOME="$work/config" "$sampler" --serve 127.0.0.1:0 --interval 2 2>"$work/stderr" &
pid=$!
until grep -q 'serving metrics on' "$work/stderr"; do
    kill -0 "$pid" || { cat "$work/stderr" >&2; exit 1; }
    sleep 0.1
done
url=$(sed -n 's/^vantrel-sample: serving metrics on //p' "$work/stderr")

# utime + stime in clock ticks: fields 14 and 15 of /proc/PID/stat, counted after the name's
# closing parenthesis (a name may hold spaces).
cpu_ticks() { sed 's/^.*) //' "/proc/$pid/stat" | awk '{ print $12 + $13 }'; }
status_kib() { awk -v key="$1:" '$1 == key { print $2 }' "/proc/$pid/status"; }
scrape() {
    python3 -c 'import sys, urllib.request; urllib.request.urlopen(sys.argv[1], timeout=10).read()' "$url"
}

scrape  # the first rendering and the server's first answer belong to start-up
ticks_start=$(cpu_ticks)
seconds_start=$(date +%s.%N)
end=$(($(date +%s) + minutes * 60))
scrapes=0
while [ "$(date +%s)" -lt "$end" ]; do
    sleep "$scrape_every"
    scrape
    scrapes=$((scrapes + 1))
done
ticks_end=$(cpu_ticks)
seconds_end=$(date +%s.%N)

awk -v ticks="$((ticks_end - ticks_start))" -v hz="$(getconf CLK_TCK)" \
    -v start="$seconds_start" -v end="$seconds_end" -v scrapes="$scrapes" \
    -v rss="$(status_kib VmRSS)" -v hwm="$(status_kib VmHWM)" 'BEGIN {
    elapsed = end - start
    printf "elapsed %.0f s, %d scrapes, poll every 2 s\n", elapsed, scrapes
    printf "CPU %.2f s per hour (budget 5)\n", ticks / hz / elapsed * 3600
    printf "resident %.1f MiB, peak %.1f MiB (budget 30)\n", rss / 1024, hwm / 1024
}'
