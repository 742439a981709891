"""An .xlsx package written by hand, for workbooks that openpyxl will not write: sheet names it
refuses, page setups it rewrites."""
import zipfile
from xml.sax.saxutils import quoteattr

RELATIONSHIPS = "http://schemas.openxmlformats.org/officeDocument/2006/relationships"
PACKAGE = "http://schemas.openxmlformats.org/package/2006/relationships"
MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"
SHEET_TYPE = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"
BOOK_TYPE = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"


def write(path, sheets, relationship_id=lambda k: f"rId{k}"):
    """Writes the package at path with sheets, a list of (name, sheet part's text below the
    worksheet element) in order; relationship_id gives sheet k's (from 1) relationship id."""
    count = range(1, len(sheets) + 1)
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
            "".join(f'<sheet name={quoteattr(name)} sheetId="{k}" r:id="{relationship_id(k)}"/>'
                    for k, (name, _) in zip(count, sheets)) + "</sheets></workbook>"))
        archive.writestr("xl/_rels/workbook.xml.rels", (
            f'<?xml version="1.0" encoding="UTF-8"?><Relationships xmlns="{PACKAGE}">' +
            "".join(f'<Relationship Id="{relationship_id(k)}" Type="{RELATIONSHIPS}/worksheet" Target="worksheets/sheet{k}.xml"/>'
                    for k in count) + "</Relationships>"))
        for k, (_, content) in zip(count, sheets):
            archive.writestr(f"xl/worksheets/sheet{k}.xml", (
                f'<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="{MAIN}">{content}</worksheet>'))
