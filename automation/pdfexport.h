#pragma once

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <vector>

// What the office's PDF export is given besides the target.

// The office's own PDF export settings as it keeps them in its configuration. Once an export is
// given any filter data, the office's PDF filter takes every setting missing from it from its
// built-in values, not from this configuration (comments would become note annotations, pictures
// be compressed harder), so an export with filter data starts from these.
std::vector<css::beans::PropertyValue>
ConfiguredPdfSettings(const css::uno::Reference<css::uno::XComponentContext>& office);

// The configured settings with the given ones in place of those of the same names.
std::vector<css::beans::PropertyValue>
OverConfiguredPdfSettings(std::vector<css::beans::PropertyValue> configured,
                          const std::vector<css::beans::PropertyValue>& given);

// Whether the worksheet at index (0-based) prints any page of its own. The office answers a
// sheet that prints nothing (its cells all in hidden columns, an empty print area, only a fill)
// with one page of another sheet: that page names the sheet it shows.
bool SheetPrints(const css::uno::Reference<css::sheet::XSpreadsheetDocument>& workbook,
                 const css::uno::Reference<css::sheet::XSpreadsheet>& sheet, int index);
