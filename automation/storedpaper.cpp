#include "automation/storedpaper.h"

#include <algorithm>
#include <iterator>

namespace {

StoredPaper PaperOf(const QXmlStreamAttributes& attributes)
{
    StoredPaper paper;
    const QStringRef orientation = attributes.value(QLatin1String("orientation"));
    if (orientation == QLatin1String("portrait"))
        paper.orientation = StoredPaper::Orientation::Portrait;
    else if (orientation == QLatin1String("landscape"))
        paper.orientation = StoredPaper::Orientation::Landscape;
    bool number = false;
    const int code = attributes.value(QLatin1String("paperSize")).toInt(&number);
    // The office prints a custom size as given, and reads a code that is no number as none.
    const bool custom = attributes.hasAttribute(QLatin1String("paperWidth")) &&
                        attributes.hasAttribute(QLatin1String("paperHeight"));
    paper.size = custom || !number || OfficeKnowsPaperCode(code) ? StoredPaper::Size::Known
                                                                 : StoredPaper::Size::Unknown;
    return paper;
}

} // namespace

bool OfficeKnowsPaperCode(int code)
{
    // Measured: codes whose page the office sizes alike under every locale.
    return (code >= 1 && code <= 47) || (code >= 50 && code <= 70) || (code >= 75 && code <= 83) ||
           (code >= 88 && code <= 90);
}

StoredPaperReader::State StoredPaperReader::Started(int depth, const QXmlStreamReader& xml)
{
    static const QLatin1String sheetKinds[] = {
        QLatin1String("worksheet"), QLatin1String("chartsheet"), QLatin1String("dialogsheet")};
    if (depth == 1 && std::none_of(std::begin(sheetKinds), std::end(sheetKinds),
                                   [&](QLatin1String kind) { return xml.name() == kind; }))
        return State::Unreadable;
    // Only the sheet's own: custom views hold theirs deeper down.
    if (depth == 2 && xml.name() == QLatin1String("pageSetup")) {
        paper_ = PaperOf(xml.attributes());
        return State::Done;
    }
    return State::NeedMore;
}

StoredPaperReader::State StoredPaperReader::Ended(int)
{
    return State::NeedMore;
}

// The whole sheet without a page setup.
StoredPaperReader::State StoredPaperReader::DocumentEnded()
{
    return State::Done;
}
