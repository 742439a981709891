#include "automation/packageparts.h"

#include <com/sun/star/lang/XMultiComponentFactory.hpp>

OUString ImportFilter(const Reference<css::frame::XModel>& model)
{
    const Sequence<css::beans::PropertyValue> args = model->getArgs();
    OUString filter;
    for (const auto& arg : args)
        if (arg.Name == "FilterName" && (arg.Value >>= filter))
            return filter;
    return OUString();
}

bool IsPackageImport(const Reference<css::frame::XModel>& model)
{
    const OUString filter = ImportFilter(model);
    return filter.startsWith("Calc MS Excel 2007") || filter.startsWith("Calc Office Open XML");
}

Reference<css::container::XNameAccess>
OpenPackage(const Reference<css::uno::XComponentContext>& context, const QString& path)
{
    const Any url(FileUrl(path));
    return Reference<css::container::XNameAccess>(
        context->getServiceManager()->createInstanceWithArgumentsAndContext(
            "com.sun.star.packages.zip.ZipFileAccess", Sequence<Any>(&url, 1), context),
        UNO_QUERY_THROW);
}
