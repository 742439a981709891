#pragma once

// What the calls of the automation table do in Calc: Excel's answers from the office's
// objects. Each throws what the office throws, and a refusal as a ReportedFailure.

#include "convert/reportedfailure.h"

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/table/XCell.hpp>

#include <QString>
#include <QVariant>

#include <vector>

// The top-left cell (1-based) and the size of a worksheet's used range.
struct UsedRangeInfo
{
    int row = 1;
    int column = 1;
    int rows = 1;
    int columns = 1;
};

// Excel's UsedRange: formatting-only cells count, an empty sheet's is A1:A1.
UsedRangeInfo UsedRangeOf(const css::uno::Reference<css::sheet::XSpreadsheet>& sheet);

// Excel's Value: invalid when empty, a double for a number, else the text; a formula gives its
// result.
QVariant ValueOf(const css::uno::Reference<css::table::XCell>& cell);

// Excel's Shapes Count of sheet number (1-based): the drawing objects of its draw page.
int ShapeCountOf(const css::uno::Reference<css::sheet::XSpreadsheetDocument>& workbook, int sheet);

QString NameOf(const css::uno::Reference<css::sheet::XSpreadsheet>& sheet);

// Excel's Visible: -1 visible, 0 hidden (the office knows no "very hidden").
int VisibilityOf(const css::uno::Reference<css::sheet::XSpreadsheet>& sheet);

// Excel's ExportAsFixedFormat as PDF into the file at url: the worksheet number sheet (1-based)
// alone when worksheet is given, else the whole workbook. A hidden worksheet or one that prints
// nothing is refused, as Excel refuses them. configured: the office's PDF settings, which filter
// data would otherwise make it forget.
void StorePdf(const css::uno::Reference<css::sheet::XSpreadsheetDocument>& workbook,
              const css::uno::Reference<css::sheet::XSpreadsheet>& worksheet, int sheet,
              bool archival, const std::vector<css::beans::PropertyValue>& configured,
              const rtl::OUString& url);
