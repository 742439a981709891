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

StoredPaperReader::State StoredPaperReader::Feed(const QByteArray& piece)
{
    if (state_ != State::NeedMore)
        return state_;
    if (piece.size() > mostBytes_ - fed_)
        return state_ = State::Unreadable;
    fed_ += piece.size();
    xml_.addData(piece);
    return Read();
}

StoredPaperReader::State StoredPaperReader::End()
{
    if (state_ == State::NeedMore)
        state_ = State::Unreadable;
    return state_;
}

StoredPaperReader::State StoredPaperReader::Read()
{
    static const QLatin1String sheetKinds[] = {
        QLatin1String("worksheet"), QLatin1String("chartsheet"), QLatin1String("dialogsheet")};
    while (state_ == State::NeedMore) {
        const QXmlStreamReader::TokenType token = xml_.readNext();
        if (token == QXmlStreamReader::Invalid) {
            if (xml_.error() != QXmlStreamReader::PrematureEndOfDocumentError)
                state_ = State::Unreadable;
            break;
        }
        if (token == QXmlStreamReader::DTD || token == QXmlStreamReader::EntityReference) {
            state_ = State::Unreadable;
        } else if (token == QXmlStreamReader::StartElement) {
            ++depth_;
            if (depth_ == 1) {
                if (std::none_of(std::begin(sheetKinds), std::end(sheetKinds),
                                 [&](QLatin1String kind) { return xml_.name() == kind; }))
                    state_ = State::Unreadable;
            } else if (depth_ == 2 && xml_.name() == QLatin1String("pageSetup")) {
                // Only the sheet's own: custom views hold theirs deeper down.
                paper_ = PaperOf(xml_.attributes());
                state_ = State::Done;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            --depth_;
        } else if (token == QXmlStreamReader::EndDocument) {
            // The whole sheet without a page setup.
            state_ = State::Done;
        }
    }
    return state_;
}
