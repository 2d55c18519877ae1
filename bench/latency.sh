#!/usr/bin/env bash
# How soon a scanned document is filed: a scanner-like writer (each document written in five
# chunks over about half a second, then closed; documents started at random intervals of 0 to 3 s)
# feeds `dokivo-cli timer:y`, one slot with a backup folder and CREA:AA/MM/GG; for each document
# the time from its close to its appearance under its final name in the destination. Measured
# with archiviazione_immediata on (period "5 minuti", so that the timer hardly helps), and off at
# "1 minuto" in the same run. Beside them, two programs with empty input folders, one with the
# setting on and one off, show what waiting costs: their CPU time over the whole run, scaled to
# ten minutes.
#
#   bench/latency.sh                       300 documents on, 60 off (about 11 minutes)
#   COUNT_ON=50 COUNT_OFF=10 bench/latency.sh   a quick look
#
# Environment:
#   BUILD      build folder holding bin/dokivo-cli and bin/dokivo-bench-scanwriter (default
#              build-bench in the clone; configure it as docs/performance.md says)
#   WORK       scratch folder on the file system under test (default: a new temporary folder beside
#              the clone, removed at the end)
#   COUNT_ON   documents with the setting on (default 300);  COUNT_OFF  with it off (default 60)
#   SEED       seed of the writer's intervals and sizes (default 7)
# Prints a markdown table at the end.
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
BUILD=${BUILD:-$repo/build-bench}
if [[ -z ${WORK:-} ]]; then
    WORK=$(mktemp -d "$(dirname "$repo")/dokivo-latency.XXXXXX")
    trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$WORK"' EXIT
fi
COUNT_ON=${COUNT_ON:-300}
COUNT_OFF=${COUNT_OFF:-60}
SEED=${SEED:-7}

for tool in "$BUILD/bin/dokivo-cli" "$BUILD/bin/dokivo-bench-scanwriter"; do
    [[ -x $tool ]] || { echo "latency.sh: $tool is missing" >&2; exit 2; }
done
ticks_per_second=$(getconf CLK_TCK)

# A configuration NAME (its own program copy, folders and instance) with the setting and period.
setup() {
    local name=$1 immediate=$2 period=$3 dir=$WORK/$1
    mkdir -p "$dir"/{app,conf,in,out,log,backup,track}
    cp "$BUILD/bin/dokivo-cli" "$dir/app/"
    cat >"$dir/conf/Dokivo.ini" <<INI
[TUTTI]
dir_log_generale=$dir/track
dir_in_0=$dir/in
dir_out_0=$dir/out
dir_log_0=$dir/log
dir_backup_0=$dir/backup
dir_nazionale_0=CREA:AA/MM/GG;
timer_delta=$period
archiviazione_immediata=$immediate
INI
}

# Starts NAME's schedule in the background; its process id goes to $WORK/NAME/pid.
start() {
    local dir=$WORK/$1
    DOKIVO_INSTANCE_KEY=dokivo-latency-$1-$$ "$dir/app/dokivo-cli" "ini:$dir/conf" timer:y >"$dir/lines.txt" &
    echo $! >"$dir/pid"
}

stop() {
    local pid
    pid=$(cat "$WORK/$1/pid")
    kill -TERM "$pid"
    wait "$pid" || true
}

cpu_ticks() {  # utime + stime of NAME's process
    awk '{ print $14 + $15 }' "/proc/$(cat "$WORK/$1/pid")/stat"
}

measure() {  # NAME COUNT: the writer against NAME's running schedule
    local dir=$WORK/$1
    start "$1"
    sleep 2
    "$BUILD/bin/dokivo-bench-scanwriter" "$dir/in" "$dir/out" "$2" "$SEED" 3000 200 >"$dir/latency.txt" \
        2>"$dir/summary.txt" || echo "latency.sh: $1: $(cat "$dir/summary.txt")" >&2
    stop "$1"
    cat "$dir/summary.txt" >&2
    passes=$(grep -c " Eseguo controllo directory " "$dir/lines.txt" || true)
    sort -g "$dir/latency.txt" | awk -v name="$1" -v n="$2" -v passes="$passes" '
        { v[NR] = $1 }
        END {
            p50 = v[int(0.50 * NR) + 1]; p95 = v[int(0.95 * NR) + 1]
            if (int(0.95 * NR) + 1 > NR) p95 = v[NR]
            printf "| %s | %d | %d | %.2f | %.2f | %.2f | %d |\n", name, n, NR, p50 / 1000, p95 / 1000, v[NR] / 1000, passes
        }'
}

setup on y "5 minuti"
setup off n "1 minuto"
setup idle-on y "1 minuto"
setup idle-off n "1 minuto"
start idle-on
start idle-off
sleep 2
idle_start=$(date +%s)
idle_on0=$(cpu_ticks idle-on)
idle_off0=$(cpu_ticks idle-off)

rows=()
rows+=("$(measure on "$COUNT_ON")")
rows+=("$(measure off "$COUNT_OFF")")

idle_seconds=$(($(date +%s) - idle_start))
idle_on=$(($(cpu_ticks idle-on) - idle_on0))
idle_off=$(($(cpu_ticks idle-off) - idle_off0))
stop idle-on
stop idle-off

echo
echo "| setting | documents | filed | p50 s | p95 s | max s | passes |"
echo "| --- | ---: | ---: | ---: | ---: | ---: | ---: |"
printf '%s\n' "${rows[@]}"
echo
echo "Idle over ${idle_seconds} s (empty input folder, \"1 minuto\"): on $idle_on ticks, off $idle_off ticks" \
    "(1 tick = $((1000 / ticks_per_second)) ms); per 10 minutes:" \
    "on $(awk -v t="$idle_on" -v s="$idle_seconds" -v h="$ticks_per_second" 'BEGIN { printf "%.3f", t / h * 600 / s }') s," \
    "off $(awk -v t="$idle_off" -v s="$idle_seconds" -v h="$ticks_per_second" 'BEGIN { printf "%.3f", t / h * 600 / s }') s of CPU"
