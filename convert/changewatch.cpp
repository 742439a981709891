#include "convert/changewatch.h"

void ChangeWatch::Converted(const QString& path, const FileVersion& version)
{
    known.insert(path, version);
    changed.remove(path);
}

void ChangeWatch::Abandon(const QString& path)
{
    changed.remove(path);
}

QHash<QString, FileVersion> ChangeWatch::Look(const QHash<QString, FileVersion>& now, qint64 msNow,
                                              const QSet<QString>& closed)
{
    // Removed workbooks are forgotten; their PDFs stay.
    for (auto entry = known.begin(); entry != known.end();)
        entry = now.contains(entry.key()) ? std::next(entry) : known.erase(entry);
    for (auto entry = changed.begin(); entry != changed.end();)
        entry = now.contains(entry.key()) ? std::next(entry) : changed.erase(entry);
    QHash<QString, FileVersion> ready;
    for (auto entry = now.constBegin(); entry != now.constEnd(); ++entry) {
        const auto last = known.constFind(entry.key());
        if (last != known.constEnd() && *last == entry.value()) {
            changed.remove(entry.key());
            continue;
        }
        const auto seen = changed.constFind(entry.key());
        const bool justClosed = closed.contains(entry.key());
        if (seen == changed.constEnd() || seen->version != entry.value() || justClosed)
            // A change after a close keeps the short wait: a touch, or a rewrite closed again.
            changed.insert(
                entry.key(),
                {entry.value(), msNow, justClosed || (seen != changed.constEnd() && seen->closed)});
        else if (msNow - seen->since >= (seen->closed ? settleMs : stableMs))
            ready.insert(entry.key(), entry.value());
    }
    return ready;
}
