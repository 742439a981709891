#!/usr/bin/env bash
# A whole run of quillsheet-cli, in both modes, with one office and with two, against the office's
# own converter on the same 60 workbooks, in one invocation: medians of $ROUNDS runs (default 3)
# and their ratios to `soffice --convert-to pdf`. Run after a build: bench/cli-vs-soffice.sh [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
source bench/lib.sh

cli_run() {
    rm -rf "$work/out" && mkdir -p "$work/out"
    "$build/cli/quillsheet-cli" "$@" "$work/books" "$work/out"
}
reference=$(seconds soffice_run)
printf '%-40s %6.2f s\n' "soffice --convert-to pdf" "$reference"
for jobs in 1 2; do
    report "quillsheet-cli --merge-sheets --jobs $jobs" "$(seconds cli_run --merge-sheets --jobs "$jobs")"
    report "quillsheet-cli (per sheet) --jobs $jobs" "$(seconds cli_run --jobs "$jobs")"
done
