#!/usr/bin/env bash
# What the offices' sandbox costs: a run of quillsheet-cli over one small workbook, whose time is
# mostly the office's start, with --no-sandbox (the reference) and in the sandbox, in one
# invocation: medians of $ROUNDS runs (default 5) and their ratio. Run after a build:
# bench/sandbox-start.sh [BUILD]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
ROUNDS=${ROUNDS:-5}
source bench/lib.sh

mkdir -p "$work/one"
cp "$(ls "$work"/books/* | head -n 1)" "$work/one/"
one_run() {
    rm -rf "$work/out" && mkdir -p "$work/out"
    "$build/cli/quillsheet-cli" --jobs 1 "$@" "$work/one" "$work/out"
}
one_run > /dev/null # sets up the profile kept in the cache, as a user's would be
reference=$(seconds one_run --no-sandbox)
printf '%-40s %6.2f s\n' "quillsheet-cli --no-sandbox, 1 workbook" "$reference"
report "quillsheet-cli in the sandbox, 1 workbook" "$(seconds one_run)"
