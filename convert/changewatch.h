#pragma once

#include "convert/updatestate.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

// Which workbooks of a watched tree are ready to convert: those that differ from the version last
// converted (or found up to date) and have stayed the same for stableMs, so that a file still
// being copied is never opened. One seen closed after writing (or moved in) needs only settleMs
// since its last change, for writers that close and then touch or rewrite it at once. Workbooks
// that are gone are forgotten.
class ChangeWatch
{
public:
    ChangeWatch(qint64 stableMs, qint64 settleMs) : stableMs(stableMs), settleMs(settleMs) {}

    // This version of the workbook was converted, or found up to date: it is ready again only
    // once it differs. A failed conversion counts too: a workbook waits for a change, not a retry.
    void Converted(const QString& path, const FileVersion& version);
    // No longer waited for, without a version converted (the run ended before it).
    void Abandon(const QString& path);

    // Takes in the tree as it is (each workbook's version) at msNow on a steady clock, with the
    // workbooks closed after writing or moved in since the last look; returns the workbooks that
    // are ready, with their versions.
    QHash<QString, FileVersion> Look(const QHash<QString, FileVersion>& now, qint64 msNow,
                                     const QSet<QString>& closed = {});

    // The version of each workbook last converted or found up to date, by path.
    const QHash<QString, FileVersion>& Known() const { return known; }
    // The workbooks seen changed and not converted.
    QStringList Waiting() const { return changed.keys(); }

private:
    struct Changed
    {
        FileVersion version;
        qint64 since; // when it was first seen at this version, or last closed
        bool closed;  // seen closed since it last differed from the version known
    };
    qint64 stableMs;
    qint64 settleMs;
    QHash<QString, FileVersion> known;
    QHash<QString, Changed> changed;
};
