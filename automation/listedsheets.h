#pragma once

#include <QByteArray>
#include <QStringList>
#include <QXmlStreamReader>

#include <map>

// Reads the names of the sheets that an Office Open XML workbook lists in its workbook part
// (xl/workbook.xml), fed piece by piece as the part is read, so that it can stop at the end of
// the list: the rest of the part (names, links, calculation settings) is never needed. A part
// with a document type declaration is refused unread, so that no entity is declared, let alone
// expanded or fetched; one whose list has not ended within MostBytes is refused too.
class ListedSheetsReader
{
public:
    // The list comes first in the part: 4 MB hold tens of thousands of names.
    static constexpr int MostBytes = 4 * 1024 * 1024;

    enum class State
    {
        NeedMore,  // the list has not ended yet
        Done,      // the list is read: names()
        Unreadable // not a workbook part, damaged, with a declaration, too long or too many
                   // sheets
    };

    State Feed(const QByteArray& piece);
    // The part ended: a list that has not ended is unreadable.
    State End();
    const QStringList& names() const { return names_; }
    // Each sheet's relationship id, which the workbook's relationships lead to its part with.
    const QStringList& relationshipIds() const { return relationshipIds_; }

private:
    State Read();

    QXmlStreamReader xml_;
    QStringList names_;
    QStringList relationshipIds_;
    int fed_ = 0;
    int depth_ = 0;
    bool inList_ = false;
    State state_ = State::NeedMore;
};

// The sheets that a workbook lists (listed, in its order) but the office, which loaded
// loadedCount of them, left out, by their places in the list (1-based) with their names. The
// office leaves out only sheets whose names it does not take (holding / \ * ? : [ ] or starting
// or ending with an apostrophe), except the first sheet of the list, which it loads under a name
// of its own; the last such sheets are taken as the ones left out when the counts leave a doubt.
std::map<int, QString> SheetsNotLoaded(const QStringList& listed, int loadedCount);
