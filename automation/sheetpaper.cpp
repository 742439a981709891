#include "automation/sheetpaper.h"

#include "automation/listedsheets.h"
#include "automation/packageparts.h"
#include "automation/storedpaper.h"
#include "automation/workbookrelationships.h"

#include <com/sun/star/awt/Size.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/style/XStyleFamiliesSupplier.hpp>

#include <cstdlib>
#include <map>

namespace {

// The relationships are one short line a sheet.
constexpr int MostRelationshipBytes = 4 * 1024 * 1024;

// Upright, in the office's hundredths of a millimetre.
css::awt::Size UprightSize(Paper paper)
{
    return paper == Paper::Letter ? css::awt::Size(21590, 27940) : css::awt::Size(21000, 29700);
}

// The office's own A4 from Excel's code is 21001 wide.
bool SameSize(const css::awt::Size& a, const css::awt::Size& b)
{
    return std::abs(a.Width - b.Width) <= 2 && std::abs(a.Height - b.Height) <= 2;
}

css::awt::Size Oriented(css::awt::Size upright, bool landscape)
{
    return landscape ? css::awt::Size(upright.Height, upright.Width) : upright;
}

// A part read whole, up to a limit.
class WholePart
{
public:
    enum class State
    {
        NeedMore,
        Done,
        Unreadable
    };
    explicit WholePart(int mostBytes) : mostBytes_(mostBytes) {}
    State Feed(const QByteArray& piece)
    {
        if (piece.size() > mostBytes_ - text_.size())
            return State::Unreadable;
        text_ += piece;
        return State::NeedMore;
    }
    State End() { return State::Done; }
    const QByteArray& text() const { return text_; }

private:
    int mostBytes_;
    QByteArray text_;
};

// The part of each sheet that the workbook lists, by the sheet's name; empty when the lists
// cannot be read.
std::map<QString, QString> SheetParts(const Reference<css::container::XNameAccess>& package)
{
    ListedSheetsReader listed;
    WholePart relationships(MostRelationshipBytes);
    if (ReadPart(package, "xl/workbook.xml", listed) != ListedSheetsReader::State::Done ||
        ReadPart(package, "xl/_rels/workbook.xml.rels", relationships) != WholePart::State::Done)
        return {};
    const std::map<QString, QString> targets = WorkbookRelationshipTargets(relationships.text());
    std::map<QString, QString> parts;
    for (int k = 0; k < listed.names().size(); ++k) {
        const auto target = targets.find(listed.relationshipIds()[k]);
        if (target != targets.end())
            parts.emplace(listed.names()[k], target->second);
    }
    return parts;
}

} // namespace

void SetPaperOfRegion(const Reference<css::uno::XComponentContext>& context,
                      const Reference<css::frame::XModel>& model, const QString& path, Paper region)
{
    if (!IsPackageImport(model))
        return;
    try {
        const Reference<css::container::XIndexAccess> sheets(
            Reference<css::sheet::XSpreadsheetDocument>(model, UNO_QUERY_THROW)->getSheets(),
            UNO_QUERY_THROW);
        const Reference<css::container::XNameAccess> pageStyles(
            Reference<css::style::XStyleFamiliesSupplier>(model, UNO_QUERY_THROW)
                ->getStyleFamilies()
                ->getByName("PageStyles"),
            UNO_QUERY_THROW);
        // Read only when a sheet's page is not the region's paper already.
        Reference<css::container::XNameAccess> package;
        std::map<QString, QString> parts;
        const css::awt::Size upright = UprightSize(region);
        for (sal_Int32 index = 0; index < sheets->getCount(); ++index) {
            const Reference<css::beans::XPropertySet> sheet(sheets->getByIndex(index),
                                                            UNO_QUERY_THROW);
            OUString styleName;
            sheet->getPropertyValue("PageStyle") >>= styleName;
            const Reference<css::beans::XPropertySet> style(pageStyles->getByName(styleName),
                                                            UNO_QUERY_THROW);
            css::awt::Size size;
            bool landscape = false;
            style->getPropertyValue("Size") >>= size;
            style->getPropertyValue("IsLandscape") >>= landscape;
            if (SameSize(size, Oriented(upright, landscape)))
                continue;
            if (!package.is()) {
                package = OpenPackage(context, path);
                parts = SheetParts(package);
            }
            const auto part = parts.find(
                FromUno(Reference<css::container::XNamed>(sheet, UNO_QUERY_THROW)->getName()));
            if (part == parts.end())
                continue;
            StoredPaperReader reader;
            if (ReadPart(package, ToUno(part->second), reader) != StoredPaperReader::State::Done ||
                reader.paper().size == StoredPaper::Size::Known)
                continue;
            if (reader.paper().orientation != StoredPaper::Orientation::Default)
                landscape = reader.paper().orientation == StoredPaper::Orientation::Landscape;
            style->setPropertyValue("IsLandscape", Any(landscape));
            style->setPropertyValue("Size", Any(Oriented(upright, landscape)));
        }
    } catch (const css::lang::DisposedException&) {
        throw;
    } catch (const css::uno::Exception&) {
        // A package the office loaded but we cannot read, or a page it will not change: the
        // sheets print on the paper the office gave them.
    }
}
