#!/usr/bin/env bash
# A long watch: quillsheet-cli --watch over 10 workbooks, each rewritten CHANGES / 10 times (2,000
# changes by default), one round of all ten at a time. Prints the client's own resident memory
# (not its offices') after the first round and then every 200 changes, and its last to first
# ratio: a watch that keeps what it obtained for each workbook grows with every change.
# Run after a build: bench/watch-memory.sh [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
changes=${CHANGES:-2000}
work=$(mktemp -d)
cli=
trap '[ -n "$cli" ] && kill "$cli" 2> /dev/null; wait; rm -rf "$work"' EXIT

bench/make-workbooks.sh "$work/books"
mkdir -p "$work/in" "$work/out"
books=("$work"/books/*.xlsx)
books=("${books[@]:0:10}")
cp "${books[@]}" "$work/in/"

"$build/cli/quillsheet-cli" --watch "$work/in" "$work/out" > "$work/log" &
cli=$!
begun() { grep -c "^$work/in/" "$work/log" || true; }
rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$cli/status"; }
# Waits until the watch has begun n workbooks and finished the batch (its summary printed).
await() {
    while [ "$(begun)" -lt "$1" ] || [ "$(grep -c '^成功将' "$work/log" || true)" -lt "$2" ]; do
        kill -0 "$cli" || { echo "the watch ended early" >&2; exit 1; }
        sleep 0.1
    done
}
await 10 1
summaries=1
first=
for ((round = 1; round <= changes / 10; round++)); do
    for book in "${books[@]}"; do
        cp "$book" "$work/in/"
    done
    # The ten may come as one batch or several: wait for all ten, then for a quiet moment.
    await $((10 + round * 10)) $((summaries + 1))
    sleep 0.5
    summaries=$(grep -c '^成功将' "$work/log" || true)
    if ((round == 1)); then
        first=$(rss)
        echo "after 10 changes: $first KiB"
    elif ((round * 10 % 200 == 0)); then
        echo "after $((round * 10)) changes: $(rss) KiB"
    fi
done
last=$(rss)
kill -TERM "$cli"
wait "$cli" || true
cli=
awk -v a="$first" -v b="$last" 'BEGIN { printf "client memory, last / first: %.2f\n", b / a }'
echo "workbooks converted: $(begun), failures: $(grep -c '^失败' "$work/log" || true)"
