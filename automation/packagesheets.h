#pragma once

#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QString>
#include <QStringList>

// The names of the sheets that a loaded Office Open XML workbook (.xlsx, .xlsm) lists in its own
// workbook part, read by the office itself (inside its sandbox and time limit) from the package
// at path, at most 4 MB of the part; empty for any other format, or when the list cannot be
// read whole. A dead office throws, as every call does.
QStringList SheetsListedInPackage(const css::uno::Reference<css::uno::XComponentContext>& context,
                                  const css::uno::Reference<css::frame::XModel>& model,
                                  const QString& path);
