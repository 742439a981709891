#pragma once

#include "support/regionpaper.h"

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QString>

// Gives the sheets of a workbook just loaded from path (.xlsx, .xlsm, .xls) the paper that Excel
// prints them on where the office would print another: the region's paper for a sheet that names
// none (the office takes its own default) and for one whose paper code the office has no size
// for, in the orientation the sheet stores (for .xlsx the office keeps landscape only on papers
// it knows). What a sheet stores is read from the workbook, and only for sheets whose page is not
// the region's paper in their orientation already; other formats, and papers the office knows,
// stay as loaded. A dead office throws, as every call does.
void SetPaperOfRegion(const css::uno::Reference<css::uno::XComponentContext>& context,
                      const css::uno::Reference<css::frame::XModel>& model, const QString& path,
                      Paper region);
