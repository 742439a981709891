#pragma once

#include <QByteArray>
#include <QXmlStreamReader>

// Reads an XML part of a workbook's package, fed piece by piece as the part is read, so that a
// reader can stop as soon as it has what it needs. A part with a document type declaration is
// refused unread, so that no entity is declared, let alone expanded or fetched; one longer than
// the reader's limit is refused too. What a reader looks for, it says in Started(), Ended() and
// DocumentEnded().
class PartXmlReader
{
public:
    enum class State
    {
        NeedMore,  // what is looked for is still to come
        Done,      // it is read
        Unreadable // not the part looked for, damaged, with a declaration or too long
    };

    State Feed(const QByteArray& piece);
    // The part ended: what is still to come never will.
    State End();

protected:
    explicit PartXmlReader(int mostBytes) : mostBytes_(mostBytes) {}
    ~PartXmlReader() = default;

    // An element began at depth (the root's is 1); xml is at it.
    virtual State Started(int depth, const QXmlStreamReader& xml) = 0;
    // The element at depth ended.
    virtual State Ended(int depth) = 0;
    // The whole part was read.
    virtual State DocumentEnded() = 0;

private:
    State Read();

    QXmlStreamReader xml_;
    int mostBytes_;
    int fed_ = 0;
    int depth_ = 0;
    State state_ = State::NeedMore;
};
