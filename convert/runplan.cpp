#include "convert/runplan.h"

#include "convert/outputpaths.h"
#include "convert/pdfnames.h"
#include "convert/runsettings.h"
#include "convert/visibletext.h"
#include "convert/workbookdiscovery.h"

#include <QCoreApplication>
#include <QDir>
#include <QSet>

#include <algorithm>

namespace {

// The workbooks whose PDFs, beside them, stay in the tree; the others, reached through links
// outside it, are failures.
QFileInfoList KeptInsideTree(const TreeListing& listing, QStringList& unlisted)
{
    QFileInfoList kept;
    for (const QFileInfo& workbook : listing.files) {
        const QString path = workbook.filePath();
        const bool outside =
            std::any_of(listing.outsideLinks.begin(), listing.outsideLinks.end(),
                        [&path](const QString& link) { return path.startsWith(link + '/'); });
        if (!outside)
            kept << workbook;
        else
            unlisted << VisibleText(QDir::toNativeSeparators(path)) + QStringLiteral(": ") +
                            QCoreApplication::translate("FailureReasons",
                                                        "在源文件夹之外（经链接），PDF不写在其旁");
    }
    return kept;
}

} // namespace

RunPlan PlanRun(const RunSettings& settings, const Shard& shard, const ListingRules& rules,
                const std::function<bool(const QString& workbookPath)>& leaveOut)
{
    // From the absolute, cleaned folder, so that a relative text gives the tree its absolute
    // form gives.
    const QString source = QDir::cleanPath(QFileInfo(settings.source).absoluteFilePath());
    ListingRules workbooksOnly = rules;
    workbooksOnly.keep = IsWorkbookPath;
    const TreeListing listing = ListTree(source, workbooksOnly);
    RunPlan plan;
    plan.unlisted = listing.unlisted;
    plan.foldersLeftOut = listing.leftOut;
    const QFileInfoList workbooks =
        settings.besideSource ? KeptInsideTree(listing, plan.unlisted) : listing.files;
    // From the whole list, so that every share of it names its PDFs as a whole run would.
    const QStringList baseNames = PdfBaseNames(workbooks);
    QStringList folders;
    for (const QFileInfo& workbook : workbooks)
        folders << OutputFolder(QDir::toNativeSeparators(workbook.filePath()), source,
                                settings.output, settings.besideSource);
    const QList<int> groups = NameGroupFirsts(folders, baseNames);
    const QDir sourceFolder(source);
    QList<WorkbookTask> tasks;
    QList<bool> current;
    for (int i = 0; i < workbooks.size(); ++i) {
        // By the group's first workbook, so that a group is never split between shares.
        if (shard.count > 1 &&
            !InShard(sourceFolder.relativeFilePath(workbooks[i].filePath()),
                     FileNameKey(workbooks[groups[i]].completeBaseName()), shard))
            continue;
        const QString path = QDir::toNativeSeparators(workbooks[i].filePath());
        tasks.append({path, folders[i], baseNames[i], groups[i]});
        current << (leaveOut && leaveOut(path));
    }
    // A workbook is left out only with every workbook of its name group: the names of their PDFs
    // are decided together, so a new or changed one never takes a name a current one keeps.
    QSet<int> converted;
    for (int i = 0; i < tasks.size(); ++i)
        if (!current[i])
            converted.insert(tasks[i].nameGroup);
    for (int i = 0; i < tasks.size(); ++i) {
        if (current[i] && !converted.contains(tasks[i].nameGroup))
            plan.leftOut << tasks[i].path;
        else
            plan.tasks << tasks[i];
    }
    return plan;
}

RunRecord BeginRecord(const RunSettings& settings, const QList<WorkbookTask>& tasks,
                      const QStringList& unlisted, int jobs, const QStringList& upToDate)
{
    RunRecord record;
    record.source =
        QDir::toNativeSeparators(QDir::cleanPath(QFileInfo(settings.source).absoluteFilePath()));
    if (!settings.besideSource)
        record.output = QDir::toNativeSeparators(
            QDir::cleanPath(QFileInfo(settings.output).absoluteFilePath()));
    record.besideSource = settings.besideSource;
    record.mergeSheets = settings.mergeSheets;
    record.jobs = jobs;
    record.started = QDateTime::currentDateTime();
    record.runFailures = unlisted;
    record.unlisted = unlisted.size();
    for (const WorkbookTask& task : tasks) {
        record.workbooks.append(WorkbookRecord());
        record.workbooks.last().path = task.path;
    }
    // After the tasks, so that a task's index is its record's.
    for (const QString& path : upToDate) {
        record.workbooks.append(WorkbookRecord());
        record.workbooks.last().path = path;
        record.workbooks.last().outcome = WorkbookRecord::Outcome::UpToDate;
    }
    return record;
}
