#include "automation/sheetpaper.h"

#include "automation/biffpaper.h"
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
#include <functional>
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

// Finds what a sheet stores of its paper by the sheet's name; false when it cannot be read.
using StoredPapers = std::function<bool(const QString& sheet, StoredPaper& paper)>;

StoredPapers PackagePapers(const Reference<css::uno::XComponentContext>& context,
                           const QString& path)
{
    const Reference<css::container::XNameAccess> package = OpenPackage(context, path);
    const std::map<QString, QString> parts = SheetParts(package);
    return [package, parts](const QString& sheet, StoredPaper& paper) {
        const auto part = parts.find(sheet);
        if (part == parts.end())
            return false;
        StoredPaperReader reader;
        if (ReadPart(package, ToUno(part->second), reader) != StoredPaperReader::State::Done)
            return false;
        paper = reader.paper();
        return true;
    };
}

StoredPapers XlsPapers(const QString& path)
{
    const std::map<QString, StoredPaper> papers = SheetPapersOfXlsFile(path);
    return [papers](const QString& sheet, StoredPaper& paper) {
        const auto found = papers.find(sheet);
        if (found == papers.end())
            return false;
        paper = found->second;
        return true;
    };
}

} // namespace

void SetPaperOfRegion(const Reference<css::uno::XComponentContext>& context,
                      const Reference<css::frame::XModel>& model, const QString& path, Paper region)
{
    const OUString filter = ImportFilter(model);
    const bool package = IsPackageImport(model);
    if (!package && !filter.startsWith("MS Excel 97") && !filter.startsWith("MS Excel 95") &&
        !filter.startsWith("MS Excel 5.0"))
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
        StoredPapers stored;
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
            if (!stored)
                stored = package ? PackagePapers(context, path) : XlsPapers(path);
            StoredPaper paper;
            if (!stored(
                    FromUno(Reference<css::container::XNamed>(sheet, UNO_QUERY_THROW)->getName()),
                    paper) ||
                paper.size == StoredPaper::Size::Known)
                continue;
            if (paper.orientation != StoredPaper::Orientation::Default)
                landscape = paper.orientation == StoredPaper::Orientation::Landscape;
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
