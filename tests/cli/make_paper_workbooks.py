#!/usr/bin/python3
"""Writes paper.xlsx into the folder named (FOLDER), and xls/paper.xls: sheets that store their
paper in each way the office reads otherwise than Excel, or as Excel does; the .xls made by the
office from the .xlsx, its SETUP records then set as the .xlsx names them. Each sheet holds 10
columns of 25 numbers: wider than an upright page, one landscape page."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import zipfile

RELATIONSHIPS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PACKAGE = "http://schemas.openxmlformats.org/package/2006/relationships"
MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
SHEET_TYPE = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"
BOOK_TYPE = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"

# Sheet name, its page setup element, and its SETUP record's paper code and flags (None: left as
# the office writes it).
SHEETS = [
    # The printer's default paper; in BIFF, no printer settings.
    ("None", "", (9, 0x0006)),
    # A printer's own.
    ("Code128", '<pageSetup paperSize="128" orientation="landscape"/>', (128, 0x0000)),
    # A Macintosh printer's own.
    ("Zero", '<pageSetup paperSize="0" orientation="portrait"/>', (0, 0x0002)),
    ("A4", '<pageSetup paperSize="9" orientation="portrait"/>', None),
    # Letter, which Excel does not write in an .xlsx.
    ("Omitted", '<pageSetup orientation="portrait"/>', None),
]
SETUP = bytes([0xA1, 0x00, 0x22, 0x00])  # the record's type and length in BIFF8


def cells():
    columns = "ABCDEFGHIJ"
    return "".join(
        f'<row r="{row}">' +
        "".join(f'<c r="{column}{row}"><v>{row * 1000 + k}</v></c>'
                for k, column in enumerate(columns)) + "</row>"
        for row in range(1, 26))


def xls(xlsx, folder):
    """The office's .xls of xlsx in folder, each sheet's SETUP record (one a sheet, in order) then
    set as SHEETS says."""
    profile = tempfile.mkdtemp()
    try:
        subprocess.run(["/usr/lib/libreoffice/program/soffice", "-env:UserInstallation=file://" +
                        profile, "--headless", "--norestore", "--convert-to", "xls", "--outdir",
                        folder, xlsx], check=True, stdout=subprocess.DEVNULL,
                       stdin=subprocess.DEVNULL, timeout=120)
    finally:
        shutil.rmtree(profile)
    path = os.path.join(folder, "paper.xls")
    with open(path, "rb") as book:
        data = bytearray(book.read())
    places = [at for at in range(len(data)) if data.startswith(SETUP, at)]
    assert len(places) == len(SHEETS), places
    for at, (_, _, setup) in zip(places, SHEETS):
        if setup:
            struct.pack_into("<H", data, at + 4, setup[0])
            struct.pack_into("<H", data, at + 14, setup[1])
    with open(path, "wb") as book:
        book.write(data)


def main(folder):
    os.makedirs(folder, exist_ok=True)
    count = range(1, len(SHEETS) + 1)
    with zipfile.ZipFile(os.path.join(folder, "paper.xlsx"), "w", zipfile.ZIP_DEFLATED) as archive:
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
        # Relationship ids in another order than the sheets', as Excel leaves them after a move.
        archive.writestr("xl/workbook.xml", (
            f'<?xml version="1.0" encoding="UTF-8"?><workbook xmlns="{MAIN}" xmlns:r="{RELATIONSHIPS}"><sheets>' +
            "".join(f'<sheet name="{name}" sheetId="{k}" r:id="rId{10 - k}"/>'
                    for k, (name, _, _) in zip(count, SHEETS)) + "</sheets></workbook>"))
        archive.writestr("xl/_rels/workbook.xml.rels", (
            f'<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="{PACKAGE}">' +
            "".join(f'<Relationship Id="rId{10 - k}" Type="{RELATIONSHIPS}/worksheet" Target="worksheets/sheet{k}.xml"/>'
                    for k in count) + "</Relationships>"))
        for k, (_, setup, _) in zip(count, SHEETS):
            archive.writestr(f"xl/worksheets/sheet{k}.xml", (
                f'<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="{MAIN}"><sheetData>' +
                cells() + "</sheetData>"
                '<pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" footer="0.3"/>' +
                setup + "</worksheet>"))
    xls(os.path.join(folder, "paper.xlsx"), os.path.join(folder, "xls"))


if __name__ == "__main__":
    main(sys.argv[1])
