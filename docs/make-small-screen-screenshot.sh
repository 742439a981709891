#!/usr/bin/env bash
# Takes docs/window-2x-1366x768-openbox-en.png: the whole screen of a 1366 × 768 display at twice
# the scale (QT_SCALE_FACTOR=2) under openbox, with the window in English, its frame and title bar
# on the screen. Needs xvfb, openbox, x11-apps, x11-utils and imagemagick; run after a build (the build
# folder as the first argument, build by default).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
cp "$build/app/Quillsheet" "$build/app/quillsheet_en.qm" "$work/"
mkdir -p "$work/Budgets 2024/Regional offices" "$work/PDF"
printf 'SourcePath=%s/\r\nSavePath=%s/\r\nMergeSheets=n\r\nSaveToQuondamPath=n\r\n' \
    "$work/Budgets 2024/Regional offices" "$work/PDF" > "$work/Quillsheet.qlx"
Xvfb :78 -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
sleep 1
export DISPLAY=:78 XDG_RUNTIME_DIR="$work" XDG_DATA_HOME="$work/data" NO_AT_BRIDGE=1
openbox --sm-disable >/dev/null 2>&1 &
# The window is placed by the manager only once the manager runs.
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do sleep 0.1; done
QT_SCALE_FACTOR=2 LANGUAGE=en_US LC_ALL=en_US.UTF-8 "$work/Quillsheet" >/dev/null 2>&1 &
sleep 4
xwd -root -silent | convert xwd:- docs/window-2x-1366x768-openbox-en.png
