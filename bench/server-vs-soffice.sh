#!/usr/bin/env bash
# The server against the office's own converter on the same 60 workbooks, in one invocation:
# prints each median of $ROUNDS runs (default 3) and the ratios to `soffice --convert-to pdf`
# (run with an already set-up profile). Run after a build: bench/server-vs-soffice.sh [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
rounds=${ROUNDS:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

bench/make-workbooks.sh "$work/books"
mkdir -p "$work/profile"
soffice_run() {
    rm -rf "$work/out" && mkdir -p "$work/out"
    /usr/lib/libreoffice/program/soffice -env:UserInstallation="file://$work/profile" \
        --headless --norestore --convert-to pdf --outdir "$work/out" "$work"/books/* > /dev/null
}
soffice_run # sets the profile up, as a user's would be
seconds() { # command...: the median wall time of $rounds runs
    for ((r = 0; r < rounds; r++)); do
        local start end
        start=$(date +%s.%N)
        "$@" > /dev/null
        end=$(date +%s.%N)
        echo "$end - $start" | bc
    done | sort -n | sed -n "$(((rounds + 1) / 2))p"
}
server_run() {
    rm -rf "$work/out" && mkdir -p "$work/out"
    "$build/bench/serverbench" "$work/books" "$work/out" "$1"
}
reference=$(seconds soffice_run)
workbooks=$(seconds server_run workbooks)
sheets=$(seconds server_run sheets)
bind=$(seconds server_run bind)
printf 'soffice --convert-to pdf    %6.2f s\n' "$reference"
printf 'server, one PDF a workbook  %6.2f s  ratio %.2f\n' "$workbooks" "$(echo "$workbooks / $reference" | bc -l)"
printf 'server, one PDF a sheet     %6.2f s  ratio %.2f\n' "$sheets" "$(echo "$sheets / $reference" | bc -l)"
printf 'server, bind + quit only    %6.2f s  ratio %.2f\n' "$bind" "$(echo "$bind / $reference" | bc -l)"
