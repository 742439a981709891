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

ListedSheetsReader::State ListedSheetsReader::Started(int depth, const QXmlStreamReader& xml)
{
    if (depth == 1 && xml.name() != QLatin1String("workbook"))
        return State::Unreadable;
    if (depth == 2 && xml.name() == QLatin1String("sheets")) {
        inList_ = true;
    } else if (depth == 3 && inList_ && xml.name() == QLatin1String("sheet")) {
        names_ << xml.attributes().value(QLatin1String("name")).toString();
        relationshipIds_ << RelationshipId(xml.attributes());
        if (names_.size() > MostSheets)
            return State::Unreadable;
    }
    return State::NeedMore;
}

ListedSheetsReader::State ListedSheetsReader::Ended(int depth)
{
    return inList_ && depth == 2 ? State::Done : State::NeedMore;
}

ListedSheetsReader::State ListedSheetsReader::DocumentEnded()
{
    return State::Unreadable;
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
