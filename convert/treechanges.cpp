#include "convert/treechanges.h"

#include "convert/workbookdiscovery.h"

#include <QDir>
#include <QFile>

#include <chrono>
#include <thread>

namespace {

std::string Local(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

} // namespace

TreeChanges::TreeChanges(const QString& root, ListingRules rules)
    : root(root), rules(std::move(rules)), events(new FolderEvents)
{
    this->rules.keep = IsWorkbookPath;
    if (!events->Available())
        events.reset();
    else
        ListAll();
}

bool TreeChanges::Next(const QStringList& waiting, const std::atomic<bool>& stop)
{
    closed.clear();
    if (!events) {
        for (int waited = 0; waited < PollMs && !stop; waited += StepMs)
            std::this_thread::sleep_for(std::chrono::milliseconds(StepMs));
        if (stop)
            return false;
        ListAll();
        return true;
    }
    const std::vector<FolderEvents::Event> told = events->Wait(StepMs);
    bool relist = false;
    for (const FolderEvents::Event& event : told)
        relist = TakeIn(event) || relist;
    if (relist)
        ListAll();
    for (const QString& path : waiting) {
        const auto entry = workbooks.find(path);
        if (entry == workbooks.end())
            continue;
        *entry = FileVersion::Of(path);
        if (entry->size < 0)
            workbooks.erase(entry);
    }
    return !stop && (!told.empty() || !waiting.isEmpty());
}

void TreeChanges::ListAll()
{
    QSet<QString> watched;
    for (;;) {
        const TreeListing listing = ListTree(root, rules);
        QHash<QString, FileVersion> now;
        for (const QFileInfo& entry : listing.files) {
            const QString path = QDir::toNativeSeparators(entry.filePath());
            now.insert(path, FileVersion::Of(path));
        }
        workbooks = now;
        bool more = false;
        for (const QString& folder : listing.folders) {
            if (!events || watched.contains(folder))
                continue;
            watched.insert(folder);
            more = true;
            const FolderEvents::Added added = events->Watch(Local(folder));
            // Changes there would go unseen: the listing every PollMs sees them.
            if (added == FolderEvents::Added::Remote || added == FolderEvents::Added::LimitReached)
                events.reset();
        }
        if (!more)
            return;
    }
}

bool TreeChanges::TakeIn(const FolderEvents::Event& event)
{
    const QString path = QFile::decodeName(QByteArray::fromStdString(event.path));
    switch (event.kind) {
    case FolderEvents::Kind::FileClosed: {
        // Listed as a run lists: no links to files, names that are valid text.
        const QFileInfo entry(path);
        if (Local(path) == event.path && IsWorkbookPath(entry) && entry.isFile() &&
            !entry.isSymLink()) {
            workbooks.insert(path, FileVersion::Of(path));
            closed.insert(path);
        }
        return false;
    }
    case FolderEvents::Kind::FileGone:
    case FolderEvents::Kind::FolderGone:
        RemoveBelow(path);
        return false;
    case FolderEvents::Kind::FolderCame:
        // Hidden folders are not listed.
        return !QFileInfo(path).fileName().startsWith(QLatin1Char('.'));
    case FolderEvents::Kind::Overflow:
        // A new instance, so that no watch is left on a folder whose leaving went unseen.
        events.reset(new FolderEvents);
        if (!events->Available())
            events.reset();
        return true;
    }
    return false;
}

void TreeChanges::RemoveBelow(const QString& path)
{
    const QString below = path + QLatin1Char('/');
    for (auto entry = workbooks.begin(); entry != workbooks.end();)
        entry = entry.key() == path || entry.key().startsWith(below) ? workbooks.erase(entry)
                                                                     : std::next(entry);
}
