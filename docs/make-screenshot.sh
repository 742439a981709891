#!/usr/bin/env bash
# Takes docs/window.png, the real window under Xvfb during a run over sample workbooks in a long
# folder (its progress and stop button showing), and docs/window-done.png once the run has ended,
# one workbook having failed; with the settings beside a copy of the built program. Needs xvfb,
# x11-apps, xdotool, imagemagick and fonts-noto-cjk; run after a build.
set -euo pipefail
cd "$(dirname "$0")/.."

work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null || true; rm -rf "$work"' EXIT
cp build/app/Quillsheet "$work/"
source="$work/共享盘/财务部/2024年度/各分公司月度报表汇总/华东区/上海/第四季度/最终版/各部门提交的原始文件（请勿修改）"
mkdir -p "$source" "$work/pdf"
cp examples/budget.xls examples/inventory.xlsx examples/销售报表.xlsx "$source/"
# Enough workbooks for the run to be seen on its way.
for month in 01 02 03 04 05 06 07 08 09 10 11; do
    cp examples/budget.xls "$source/${month}月预算.xls"
done
: > "$source/十二月预算（未完成）.xlsx"
. docs/window-under-xvfb.sh
StartWindow 77
ClickOnOutputRow 151
WaitForPdfs 4
Shot docs/window.png
WaitForTheEnd
Shot docs/window-done.png
