#!/usr/bin/python3
"""Writes workbooks that the office reads otherwise than Excel into the folder named (FOLDER):
names/names.xlsx, whose sheets between One and Two have names that Excel forbids and the office
does not take (each holds ONE sheet's marker, "MARK-" and its number), and names/first.xlsx,
whose first sheet has one; text/ holds b.xlsx, whose cell reads data.csv beside it through
INDIRECT, between a.xlsx and c.xlsx."""
import os
import sys
import zipfile
from xml.sax.saxutils import quoteattr

from openpyxl import Workbook

RELATIONSHIPS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PACKAGE = "http://schemas.openxmlformats.org/package/2006/relationships"
MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
SHEET_TYPE = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"
BOOK_TYPE = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"
FORBIDDEN = ["a/b", "a\\b", "a*b", "a?b", "a:b", "a[b", "a]b", "'q", "q'"]


def package(path, names):
    """An .xlsx written by hand, as openpyxl refuses these names: sheet k's A1 is MARK-k."""
    count = range(1, len(names) + 1)
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        archive.writestr("[Content_Types].xml", (
            '<?xml version="1.0" encoding="UTF-8"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
            '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
            '<Default Extension="xml" ContentType="application/xml"/>'
            f'<Override PartName="/xl/workbook.xml" ContentType="{BOOK_TYPE}"/>' +
            "".join(f'<Override PartName="/xl/worksheets/sheet{k}.xml" ContentType="{SHEET_TYPE}"/>'
                    for k in count) + "</Types>"))
        archive.writestr("_rels/.rels", (
            f'<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="{PACKAGE}">'
            f'<Relationship Id="rId1" Type="{RELATIONSHIPS}/officeDocument" Target="xl/workbook.xml"/>'
            "</Relationships>"))
        archive.writestr("xl/workbook.xml", (
            f'<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="{MAIN}" xmlns:r="{RELATIONSHIPS}"><sheets>' +
            "".join(f'<sheet name={quoteattr(name)} sheetId="{k}" r:id="rId{k}"/>'
                    for k, name in zip(count, names)) + "</sheets></workbook>"))
        archive.writestr("xl/_rels/workbook.xml.rels", (
            f'<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="{PACKAGE}">' +
            "".join(f'<Relationship Id="rId{k}" Type="{RELATIONSHIPS}/worksheet" Target="worksheets/sheet{k}.xml"/>'
                    for k in count) + "</Relationships>"))
        for k in count:
            archive.writestr(f"xl/worksheets/sheet{k}.xml", (
                f'<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="{MAIN}"><sheetData>'
                f'<row r="1"><c r="A1" t="inlineStr"><is><t>MARK-{k}</t></is></c></row>'
                "</sheetData></worksheet>"))


def single_sheet(path, cells):
    book = Workbook()
    for cell, value in cells.items():
        book.active[cell] = value
    book.save(path)


def main(folder):
    names = os.path.join(folder, "names")
    text = os.path.join(folder, "text")
    os.makedirs(names, exist_ok=True)
    os.makedirs(text, exist_ok=True)
    package(os.path.join(names, "names.xlsx"), ["One"] + FORBIDDEN + ["Two"])
    package(os.path.join(names, "first.xlsx"), ["x:y", "Mid"])
    single_sheet(os.path.join(text, "a.xlsx"), {"A1": "A-MARKER"})
    single_sheet(os.path.join(text, "b.xlsx"),
                 {"A1": "=INDIRECT(\"'[data.csv]data'!A1\")", "A2": "B-MARKER"})
    single_sheet(os.path.join(text, "c.xlsx"), {"A1": "C-MARKER"})
    with open(os.path.join(text, "data.csv"), "w", encoding="utf-8") as csv:
        csv.write("CSV-CELL,2\n3,4\n")


if __name__ == "__main__":
    main(sys.argv[1])
