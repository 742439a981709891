#pragma once

#include "automation/unohelpers.h"

#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/io/XInputStream.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include <QByteArray>
#include <QString>

// Parts of an Office Open XML package, read by the office itself (inside its sandbox and time
// limit), for what its import does not tell.

// The name of the filter that the office loaded the model with ("MS Excel 97").
rtl::OUString ImportFilter(const css::uno::Reference<css::frame::XModel>& model);

// Whether the office loaded the model as an Office Open XML workbook (.xlsx, .xlsm).
bool IsPackageImport(const css::uno::Reference<css::frame::XModel>& model);

// The package at path, through the office's own zip access. Throws as the office does.
css::uno::Reference<css::container::XNameAccess>
OpenPackage(const css::uno::Reference<css::uno::XComponentContext>& context, const QString& path);

// Feeds the part to reader (Feed(piece), End(), State::NeedMore) piece by piece until it needs no
// more; the reader's own limit ends the loop. Unreadable when the package has no such part.
template <class Reader>
typename Reader::State ReadPart(const css::uno::Reference<css::container::XNameAccess>& package,
                                const rtl::OUString& part, Reader& reader)
{
    constexpr sal_Int32 PieceBytes = 64 * 1024;
    css::uno::Reference<css::io::XInputStream> stream;
    if (!package->hasByName(part) || !(package->getByName(part) >>= stream) || !stream.is())
        return Reader::State::Unreadable;
    typename Reader::State state = Reader::State::NeedMore;
    css::uno::Sequence<sal_Int8> piece;
    while (state == Reader::State::NeedMore) {
        const sal_Int32 length = stream->readBytes(piece, PieceBytes);
        state = length > 0 ? reader.Feed(QByteArray(
                                 reinterpret_cast<const char*>(piece.getConstArray()), length))
                           : reader.End();
    }
    stream->closeInput();
    return state;
}
