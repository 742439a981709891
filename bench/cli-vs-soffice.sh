#!/usr/bin/env bash
# A whole run of quillsheet-cli, in both modes, with one office and with two, against the office's
# own converter with a set-up profile on the same 60 workbooks, in one invocation: medians of
# $ROUNDS runs (default 3) of wall and CPU seconds, their ratios to `soffice --convert-to pdf`,
# and each run's limit, its CPU time over the cores (what no run on them can beat). Then the
# latency of one workbook and, when bench/watch-latency.sh is there, a watched folder's.
# Run after a build: bench/cli-vs-soffice.sh [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
source bench/lib.sh
cores=$(nproc)

cli_run() {
    rm -rf "$work/out" && mkdir -p "$work/out"
    "$build/cli/quillsheet-cli" "$@" "$work/books" "$work/out"
}
# Prints a run's line and its limit line: wall seconds and ratio, CPU seconds; the limit and how
# far the run is from it.
report_run() {
    local wall cpu
    read -r wall cpu <<< "$2"
    awk -v label="$1" -v t="$wall" -v cpu="$cpu" -v ref="$reference" -v cores="$cores" 'BEGIN {
        printf "%-40s %6.2f s  ratio %.2f  CPU %6.2f s\n", label, t, t / ref, cpu
        printf "  %-38s %6.2f s  ratio %.2f  (run/limit %.2f)\n", "limit: CPU / " cores " cores",
            cpu / cores, cpu / cores / ref, t / (cpu / cores) }'
}
cli_run --merge-sheets > /dev/null # sets up the profile kept in the cache, as a user's would be
read -r reference reference_cpu <<< "$(measure soffice_run)"
report_run "soffice --convert-to pdf" "$reference $reference_cpu"
for jobs in 1 2; do
    report_run "quillsheet-cli --merge-sheets --jobs $jobs" "$(measure cli_run --merge-sheets --jobs "$jobs")"
    report_run "quillsheet-cli (per sheet) --jobs $jobs" "$(measure cli_run --jobs "$jobs")"
done

# One workbook, end to end: what a user waits for a single file.
mkdir -p "$work/one"
cp "$(ls "$work"/books/* | head -n 1)" "$work/one/"
one_soffice() {
    rm -rf "$work/out" && mkdir -p "$work/out"
    /usr/lib/libreoffice/program/soffice -env:UserInstallation="file://$work/profile" \
        --headless --norestore --convert-to pdf --outdir "$work/out" "$work"/one/*
}
one_cli() {
    rm -rf "$work/out" && mkdir -p "$work/out"
    "$build/cli/quillsheet-cli" "$work/one" "$work/out"
}
reference=$(measure one_soffice | cut -d' ' -f1)
printf '%-40s %6.2f s\n' "1 workbook, soffice --convert-to pdf" "$reference"
report "1 workbook, quillsheet-cli" "$(measure one_cli | cut -d' ' -f1)"
if [[ -x bench/watch-latency.sh ]]; then
    bench/watch-latency.sh "$build"
fi
