#!/usr/bin/env bash
# Makes the sample workbooks of this folder with the office's own converter from SpreadsheetML
# text: a few .xlsx (one with a blank sheet, one with a Chinese name), an .xls, an .xlsm and a
# sub-folder. The results are committed; run this only to change them.
set -euo pipefail
cd "$(dirname "$0")"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/xml" "$work/profile" archive

text() { printf '<Cell><Data ss:Type="String">%s</Data></Cell>' "$1"; }
number() { printf '<Cell><Data ss:Type="Number">%s</Data></Cell>' "$1"; }
book() { # file, then name:rows-function pairs
    local file=$1
    shift
    {
        printf '<?xml version="1.0" encoding="UTF-8"?>\n<?mso-application progid="Excel.Sheet"?>\n'
        printf '<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet" '
        printf 'xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet">\n'
        for sheet in "$@"; do
            printf '<Worksheet ss:Name="%s"><Table>' "${sheet%%:*}"
            "${sheet#*:}"
            printf '</Table></Worksheet>\n'
        done
        printf '</Workbook>\n'
    } > "$work/xml/$file.xml"
}
sales() {
    printf '<Row>%s%s%s</Row>' "$(text 地区)" "$(text 产品)" "$(text 销售额)"
    local regions=(华东 华南 华北 西南) products=(笔记本 钢笔 文件夹)
    for r in "${regions[@]}"; do for p in "${products[@]}"; do
        printf '<Row>%s%s%s</Row>' "$(text "$r")" "$(text "$p")" "$(number $((RANDOM % 900 + 100)))"
    done; done
}
stock() {
    printf '<Row>%s%s%s</Row>' "$(text Item)" "$(text 'In stock')" "$(text 'Reorder at')"
    for i in $(seq 1 40); do
        printf '<Row>%s%s%s</Row>' "$(text "Part $i")" "$(number $((i * 7 % 50)))" "$(number 10)"
    done
}
orders() {
    printf '<Row>%s%s%s</Row>' "$(text Order)" "$(text Customer)" "$(text Amount)"
    for i in $(seq 1001 1025); do
        printf '<Row>%s%s%s</Row>' "$(number $i)" "$(text "Customer $((i % 9))")" "$(number $((i % 97)).25)"
    done
}
budget() {
    printf '<Row>%s%s</Row>' "$(text Category)" "$(text Amount)"
    for c in Rent Salaries Travel Equipment Training; do
        printf '<Row>%s%s</Row>' "$(text "$c")" "$(number $((RANDOM % 9000 + 1000)))"
    done
}
summary() {
    printf '<Row>%s%s</Row>' "$(text Quarter)" "$(text Revenue)"
    for q in Q1 Q2 Q3 Q4; do printf '<Row>%s%s</Row>' "$(text "$q")" "$(number $((RANDOM % 50000)))"; done
}
blank() { :; }

RANDOM=2024
book 销售报表 "一月:sales" "二月:sales"
book inventory "Stock:stock" "Notes:blank" "Orders:orders"
book budget "Budget:budget"
book macros "Summary:summary"
book "2023 summary" "Year:summary"

convert() { # format, outdir, files...
    local format=$1 outdir=$2
    shift 2
    /usr/lib/libreoffice/program/soffice -env:UserInstallation="file://$work/profile" \
        --headless --norestore --convert-to "$format" --outdir "$outdir" "$@" > /dev/null
}
convert xlsx . "$work/xml/销售报表.xml" "$work/xml/inventory.xml"
convert "xls:MS Excel 97" . "$work/xml/budget.xml"
convert "xlsm:Calc MS Excel 2007 VBA XML" . "$work/xml/macros.xml"
convert xlsx archive "$work/xml/2023 summary.xml"
