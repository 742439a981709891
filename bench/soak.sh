#!/usr/bin/env bash
# A long run: 1,000 workbooks (copies of the 60 benchmark workbooks) through quillsheet-cli with
# two offices. Samples each office's resident memory every 2 s and prints the throughput, each
# office's memory after its first 50 workbooks and at the end, and whether the summary's counts
# match the PDFs on disk and no office is left. Run after a build: bench/soak.sh [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
count=${COUNT:-1000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bench/make-workbooks.sh "$work/books"
mkdir -p "$work/in" "$work/out"
books=("$work"/books/*)
for ((i = 0; i < count; i++)); do
    source=${books[i % ${#books[@]}]}
    cp "$source" "$work/in/$i-$(basename "$source")"
done

"$build/cli/quillsheet-cli" --merge-sheets --jobs 2 "$work/in" "$work/out" > "$work/log" &
cli=$!
start=$(date +%s.%N)
# One line per sample: seconds since the start, workbooks begun, then "pid:KiB" per office.
while kill -0 "$cli" 2> /dev/null; do
    begun=$(grep -c "^$work/in/" "$work/log" || true)
    line="$(awk -v a="$start" -v b="$(date +%s.%N)" 'BEGIN { printf "%.0f", b - a }') $begun"
    for pid in $(pgrep -P "$cli" -x soffice.bin || true); do
        line+=" $pid:$(awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status" 2> /dev/null || echo 0)"
    done
    echo "$line" >> "$work/samples"
    sleep 2
done
wait "$cli" || true
end=$(date +%s.%N)

awk -v a="$start" -v b="$end" -v n="$count" \
    'BEGIN { printf "%d workbooks in %.1f s: %.1f workbooks/s\n", n, b - a, n / (b - a) }'
# Per office (pid): memory once 100 more workbooks had begun since it was first seen (about 50 of
# its own with two offices), and at its last sample. A replaced office shows as a new pid.
awk '{
        for (i = 3; i <= NF; i++) {
            split($i, f, ":")
            if (!(f[1] in seen)) { seen[f[1]] = $2; order[++n] = f[1] }
            if (!(f[1] in at50) && $2 - seen[f[1]] >= 100) at50[f[1]] = f[2]
            last[f[1]] = f[2]
        }
    }
    END {
        for (k = 1; k <= n; k++) {
            pid = order[k]
            if (pid in at50)
                printf "office %s: %.0f MiB after its first 50 workbooks, %.0f MiB at its end\n",
                    pid, at50[pid] / 1024, last[pid] / 1024
            else
                brief++
        }
        # An office on a fresh profile restarts itself once at start: a process of its own.
        if (brief) printf "(%d processes that lived for fewer than 50 workbooks left out)\n", brief
    }' "$work/samples"
summary=$(grep '^成功将' "$work/log")
echo "$summary"
echo "PDFs on disk: $(find "$work/out" -name '*.pdf' | wc -l)"
echo "offices left: $(pgrep -f "name=quillsheet${cli}_" | wc -l || true)"
