#!/usr/bin/env bash
# Takes docs/window-stopped.png: the real window under Xvfb after a run stopped with its stop
# button, more than five workbooks having failed, so that the summary is longer than its label
# and shows its last line, the one leading to the report. Needs what make-screenshot.sh needs;
# run after a build (BUILD names the build folder, build by default).
set -euo pipefail
cd "$(dirname "$0")/.."

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
cp "${BUILD:-build}/app/Quillsheet" "$work/"
source="$work/报表"
mkdir -p "$source" "$work/pdf"
# Empty workbooks fail at once and are listed first; the rest keep the run going until the stop.
for n in 1 2 3 4 5 6 7; do
    : > "$source/0${n}月（未完成）.xlsx"
done
for n in $(seq 10 69); do
    cp examples/budget.xls "$source/${n}号预算.xls"
done
. docs/window-under-xvfb.sh
StartWindow 78
# The convert button, then the stop button beside it.
ClickOnOutputRow 151
WaitForPdfs 3
ClickOnOutputRow "${STOP_FROM_RIGHT:-60}"
WaitForTheEnd
Shot docs/window-stopped.png
