#!/usr/bin/env bash
# Installs what is needed, builds Quillsheet and converts the sample workbooks in examples/ into
# build/examples-pdf/, one PDF per non-blank worksheet, printing the run's progress and summary.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/build.sh
output=build/examples-pdf
rm -rf "$output"
mkdir -p "$output"
status=0
build/cli/quillsheet-cli examples "$output" || status=$?
echo
echo "PDFs in $output:"
(cd "$output" && find . -name '*.pdf' | sort)
exit "$status"
