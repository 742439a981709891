#include "automation/listedsheets.h"

#include <algorithm>
#include <vector>

namespace {

// More than any office holds (LibreOffice: 10,000): beyond it the part is taken as hostile.
constexpr int MostSheets = 100000;

bool NameTheOfficeRefuses(const QString& name)
{
    static const QString forbidden = QStringLiteral("/\\*?:[]");
    for (const QChar c : name)
        if (forbidden.contains(c))
            return true;
    return name.startsWith('\'') || name.endsWith('\'');
}

// The sheet's r:id, whatever the prefix of the relationships' namespace (transitional or strict).
QString RelationshipId(const QXmlStreamAttributes& attributes)
{
    for (const QXmlStreamAttribute& attribute : attributes)
        if (attribute.name() == QLatin1String("id") && !attribute.namespaceUri().isEmpty())
            return attribute.value().toString();
    return QString();
}

} // namespace

ListedSheetsReader::State ListedSheetsReader::Feed(const QByteArray& piece)
{
    if (state_ != State::NeedMore)
        return state_;
    if (piece.size() > MostBytes - fed_)
        return state_ = State::Unreadable;
    fed_ += piece.size();
    xml_.addData(piece);
    return Read();
}

ListedSheetsReader::State ListedSheetsReader::End()
{
    if (state_ == State::NeedMore)
        state_ = State::Unreadable;
    return state_;
}

ListedSheetsReader::State ListedSheetsReader::Read()
{
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
            if (depth_ == 1 && xml_.name() != QLatin1String("workbook")) {
                state_ = State::Unreadable;
            } else if (depth_ == 2 && xml_.name() == QLatin1String("sheets")) {
                inList_ = true;
            } else if (depth_ == 3 && inList_ && xml_.name() == QLatin1String("sheet")) {
                names_ << xml_.attributes().value(QLatin1String("name")).toString();
                relationshipIds_ << RelationshipId(xml_.attributes());
                if (names_.size() > MostSheets)
                    state_ = State::Unreadable;
            }
        } else if (token == QXmlStreamReader::EndElement) {
            if (inList_ && depth_ == 2)
                state_ = State::Done;
            --depth_;
        } else if (token == QXmlStreamReader::EndDocument) {
            state_ = State::Unreadable;
        }
    }
    return state_;
}

std::map<int, QString> SheetsNotLoaded(const QStringList& listed, int loadedCount)
{
    const int left = listed.size() - loadedCount;
    if (loadedCount < 0 || left <= 0)
        return {};
    std::vector<int> refused;
    for (int k = 0; k < listed.size(); ++k)
        if (NameTheOfficeRefuses(listed[k]))
            refused.push_back(k);
    // The first sheet takes the place of the office's own first sheet, which keeps its name.
    if (!refused.empty() && refused.front() == 0 && static_cast<int>(refused.size()) > left)
        refused.erase(refused.begin());
    std::map<int, QString> notLoaded;
    const int from = std::max(0, static_cast<int>(refused.size()) - left);
    for (int i = from; i < static_cast<int>(refused.size()); ++i)
        notLoaded[refused[i] + 1] = listed[refused[i]];
    return notLoaded;
}
