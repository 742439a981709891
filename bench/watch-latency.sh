#!/usr/bin/env bash
# How soon a watched folder answers: `quillsheet-cli --watch` on an empty folder, then $ROUNDS
# times (default 5) a workbook copied straight in with cp, and one moved in complete with mv;
# prints the median seconds from the end of the copy or the move to its PDF. Needs a build and
# the office it drives. Run after a build: bench/watch-latency.sh [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rounds=${ROUNDS:-5}
book=examples/budget.xls
work=$(mktemp -d)
mkdir -p "$work/in" "$work/out" "$work/staging"
# In the texts as written, whose summary line tells when the first run is done.
env -u LC_ALL -u LC_MESSAGES -u LANGUAGE LANG=C.UTF-8 \
    "$build/cli/quillsheet-cli" --watch "$work/in" "$work/out" > "$work/log" 2>&1 &
watcher=$!
trap 'kill "$watcher" 2> /dev/null || true; wait "$watcher" 2> /dev/null || true; rm -rf "$work"' EXIT

# Waits up to 60 s for a line of the watch's output, or for a PDF named after a workbook.
wait_for() {
    local test=$1 what=$2
    for ((i = 0; i < 6000; i++)); do
        if $test "$what"; then
            return 0
        fi
        kill -0 "$watcher" 2> /dev/null || break
        sleep 0.01
    done
    echo "watch-latency: no $what after 60 s; the watch said:" >&2
    cat "$work/log" >&2
    exit 1
}
said() { grep -q "$1" "$work/log"; }
has_pdf() { compgen -G "$work/out/$1[(.]*pdf" > /dev/null; }

# Seconds from the end of the arrival ($1 name; the rest brings it into the folder) to its PDF.
latency() {
    local name=$1 start end
    shift
    "$@"
    start=$(date +%s.%N)
    wait_for has_pdf "$name"
    end=$(date +%s.%N)
    awk -v a="$start" -v b="$end" 'BEGIN { print b - a }'
}
copy_in() { cp "$book" "$work/in/$1.xls"; }
move_in() {
    cp "$book" "$work/staging/$1.xls"
    mv "$work/staging/$1.xls" "$work/in/$1.xls"
}
median() { sort -n | sed -n "$(((rounds + 1) / 2))p"; }

wait_for said "成功将" # the first run, over the empty folder, is done
for way in copy move; do
    for ((r = 0; r < rounds; r++)); do
        latency "$way$r" "${way}_in" "$way$r"
    done > "$work/$way"
done
printf '%-40s %6.2f s\n' "watch latency, cp into the folder" "$(median < "$work/copy")"
printf '%-40s %6.2f s\n' "watch latency, mv into the folder" "$(median < "$work/move")"
