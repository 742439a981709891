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
printf 'SourcePath=%s\r\nSavePath=%s\r\nMergeSheets=n\r\nSaveToQuondamPath=n\r\n' "$source" "$work/pdf" \
    > "$work/Quillsheet.qlx"
Xvfb :78 -screen 0 1280x720x24 >/dev/null 2>&1 &
sleep 1
export DISPLAY=:78 XDG_RUNTIME_DIR="$work" XDG_DATA_HOME="$work/data"
"$work/Quillsheet" >/dev/null 2>&1 &
sleep 3
window=$(xdotool search --sync --onlyvisible --name 'excel')
eval "$(xdotool getwindowgeometry --shell "$window")"
# The window as it is then: the run's end may have changed its size.
shot() {
    eval "$(xdotool getwindowgeometry --shell "$window")"
    xwd -root -silent | convert xwd:- -crop "${WIDTH}x${HEIGHT}+$X+$Y" "$1"
}
# The convert button, then the stop button beside it at the output row's end.
xdotool mousemove --window "$window" $((WIDTH - 151)) 138 click 1
for _ in $(seq 100); do
    [ "$(find "$work/pdf" -name '*.pdf' | wc -l)" -ge 3 ] && break
    sleep 0.1
done
xdotool mousemove --window "$window" $((WIDTH - ${STOP_FROM_RIGHT:-60})) 138 click 1
for _ in $(seq 60); do
    [ -f "$work/data/Quillsheet/转换报告.txt" ] && break
    sleep 1
done
sleep 1
shot docs/window-stopped.png
