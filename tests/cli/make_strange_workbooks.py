#!/usr/bin/python3
"""Writes workbooks that the office reads otherwise than Excel into the folder named (FOLDER):
names/names.xlsx, whose sheets between One and Two have names that Excel forbids and the office
does not take (each holds ONE sheet's marker, "MARK-" and its number), and names/first.xlsx,
whose first sheet has one; text/ holds b.xlsx, whose cell reads data.csv beside it through
INDIRECT, between a.xlsx and c.xlsx."""
import os
import sys

from openpyxl import Workbook

import handmade_package

FORBIDDEN = ["a/b", "a\\b", "a*b", "a?b", "a:b", "a[b", "a]b", "'q", "q'"]


def package(path, names):
    """An .xlsx written by hand, as openpyxl refuses these names: sheet k's A1 is MARK-k."""
    handmade_package.write(path, [
        (name, f'<sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>MARK-{k}</t></is></c></row></sheetData>')
        for k, name in enumerate(names, 1)])


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
