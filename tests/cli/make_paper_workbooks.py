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

import handmade_package

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
    margins = '<pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" footer="0.3"/>'
    # Relationship ids in another order than the sheets', as Excel leaves them after a move.
    handmade_package.write(
        os.path.join(folder, "paper.xlsx"),
        [(name, "<sheetData>" + cells() + "</sheetData>" + margins + setup)
         for name, setup, _ in SHEETS],
        lambda k: f"rId{10 - k}")
    xls(os.path.join(folder, "paper.xlsx"), os.path.join(folder, "xls"))


if __name__ == "__main__":
    main(sys.argv[1])
