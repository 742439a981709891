#pragma once

#include "automation/partxmlreader.h"

#include <QStringList>

#include <map>

// Reads the names of the sheets that an Office Open XML workbook lists in its workbook part
// (xl/workbook.xml), stopping at the end of the list: the rest of the part (names, links,
// calculation settings) is never needed. Unreadable also when the list has not ended within
// MostBytes, or holds more sheets than any office.
class ListedSheetsReader final : public PartXmlReader
{
public:
    // The list comes first in the part: 4 MB hold tens of thousands of names.
    static constexpr int MostBytes = 4 * 1024 * 1024;

    ListedSheetsReader() : PartXmlReader(MostBytes) {}

    // Once Done.
    const QStringList& names() const { return names_; }
    // Each sheet's relationship id, which the workbook's relationships lead to its part with.
    const QStringList& relationshipIds() const { return relationshipIds_; }

private:
    State Started(int depth, const QXmlStreamReader& xml) override;
    State Ended(int depth) override;
    State DocumentEnded() override;

    QStringList names_;
    QStringList relationshipIds_;
    bool inList_ = false;
};

// The sheets that a workbook lists (listed, in its order) but the office, which loaded
// loadedCount of them, left out, by their places in the list (1-based) with their names. The
// office leaves out only sheets whose names it does not take (holding / \ * ? : [ ] or starting
// or ending with an apostrophe), except the first sheet of the list, which it loads under a name
// of its own; the last such sheets are taken as the ones left out when the counts leave a doubt.
std::map<int, QString> SheetsNotLoaded(const QStringList& listed, int loadedCount);
