#include "automation/packagesheets.h"

#include "automation/listedsheets.h"
#include "automation/packageparts.h"

#include <com/sun/star/lang/DisposedException.hpp>

QStringList SheetsListedInPackage(const Reference<css::uno::XComponentContext>& context,
                                  const Reference<css::frame::XModel>& model, const QString& path)
{
    if (!IsPackageImport(model))
        return {};
    try {
        ListedSheetsReader reader;
        return ReadPart(OpenPackage(context, path), "xl/workbook.xml", reader) ==
                       ListedSheetsReader::State::Done
                   ? reader.names()
                   : QStringList();
    } catch (const css::lang::DisposedException&) {
        throw;
    } catch (const css::uno::Exception&) {
        // The office loaded what it could read; a list it cannot read tells nothing more.
        return {};
    }
}
