#include "automation/excelmapping.h"

#include "automation/pdfexport.h"
#include "automation/unohelpers.h"

#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/drawing/XDrawPages.hpp>
#include <com/sun/star/drawing/XDrawPagesSupplier.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/sheet/FormulaResult.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/table/CellContentType.hpp>
#include <com/sun/star/text/XText.hpp>

UsedRangeInfo UsedRangeOf(const Reference<css::sheet::XSpreadsheet>& sheet)
{
    const Reference<css::sheet::XSheetCellCursor> cursor = sheet->createCursor();
    const Reference<css::sheet::XUsedAreaCursor> used(cursor, UNO_QUERY_THROW);
    used->gotoStartOfUsedArea(false);
    used->gotoEndOfUsedArea(true);
    const css::table::CellRangeAddress address =
        Reference<css::sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress();
    UsedRangeInfo range;
    range.row = address.StartRow + 1;
    range.column = address.StartColumn + 1;
    range.rows = address.EndRow - address.StartRow + 1;
    range.columns = address.EndColumn - address.StartColumn + 1;
    return range;
}

QVariant ValueOf(const Reference<css::table::XCell>& cell)
{
    const auto text = [&] {
        return FromUno(Reference<css::text::XText>(cell, UNO_QUERY_THROW)->getString());
    };
    switch (cell->getType()) {
    case css::table::CellContentType_EMPTY:
        return QVariant();
    case css::table::CellContentType_VALUE:
        return cell->getValue();
    case css::table::CellContentType_FORMULA: {
        sal_Int32 result = 0;
        Reference<css::beans::XPropertySet>(cell, UNO_QUERY_THROW)
            ->getPropertyValue("FormulaResultType2") >>= result;
        return result == css::sheet::FormulaResult::VALUE ? QVariant(cell->getValue())
                                                          : QVariant(text());
    }
    default:
        return text();
    }
}

int ShapeCountOf(const Reference<css::sheet::XSpreadsheetDocument>& workbook, int sheet)
{
    // Pictures, charts, shapes, form controls and comments' boxes alike, as Excel's Shapes.
    const Reference<css::container::XIndexAccess> drawings(
        Reference<css::drawing::XDrawPagesSupplier>(workbook, UNO_QUERY_THROW)
            ->getDrawPages()
            ->getByIndex(sheet - 1),
        UNO_QUERY_THROW);
    return drawings->getCount();
}

QString NameOf(const Reference<css::sheet::XSpreadsheet>& sheet)
{
    return FromUno(Reference<css::container::XNamed>(sheet, UNO_QUERY_THROW)->getName());
}

int VisibilityOf(const Reference<css::sheet::XSpreadsheet>& sheet)
{
    bool visible = true;
    Reference<css::beans::XPropertySet>(sheet, UNO_QUERY_THROW)->getPropertyValue("IsVisible") >>=
        visible;
    return visible ? -1 : 0;
}

void StorePdf(const Reference<css::sheet::XSpreadsheetDocument>& workbook,
              const Reference<css::sheet::XSpreadsheet>& worksheet, int sheet, bool archival,
              const std::vector<css::beans::PropertyValue>& configured, const OUString& url)
{
    std::vector<css::beans::PropertyValue> filterData;
    // Archives want PDF/A-2b; the standard fonts are then embedded too, as it demands.
    if (archival) {
        filterData.push_back(Property("SelectPdfVersion", Any(sal_Int32(2))));
        filterData.push_back(Property("EmbedStandardFonts", Any(true)));
    }
    if (worksheet.is()) {
        // Excel refuses to export a hidden sheet; the office would write a blank page.
        if (VisibilityOf(worksheet) != -1)
            throw ReportedFailure{FailureKind::SheetHidden,
                                  QStringLiteral("the worksheet is hidden")};
        // Excel refuses a sheet with nothing to print; the office would print another's.
        if (!SheetPrints(workbook, worksheet, sheet - 1))
            throw ReportedFailure{FailureKind::NothingToPrint,
                                  QStringLiteral("the worksheet has nothing to print")};
        filterData.push_back(Property("Selection", Any(worksheet)));
    }
    // Filter data would make the filter forget the office's own settings: they go with it.
    if (!filterData.empty())
        filterData = OverConfiguredPdfSettings(configured, filterData);
    Reference<css::frame::XStorable>(workbook, UNO_QUERY_THROW)
        ->storeToURL(url, Properties({Property("FilterName", Any(OUString("calc_pdf_Export"))),
                                      Property("FilterData", Any(Properties(filterData)))}));
}
