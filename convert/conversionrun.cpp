#include "convert/conversionrun.h"

#include "convert/applicationcount.h"
#include "convert/failurereasons.h"
#include "convert/platformtexts.h"
#include "convert/visibletext.h"
#include "convert/workbookconversion.h"

#include <QFileInfo>
#include <QSet>

ConversionRun::ConversionRun(SpreadsheetApplications& applications, RunOptions options,
                             QObject* parent)
    : QObject(parent), options(std::move(options)), applications(applications)
{
}

void ConversionRun::RequestStop()
{
    stopRequested = true;
}

void ConversionRun::ForceStop()
{
    stopRequested = true;
    stopForced = true;
    applications.StopAllNow();
}

void ConversionRun::Transform()
{
    settings = ReadRunSettings();
    // An earlier run's forced stop refused new applications until now.
    applications.AllowStarts();
    ConfigureApplications(QList<WorkbookTask>());
    Convert();
    record.ended = QDateTime::currentDateTime();
    // The machine is asked once per process, by the first office's start or here: free after it.
    record.unsandboxedBecause = applications.UnsandboxedBecause();
    record.sandboxed = record.unsandboxedBecause.isEmpty();
    emit Signal_SetButtonEnable();
}

QList<WorkbookTask> ConversionRun::Plan()
{
    return Plan(options.upToDate);
}

QList<WorkbookTask>
ConversionRun::Plan(const std::function<bool(const QString& workbookPath)>& leaveOut)
{
    const RunPlan plan = PlanRun(settings, options.shard, Listing(), leaveOut);
    const QList<WorkbookTask>& tasks = plan.tasks;
    record = BeginRecord(settings, tasks, plan.unlisted, options.jobs, plan.leftOut);
    record.leftOutFolders = plan.foldersLeftOut;
    workToConvert = 0;
    for (const WorkbookTask& task : tasks)
        workToConvert += EstimatedWork(QFileInfo(task.path).size());
    // Once from each folder that exists before any export into it: folders the run has yet to
    // make hold none.
    QSet<QString> swept;
    record.removedTemporaryPdfs = 0;
    for (const WorkbookTask& task : tasks) {
        if (swept.contains(task.folder))
            continue;
        swept.insert(task.folder);
        record.removedTemporaryPdfs += applications.RemoveLeftTemporaryPdfs(task.folder);
    }
    ConfigureApplications(tasks);
    return tasks;
}

ListingRules ConversionRun::Listing() const
{
    ListingRules rules;
    rules.followOutsideLinks = options.followLinks;
    rules.stop = [this] { return stopRequested.load(); };
    return rules;
}

void ConversionRun::ConfigureApplications(const QList<WorkbookTask>& tasks)
{
    scope.readable = QStringList{settings.source};
    const QString tree = QFileInfo(settings.source).canonicalFilePath() + '/';
    for (const WorkbookTask& task : tasks) {
        const QString folder = QFileInfo(task.path).canonicalPath();
        if (!folder.isEmpty() && !(folder + '/').startsWith(tree))
            scope.readable << folder;
    }
    scope.readable.removeDuplicates();
    // Beside the source, PDFs go only into the tree: the planning failed the workbooks outside.
    scope.writable = QStringList{settings.besideSource ? settings.source : settings.output};
    scope.applications = options.jobs;
}

void ConversionRun::TellBinding()
{
    emit ShowDisposingFile(tr("excel OK!"));
}

void ConversionRun::TellBound()
{
    emit ShowDisposingFile(tr("WorkBooks OK!"));
}

void ConversionRun::TellConverting(const WorkbookTask& task)
{
    emit ShowDisposingFile(VisibleText(task.path));
    if (workbookBegun)
        workbookBegun(task.path);
}

void ConversionRun::TellConverted(const WorkbookRecord& workbook)
{
    if (workbookDone)
        workbookDone(workbook);
}

void ConversionRun::ConvertOne(SpreadsheetApplication& application, const WorkbookTask& task,
                               PdfNameRegister& names, WorkbookRecord& into) const
{
    names.Begin(task);
    ConvertWorkbook(
        application, task, settings.mergeSheets,
        [&names, &task](const QString& stem) { return names.Take(task, stem); }, into);
    names.End(task);
    // What failed then failed because its application was ended: not the workbook's fault.
    if (stopForced && !into.failures.isEmpty()) {
        into.outcome = WorkbookRecord::Outcome::NotReached;
        into.failures.clear();
    }
}

void ConversionRun::TellSummary(const RunRecord& of)
{
    TellEnd(of.Summary(options.everyFailureListedAfter));
}

void ConversionRun::TellNoApplication(const ReportedFailure& failure)
{
    record.runFailures << NoApplicationLine(failure);
    // Only an office missing is told as one; one that is there but cannot start, as it is.
    const bool missing =
        failure.kind == FailureKind::None || failure.kind == FailureKind::CannotStart;
    TellEnd(missing ? NoOfficeMessage() : Explain(failure).reason);
}

void ConversionRun::TellEnd(const QString& text)
{
    emit ShowDisposingFile(text);
    if (endText)
        endText(text);
}
