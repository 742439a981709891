#!/usr/bin/env bash
# Takes docs/window.png: the real window under Xvfb, with sample settings beside a copy of the
# built program. Needs xvfb, x11-apps, imagemagick and fonts-noto-cjk; run after a build.
set -euo pipefail
cd "$(dirname "$0")/.."

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
cp build/app/Quillsheet "$work/"
printf 'SourcePath=/home/user/报表/2024/\r\nSavePath=/home/user/pdf/\r\nMergeSheets=n\r\n' \
    > "$work/Quillsheet.qlx"
Xvfb :77 -screen 0 1280x720x24 >/dev/null 2>&1 &
sleep 1
DISPLAY=:77 ASAN_OPTIONS=detect_leaks=0 "$work/Quillsheet" >/dev/null 2>&1 &
sleep 3
# The window lies centred, a third of the free height down: (1280-940)/2, (720-420)/3.
DISPLAY=:77 xwd -root -silent | convert xwd:- -crop 940x420+170+100 docs/window.png
