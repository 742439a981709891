#!/usr/bin/env bash
# Makes the benchmark's 60 workbooks in folder $1: 40 .xlsx of 1 to 3 sheets, 10 .xls and
# 10 .xlsm, written as SpreadsheetML and turned into those formats by the office's converter.
set -euo pipefail
out=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$out" "$work/xml" "$work/profile"

sheet() { # name, rows
    printf '<Worksheet ss:Name="%s"><Table>' "$1"
    for ((r = 1; r <= $2; r++)); do
        printf '<Row><Cell><Data ss:Type="String">Item %d</Data></Cell>' "$r"
        printf '<Cell><Data ss:Type="Number">%d</Data></Cell>' $((r * 37 % 1000))
        printf '<Cell><Data ss:Type="Number">%d.5</Data></Cell>' $((r * 13 % 100))
        printf '<Cell><Data ss:Type="String">Region %d</Data></Cell></Row>' $((r % 7))
    done
    printf '</Table></Worksheet>'
}
for ((i = 1; i <= 60; i++)); do
    {
        printf '<?xml version="1.0" encoding="UTF-8"?>\n<?mso-application progid="Excel.Sheet"?>\n'
        printf '<Workbook xmlns="urn:schemas-microsoft-com:office:spreadsheet" '
        printf 'xmlns:ss="urn:schemas-microsoft-com:office:spreadsheet">'
        for ((s = 1; s <= i % 3 + 1; s++)); do sheet "Sheet$s" $((20 + i % 5 * 10)); done
        printf '</Workbook>\n'
    } > "$work/xml/book$i.xml"
done
convert() { # format, files...
    local format=$1
    shift
    /usr/lib/libreoffice/program/soffice -env:UserInstallation="file://$work/profile" \
        --headless --norestore --convert-to "$format" --outdir "$out" "$@" > /dev/null
}
convert xlsx "$work"/xml/book{1..40}.xml
convert "xls:MS Excel 97" "$work"/xml/book{41..50}.xml
convert "xlsm:Calc MS Excel 2007 VBA XML" "$work"/xml/book{51..60}.xml
