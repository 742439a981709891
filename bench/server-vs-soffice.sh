#!/usr/bin/env bash
# The spreadsheet server against the office's own converter on the same 60 workbooks, in one
# invocation: medians of $ROUNDS runs (default 3) and their ratios to `soffice --convert-to pdf`.
# Run after a build: bench/server-vs-soffice.sh [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
source bench/lib.sh

server_run() {
    rm -rf "$work/out" && mkdir -p "$work/out"
    "$build/bench/serverbench" "$work/books" "$work/out" "$1"
}
server_run bind > /dev/null # sets up the profile kept in the cache, as a user's would be
reference=$(seconds soffice_run)
printf '%-30s %6.2f s\n' "soffice --convert-to pdf" "$reference"
report "server, one PDF a workbook" "$(seconds server_run workbooks)"
report "server, one PDF a sheet" "$(seconds server_run sheets)"
report "server, bind + quit only" "$(seconds server_run bind)"
