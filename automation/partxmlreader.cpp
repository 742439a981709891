#include "automation/partxmlreader.h"

PartXmlReader::State PartXmlReader::Feed(const QByteArray& piece)
{
    if (state_ != State::NeedMore)
        return state_;
    if (piece.size() > mostBytes_ - fed_)
        return state_ = State::Unreadable;
    fed_ += piece.size();
    xml_.addData(piece);
    return Read();
}

PartXmlReader::State PartXmlReader::End()
{
    if (state_ == State::NeedMore)
        state_ = State::Unreadable;
    return state_;
}

PartXmlReader::State PartXmlReader::Read()
{
    while (state_ == State::NeedMore) {
        const QXmlStreamReader::TokenType token = xml_.readNext();
        if (token == QXmlStreamReader::Invalid) {
            if (xml_.error() != QXmlStreamReader::PrematureEndOfDocumentError)
                state_ = State::Unreadable;
            break;
        }
        if (token == QXmlStreamReader::DTD || token == QXmlStreamReader::EntityReference)
            state_ = State::Unreadable;
        else if (token == QXmlStreamReader::StartElement)
            state_ = Started(++depth_, xml_);
        else if (token == QXmlStreamReader::EndElement)
            state_ = Ended(depth_--);
        else if (token == QXmlStreamReader::EndDocument)
            state_ = DocumentEnded();
    }
    return state_;
}
