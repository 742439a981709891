#!/usr/bin/python3
"""Writes the workbooks of the fidelity tests into the folder named, as Excel would write them
(drawings outside the used range, comments hidden): cases.xlsx holds one sheet of each kind that
prints nothing, or only drawings, between sheets that print text; calibri.xlsx a sheet in
Excel's default font; cjk.xlsx text in Windows' Chinese faces and a date in Excel's built-in
format 14."""
import datetime
import io
import os
import sys

from openpyxl import Workbook
from openpyxl.chart import BarChart, Reference
from openpyxl.comments import Comment
from openpyxl.drawing.image import Image
from openpyxl.styles import Font, PatternFill
from PIL import Image as Picture


def photo():
    """A JPEG with detail enough that its compression shows in the PDF's image size."""
    picture = Picture.new("RGB", (300, 200))
    pixels = picture.load()
    for x in range(300):
        for y in range(200):
            pixels[x, y] = ((x * 7 + y) % 256, (y * 5) % 256, (x * y) % 256)
    data = io.BytesIO()
    picture.save(data, "JPEG", quality=95)
    data.seek(0)
    return Image(data)


def cases(path):
    book = Workbook()
    data = book.active
    data.title = "Data"
    for row in range(1, 6):
        data.cell(row, 1, "DATAMARK%d" % row)
        data.cell(row, 2, row * 10)
    sheet = book.create_sheet("HiddenCols")
    sheet["B2"] = "HIDDENCOLTEXT"
    sheet["C3"] = 42
    for column in "BC":
        sheet.column_dimensions[column].hidden = True
    sheet = book.create_sheet("HiddenRows")
    sheet["A1"] = "HIDDENROWTEXT"
    sheet["B2"] = 7
    for row in (1, 2):
        sheet.row_dimensions[row].hidden = True
    sheet = book.create_sheet("EmptyPrintArea")
    sheet["E10"] = "OUTSIDEPRINTAREA"
    sheet.print_area = "A1:B2"
    book.create_sheet("CommentsOnly")["C3"].comment = Comment("COMMENTTEXT", "author")
    sheet = book.create_sheet("FillOnly")
    for row in range(2, 6):
        for column in range(2, 5):
            sheet.cell(row, column).fill = PatternFill("solid", fgColor="FFFF00")
    book.create_sheet("PictureOnly").add_image(photo(), "B2")
    sheet = book.create_sheet("CommentsAndPicture")
    sheet["A1"] = "WITHNOTE"
    sheet["A1"].comment = Comment("NOTETEXT", "author")
    sheet.add_image(photo(), "C3")
    chart = BarChart()
    chart.title = "CHARTTITLE"
    chart.add_data(Reference(data, min_col=2, min_row=1, max_row=5))
    book.create_chartsheet("ChartSheet").add_chart(chart)
    book.create_sheet("Last")["A1"] = "LASTSHEETTEXT"
    book.save(path)


def calibri(path):
    book = Workbook()
    sheet = book.active
    sheet.title = "Calibri"
    for row in range(1, 60):
        for column in range(1, 9):
            sheet.cell(row, column, "Calibri text %d-%d" % (row, column))
    book.save(path)


def cjk(path):
    book = Workbook()
    for title, face in (("宋体", "宋体"), ("雅黑", "微软雅黑")):
        sheet = book.create_sheet(title)
        sheet["A1"] = "直骨化 汉字样本"
        sheet["A1"].font = Font(name=face)
        sheet["A2"] = datetime.date(2024, 1, 5)
        sheet["A2"].number_format = "mm-dd-yy"  # Excel's built-in format 14
        sheet["A2"].font = Font(name=face)
        sheet.column_dimensions["A"].width = 30
    book.remove(book.active)
    book.save(path)


folder = sys.argv[1]
os.makedirs(folder, exist_ok=True)
cases(os.path.join(folder, "cases.xlsx"))
calibri(os.path.join(folder, "calibri.xlsx"))
cjk(os.path.join(folder, "cjk.xlsx"))
