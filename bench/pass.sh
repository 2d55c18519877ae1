#!/usr/bin/env bash
# One unattended pass of dokivo-cli against the durable reference (two rsync runs), the raw copy
# (cp + rm, nothing flushed) and the limit for making the same copies durable (cp + rm + one
# sync), on the same generated scans, for several document counts.
#
#   bench/pass.sh                          1,000 / 10,000 / 50,000 documents, 3 / 3 / 1 runs
#   COUNTS="1000" REPS=1 bench/pass.sh     a quick look
#
# Environment:
#   BUILD   build folder holding bin/dokivo-cli and bin/dokivo-bench-samples (default build-bench in
#           the clone; configure it as docs/performance.md says)
#   WORK    scratch folder on the file system under test (default: a new temporary folder beside the
#           clone, removed at the end); a given one is emptied and keeps its sample sets
#   COUNTS  document counts (default "1000 10000 50000")
#   REPS    runs per count below 50,000 (default 3);  REPS_LARGE  runs per count from 50,000 (default 1)
#   SEED    seed of the sample scans (default 7)
# Prints one line per run and a table of medians (markdown) at the end.
set -euo pipefail

repo="$(cd "$(dirname "$0")/.." && pwd)"
BUILD=${BUILD:-$repo/build-bench}
if [[ -z ${WORK:-} ]]; then
    # Beside the clone, so on the disk under test rather than a memory file system.
    WORK=$(mktemp -d "$(dirname "$repo")/dokivo-bench.XXXXXX")
    trap 'rm -rf "$WORK"' EXIT
fi
COUNTS=${COUNTS:-"1000 10000 50000"}
REPS=${REPS:-3}
REPS_LARGE=${REPS_LARGE:-1}
SEED=${SEED:-7}

for tool in rsync /usr/bin/time "$BUILD/bin/dokivo-cli" "$BUILD/bin/dokivo-bench-samples"; do
    command -v "$tool" >/dev/null || { echo "pass.sh: $tool is missing" >&2; exit 2; }
done

# A private copy of the program: the pass record files live in the program's own folder.
APP=$WORK/app
RUN=$WORK/run
mkdir -p "$APP" "$WORK/conf"
cp "$BUILD/bin/dokivo-cli" "$APP/"

cat >"$WORK/conf/Dokivo.ini" <<INI
[TUTTI]
dir_log_generale=$RUN/track
dir_in_0=$RUN/in
dir_out_0=$RUN/out
dir_log_0=$RUN/log
dir_backup_0=$RUN/backup
dir_nazionale_0=CREA:AA/MM/GG;
INI

now_ns() { date +%s%N; }
seconds() { awk -v ns="$1" 'BEGIN { printf "%.3f", ns / 1e9 }'; }
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
range() { printf '%s\n' "$@" | sort -g | awk 'NR == 1 { lo = $1 } { hi = $1 } END { print lo "-" hi }'; }
# The input folder keeps its lock file (Dokivo.lock) between passes: it is no document.
count_files() { find "$1" -type f ! -name Dokivo.lock | wc -l; }

samples() {  # the master set of N scans, made once per count and seed
    local n=$1 master=$WORK/master-$1-$SEED
    if [[ ! -f $master.complete ]]; then
        rm -rf "$master" && mkdir -p "$master"
        "$BUILD/bin/dokivo-bench-samples" "$master" "$n" "$SEED"
        touch "$master.complete"
    fi
    echo "$master"
}

fresh_tree() {  # the input folder full, every other folder empty, nothing dirty in the page cache
    rm -rf "$RUN" "$APP"/dokivolog*.txt "$APP"/*.journal 2>/dev/null || true
    mkdir -p "$RUN"/{in,out,backup,log,track}
    cp -a "$1/." "$RUN/in/"
    sync
}

check_delivered() {  # every document in the backup and the destination, none left behind
    local n=$1 what=$2 in out backup
    in=$(count_files "$RUN/in"); out=$(count_files "$RUN/out"); backup=$(count_files "$RUN/backup")
    if [[ $in != 0 || $out != "$n" || $backup != "$n" ]]; then
        echo "pass.sh: $what left in=$in out=$out backup=$backup for $n documents" >&2
        exit 1
    fi
}

table=()
for n in $COUNTS; do
    master=$(samples "$n")
    reps=$REPS
    (( n >= 50000 )) && reps=$REPS_LARGE
    td=(); tr=(); tc=(); ts=(); rss=(); ratio=()
    for ((rep = 1; rep <= reps; ++rep)); do
        fresh_tree "$master"
        t0=$(now_ns)
        DOKIVO_INSTANCE_KEY=dokivo-bench-pass /usr/bin/time -v -o "$WORK/time.txt" \
            "$APP/dokivo-cli" "ini:$WORK/conf" run:y >/dev/null
        t1=$(now_ns)
        check_delivered "$n" dokivo
        td+=("$(seconds $((t1 - t0)))")
        rss+=("$(awk -F': ' '/Maximum resident set size/ { printf "%.1f", $2 / 1024 }' "$WORK/time.txt")")

        fresh_tree "$master"
        t0=$(now_ns)
        rsync -a --fsync "$RUN/in/" "$RUN/backup/"
        rsync -a --fsync --remove-source-files "$RUN/in/" "$RUN/out/"
        t1=$(now_ns)
        check_delivered "$n" rsync
        tr+=("$(seconds $((t1 - t0)))")

        fresh_tree "$master"
        t0=$(now_ns)
        cp -a "$RUN/in/." "$RUN/backup/"
        cp -a "$RUN/in/." "$RUN/out/"
        find "$RUN/in" -type f -delete
        t1=$(now_ns)
        check_delivered "$n" cp
        tc+=("$(seconds $((t1 - t0)))")

        fresh_tree "$master"
        t0=$(now_ns)
        cp -a "$RUN/in/." "$RUN/backup/"
        cp -a "$RUN/in/." "$RUN/out/"
        find "$RUN/in" -type f -delete
        sync
        t1=$(now_ns)
        check_delivered "$n" cp+sync
        ts+=("$(seconds $((t1 - t0)))")
        ratio+=("$(awk -v d="${td[-1]}" -v r="${tr[-1]}" 'BEGIN { printf "%.2f", d / r }')")

        echo "N=$n run $rep/$reps: dokivo ${td[-1]} s (peak ${rss[-1]} MB)  rsync ${tr[-1]} s  cp+rm ${tc[-1]} s  cp+rm+sync ${ts[-1]} s  ratio ${ratio[-1]}" >&2
    done
    md=$(median "${td[@]}"); mr=$(median "${tr[@]}"); mc=$(median "${tc[@]}"); ms=$(median "${ts[@]}")
    mm=$(median "${rss[@]}"); mq=$(median "${ratio[@]}")
    table+=("$(awk -v n="$n" -v d="$md" -v r="$mr" -v c="$mc" -v s="$ms" -v m="$mm" -v k="$reps" -v q="$mq" \
        -v dr="$(range "${td[@]}")" -v rr="$(range "${tr[@]}")" -v sr="$(range "${ts[@]}")" 'BEGIN {
        printf "| %d | %d | %.2f (%s) | %.2f (%s) | %.2f | %.2f (%s) | %.2f | %.2f | %.2f | %.0f | %.1f | %.0f |\n",
            n, k, d, dr, r, rr, c, s, sr, d / r, q, d / s, d / n * 1e6, m, 40 + 2 * n / 1024 }')")
done
rm -rf "$RUN"

echo
echo "| documents | runs | Dokivo s (range) | rsync s (range) | cp+rm s | cp+rm+sync s (range) | Dokivo/rsync of medians | median of per-run Dokivo/rsync | Dokivo/(cp+rm+sync) | Dokivo µs/file | Dokivo peak MB | limit MB |"
echo "| ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: | ---: |"
printf '%s\n' "${table[@]}"
