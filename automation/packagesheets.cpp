#include "automation/packagesheets.h"

#include "automation/listedsheets.h"
#include "automation/unohelpers.h"

#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/io/XInputStream.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XMultiComponentFactory.hpp>

namespace {

constexpr sal_Int32 PieceBytes = 64 * 1024;

bool IsPackageImport(const Reference<css::frame::XModel>& model)
{
    const Sequence<css::beans::PropertyValue> args = model->getArgs();
    for (const auto& arg : args) {
        OUString filter;
        if (arg.Name == "FilterName" && (arg.Value >>= filter))
            return filter.startsWith("Calc MS Excel 2007") ||
                   filter.startsWith("Calc Office Open XML");
    }
    return false;
}

} // namespace

QStringList SheetsListedInPackage(const Reference<css::uno::XComponentContext>& context,
                                  const Reference<css::frame::XModel>& model, const QString& path)
{
    if (!IsPackageImport(model))
        return {};
    try {
        const Any url(FileUrl(path));
        const Reference<css::container::XNameAccess> package(
            context->getServiceManager()->createInstanceWithArgumentsAndContext(
                "com.sun.star.packages.zip.ZipFileAccess", Sequence<Any>(&url, 1), context),
            UNO_QUERY_THROW);
        const OUString part("xl/workbook.xml");
        Reference<css::io::XInputStream> stream;
        if (!package->hasByName(part) || !(package->getByName(part) >>= stream) || !stream.is())
            return {};
        ListedSheetsReader reader;
        ListedSheetsReader::State state = ListedSheetsReader::State::NeedMore;
        Sequence<sal_Int8> piece;
        // The reader refuses a part whose list does not end within its limit: the loop ends.
        while (state == ListedSheetsReader::State::NeedMore) {
            const sal_Int32 length = stream->readBytes(piece, PieceBytes);
            state = length > 0 ? reader.Feed(QByteArray(
                                     reinterpret_cast<const char*>(piece.getConstArray()), length))
                               : reader.End();
        }
        stream->closeInput();
        return state == ListedSheetsReader::State::Done ? reader.names() : QStringList();
    } catch (const css::lang::DisposedException&) {
        throw;
    } catch (const css::uno::Exception&) {
        // The office loaded what it could read; a list it cannot read tells nothing more.
        return {};
    }
}
