#!/usr/bin/python3
"""Writes the workbooks of the font tests into the folder named. grid-<face>.xlsx: the same
grid of 24 columns 10 characters wide on A4 paper in one face, that face also the workbook's default (as
Excel writes a workbook made in it, so that its column widths are counted in that face's
digits): Calibri, Aptos and Aptos Narrow. theme.xlsx: a cell in the name Excel for Mac gives
the theme's body font. arabic.xlsx: Arabic text in Arial on a right-to-left sheet, running over
towards the page's edge."""
import os
import shutil
import sys
import tempfile
import zipfile

from openpyxl import Workbook
from openpyxl.styles import Font


def with_default_font(path, face):
    """Makes face the workbook's default font and its theme's body font: openpyxl always writes
    Calibri there."""
    folder = tempfile.mkdtemp()
    try:
        copy = os.path.join(folder, "copy.xlsx")
        with zipfile.ZipFile(path) as source, zipfile.ZipFile(copy, "w",
                                                               zipfile.ZIP_DEFLATED) as target:
            for item in source.infolist():
                data = source.read(item.filename)
                if item.filename in ("xl/styles.xml", "xl/theme/theme1.xml"):
                    data = data.replace(b'"Calibri"', b'"' + face.encode() + b'"')
                target.writestr(item, data)
        shutil.move(copy, path)
    finally:
        shutil.rmtree(folder)


def grid(path, face):
    book = Workbook()
    sheet = book.active
    sheet.title = "Grid"
    for row in range(1, 31):
        for column in range(1, 25):
            sheet.cell(row, column, "%d-%d" % (row * 1000 + 7, column)).font = Font(name=face)
    for column in range(1, 25):
        sheet.column_dimensions[sheet.cell(1, column).column_letter].width = 10
    sheet.page_setup.paperSize = sheet.PAPERSIZE_A4
    sheet.page_setup.orientation = "portrait"
    book.save(path)
    with_default_font(path, face)


def theme(path):
    book = Workbook()
    sheet = book.active
    sheet.title = "Corps"
    sheet["A1"] = "Texte dans la police du corps"
    sheet["A1"].font = Font(name="Calibri (Corps)")
    book.save(path)


def arabic(path):
    """Five columns of headings, then a narrow last column whose text runs over to the left, as
    right-to-left text does, and ends 3.7 pt inside A4's left edge in Noto Sans Arabic, 2.5 pt
    beyond it in DejaVu Sans."""
    book = Workbook()
    sheet = book.active
    sheet.title = "Arabic"
    sheet.sheet_view.rightToLeft = True
    sheet.page_setup.paperSize = sheet.PAPERSIZE_A4
    for column, width in zip("ABCDEF", (16, 16, 16, 16, 15.5, 6)):
        sheet.column_dimensions[column].width = width
        sheet[column + "1"] = "قسم" if column != "F" else "الاسم الكامل للموظف"
        sheet[column + "1"].font = Font(name="Arial")
    book.save(path)


folder = sys.argv[1]
os.makedirs(folder, exist_ok=True)
for face in ("Calibri", "Aptos", "Aptos Narrow"):
    grid(os.path.join(folder, "grid-%s.xlsx" % face), face)
theme(os.path.join(folder, "theme.xlsx"))
arabic(os.path.join(folder, "arabic.xlsx"))
