#include "automation/pdfexport.h"

#include "automation/unohelpers.h"

#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/table/CellRangeAddress.hpp>
#include <com/sun/star/view/XRenderable.hpp>

#include <algorithm>

std::vector<css::beans::PropertyValue>
ConfiguredPdfSettings(const Reference<css::uno::XComponentContext>& office)
{
    css::beans::PropertyValue node;
    node.Name = "nodepath";
    node.Value <<= OUString("/org.openoffice.Office.Common/Filter/PDF/Export");
    const Any arguments(node);
    const Reference<css::container::XNameAccess> settings(
        css::configuration::theDefaultProvider::get(office)->createInstanceWithArguments(
            "com.sun.star.configuration.ConfigurationAccess", Sequence<Any>(&arguments, 1)),
        UNO_QUERY_THROW);
    std::vector<css::beans::PropertyValue> configured;
    for (const OUString& name : settings->getElementNames()) {
        css::beans::PropertyValue setting;
        setting.Name = name;
        setting.Value = settings->getByName(name);
        if (setting.Value.hasValue())
            configured.push_back(setting);
    }
    return configured;
}

std::vector<css::beans::PropertyValue>
OverConfiguredPdfSettings(std::vector<css::beans::PropertyValue> configured,
                          const std::vector<css::beans::PropertyValue>& given)
{
    for (const css::beans::PropertyValue& setting : given) {
        const auto same = std::find_if(configured.begin(), configured.end(),
                                       [&setting](const css::beans::PropertyValue& other) {
                                           return other.Name == setting.Name;
                                       });
        if (same == configured.end())
            configured.push_back(setting);
        else
            *same = setting;
    }
    return configured;
}

bool SheetPrints(const Reference<css::sheet::XSpreadsheetDocument>& workbook,
                 const Reference<css::sheet::XSpreadsheet>& sheet, int index)
{
    const Reference<css::view::XRenderable> pages(workbook, UNO_QUERY_THROW);
    const Any selection(sheet);
    if (pages->getRendererCount(selection, {}) < 1)
        return false;
    for (const css::beans::PropertyValue& property : pages->getRenderer(0, selection, {})) {
        css::table::CellRangeAddress shown;
        if (property.Name == "SourceRange" && (property.Value >>= shown))
            return shown.Sheet == index;
    }
    return false;
}
