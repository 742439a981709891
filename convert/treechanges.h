#pragma once

#include "convert/updatestate.h"
#include "convert/workbookdiscovery.h"
#include "support/folderevents.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

// What a watched folder holds, look after look: each workbook below it (as a run lists them) with
// its version, and those closed after writing or moved in since the look before. From the
// kernel's change events while it can tell every folder's changes (inotify on a local file
// system, with watches enough for every folder), a look then following each change at once;
// else, from then on, from a listing of the whole tree every PollMs.
class TreeChanges
{
public:
    static constexpr int PollMs = 1000;
    // How long a look waits for events at most: how soon a stop, or a change to a workbook
    // waited for that told no event (a listed one still being written), is seen.
    static constexpr int StepMs = 100;

    // The tree listed by rules (its files kept: the workbooks).
    TreeChanges(const QString& root, ListingRules rules = ListingRules());

    // Waits for the next look, reading again the versions of the workbooks waited for. False
    // when stopped, or when nothing can have changed since the look before.
    bool Next(const QStringList& waiting, const std::atomic<bool>& stop);

    const QHash<QString, FileVersion>& Workbooks() const { return workbooks; }
    const QSet<QString>& Closed() const { return closed; }
    // False once polling.
    bool FromEvents() const { return events != nullptr; }

private:
    // Lists the tree; with events, watches every folder it lists first, and lists again until no
    // new folder turns up, so that nothing made meanwhile goes unseen.
    void ListAll();
    // Takes in one event; true when only a new listing tells what it means.
    bool TakeIn(const FolderEvents::Event& event);
    void RemoveBelow(const QString& path);

    QString root;
    ListingRules rules;
    std::unique_ptr<FolderEvents> events;
    QHash<QString, FileVersion> workbooks;
    QSet<QString> closed;
};
