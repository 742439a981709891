#!/usr/bin/python3
"""Writes workbooks as a stranger might send them into the folder named (FOLDER SECRET PORT):
links/ holds links.xlsx, whose cells read SECRET (a workbook outside the tree), a URL on
127.0.0.1:PORT and a sibling workbook through INDIRECT, and picture.xlsx, whose picture is
linked to that port; bomb/ a workbook of a few MB whose shared strings take gigabytes, and a
small one after it; slow/ a workbook of 12 sheets, each with one value in its last column."""
import os
import sys
import zipfile

from openpyxl import Workbook

TYPES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">
<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>
<Default Extension="xml" ContentType="application/xml"/>
<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>
<Override PartName="/xl/worksheets/sheet1.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>
<Override PartName="/xl/sharedStrings.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/>
<Override PartName="/xl/drawings/drawing1.xml" ContentType="application/vnd.openxmlformats-officedocument.drawing+xml"/>
</Types>"""
RELATIONSHIPS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PACKAGE = "http://schemas.openxmlformats.org/package/2006/relationships"
ROOT = f"""<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="{PACKAGE}"><Relationship Id="rId1" Type="{RELATIONSHIPS}/officeDocument" Target="xl/workbook.xml"/></Relationships>"""
BOOK = f"""<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="{RELATIONSHIPS}"><sheets><sheet name="Sheet1" sheetId="1" r:id="rId1"/></sheets></workbook>"""
BOOK_PARTS = f"""<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="{PACKAGE}"><Relationship Id="rId1" Type="{RELATIONSHIPS}/worksheet" Target="worksheets/sheet1.xml"/><Relationship Id="rId2" Type="{RELATIONSHIPS}/sharedStrings" Target="sharedStrings.xml"/></Relationships>"""


def sheet(drawing):
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
            f'xmlns:r="{RELATIONSHIPS}"><sheetData><row r="1"><c r="A1" t="s"><v>0</v></c></row>'
            '</sheetData>' + ('<drawing r:id="rId1"/>' if drawing else '') + '</worksheet>')


def package(path, strings, picture_url=None):
    """An .xlsx of one sheet whose A1 is the first shared string; strings writes the strings'
    elements into the open part; with picture_url, a picture linked to it."""
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
        archive.writestr("[Content_Types].xml", TYPES)
        archive.writestr("_rels/.rels", ROOT)
        archive.writestr("xl/workbook.xml", BOOK)
        archive.writestr("xl/_rels/workbook.xml.rels", BOOK_PARTS)
        archive.writestr("xl/worksheets/sheet1.xml", sheet(picture_url is not None))
        if picture_url:
            archive.writestr("xl/worksheets/_rels/sheet1.xml.rels", f"""<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="{PACKAGE}"><Relationship Id="rId1" Type="{RELATIONSHIPS}/drawing" Target="../drawings/drawing1.xml"/></Relationships>""")
            archive.writestr("xl/drawings/drawing1.xml", f"""<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<xdr:wsDr xmlns:xdr="http://schemas.openxmlformats.org/drawingml/2006/spreadsheetDrawing" xmlns:a="http://schemas.openxmlformats.org/drawingml/2006/main" xmlns:r="{RELATIONSHIPS}">
<xdr:twoCellAnchor><xdr:from><xdr:col>1</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>1</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:from>
<xdr:to><xdr:col>4</xdr:col><xdr:colOff>0</xdr:colOff><xdr:row>8</xdr:row><xdr:rowOff>0</xdr:rowOff></xdr:to>
<xdr:pic><xdr:nvPicPr><xdr:cNvPr id="2" name="Picture 1"/><xdr:cNvPicPr/></xdr:nvPicPr>
<xdr:blipFill><a:blip r:link="rId1"/><a:stretch><a:fillRect/></a:stretch></xdr:blipFill>
<xdr:spPr><a:prstGeom prst="rect"><a:avLst/></a:prstGeom></xdr:spPr></xdr:pic><xdr:clientData/></xdr:twoCellAnchor></xdr:wsDr>""")
            archive.writestr("xl/drawings/_rels/drawing1.xml.rels", f"""<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<Relationships xmlns="{PACKAGE}"><Relationship Id="rId1" Type="{RELATIONSHIPS}/image" Target="{picture_url}" TargetMode="External"/></Relationships>""")
        with archive.open("xl/sharedStrings.xml", "w", force_zip64=True) as part:
            part.write(b'<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                       b'<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">')
            strings(part)
            part.write(b"</sst>")


def one_string(text):
    return lambda part: part.write(b"<si><t>" + text.encode() + b"</t></si>")


def many_strings(part):
    # Distinct, so that the office cannot share them: 1 GB of text, 1.5 MB compressed.
    tail = b"A" * 10000 + b"</t></si>"
    for number in range(100000):
        part.write(b"<si><t>%d" % number + tail)


def single_sheet(path, cells):
    book = Workbook()
    for cell, value in cells.items():
        book.active[cell] = value
    book.save(path)


def main(folder, secret, port):
    for sub in ("links", "bomb", "slow"):
        os.makedirs(os.path.join(folder, sub), exist_ok=True)
    single_sheet(secret, {"A1": "SECRET-OUTSIDE"})
    links = os.path.join(folder, "links")
    single_sheet(os.path.join(links, "payroll.xlsx"), {"B1": "SIBLING-INSIDE"})
    url = f"http://127.0.0.1:{port}"
    single_sheet(os.path.join(links, "links.xlsx"), {
        "A1": f"=INDIRECT(\"'file://{os.path.dirname(secret)}/[{os.path.basename(secret)}]Sheet'!A1\")",
        "A2": f"=INDIRECT(\"'file://{secret}'#$Sheet.A1\")",
        "A3": f"=INDIRECT(\"'{url}/[served.xlsx]Sheet'!A1\")",
        "A4": "=INDIRECT(\"'[payroll.xlsx]Sheet'!B1\")",
        "A5": "LINKS-MARKER",
    })
    package(os.path.join(links, "picture.xlsx"), one_string("PICTURE-MARKER"),
            picture_url=f"{url}/picture.png")
    package(os.path.join(folder, "bomb", "bomb.xlsx"), many_strings)
    single_sheet(os.path.join(folder, "bomb", "next.xlsx"), {"A1": "NEXT-MARKER"})
    slow = Workbook()
    slow.remove(slow.active)
    for number in range(12):
        slow.create_sheet(f"S{number}")["XFD50000"] = number
    slow.save(os.path.join(folder, "slow", "far.xlsx"))


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2], int(sys.argv[3]))
