#pragma once

#include "convert/failurereasons.h"
#include "convert/pdfnameregister.h"
#include "convert/runoptions.h"
#include "convert/runplan.h"
#include "convert/runrecord.h"
#include "convert/runsettings.h"
#include "convert/spreadsheetapplications.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <memory>

// What every kind of conversion run shares: the record of what it did, the stop request, the
// workbook-done hook, the two signals the window knows, and the steps each run takes: plan,
// bind ("excel OK!", the application, "WorkBooks OK!"), convert one workbook, finish (the
// summary or the no-office line, the end time, Signal_SetButtonEnable()). A kind of run adds only
// its own loop over those steps. One run per Transform(), in the thread the object lives in.
class ConversionRun : public QObject
{
    Q_OBJECT

public:
    // Asks a run in progress to stop after the workbook in work; safe from any thread.
    void RequestStop();
    // Stops a run at once, its workbooks in work too: their applications are ended, and those
    // workbooks are recorded as not converted rather than as failed. Safe from any thread.
    void ForceStop();

    // What the last run did; read it once the run has ended.
    const RunRecord& Record() const { return record; }
    // What failed in the last run, one line each ("file: reason" or "file(sheet): reason").
    QStringList Failures() const { return record.FailureLines(); }
    // How many workbooks of the last run's list were never reached because it was stopped.
    int NotConverted() const { return record.NotConverted(); }
    // How many workbooks the run in progress converts: its list without those up to date. For
    // the hooks, in the thread of Transform().
    int ToConvert() const { return record.workbooks.size() - record.UpToDate(); }
    // Their estimated work in seconds (EstimatedWork()), by their sizes as planned.
    double WorkToConvert() const { return workToConvert; }

    // Told of each workbook as its conversion ends, in the thread of Transform().
    void SetWorkbookDoneHook(WorkbookDoneHook hook) { workbookDone = std::move(hook); }
    // Told of each workbook (its path) as its conversion begins, in the thread of Transform().
    void SetWorkbookBegunHook(std::function<void(const QString& path)> hook)
    {
        workbookBegun = std::move(hook);
    }

    // Told of each text that ends the run, or a batch of a watch, as it is shown: its summary, or
    // the no-office text. In the thread of Transform().
    void SetEndTextHook(std::function<void(const QString& text)> hook)
    {
        endText = std::move(hook);
    }

signals:
    void Signal_SetButtonEnable();
    void ShowDisposingFile(QString filePath);

public slots:
    void Transform();

protected:
    // The run makes its applications through applications, which outlives it.
    ConversionRun(SpreadsheetApplications& applications, RunOptions options, QObject* parent);

    // The kind's loop, between the start of Transform() and its end time and signal.
    virtual void Convert() = 0;

    // The workbooks of the run in list order, the record begun with them and with those that
    // options.upToDate leaves out, or, given leaveOut, with those that it leaves out.
    QList<WorkbookTask> Plan();
    QList<WorkbookTask> Plan(const std::function<bool(const QString& workbookPath)>& leaveOut);

    // How the run lists SOURCE: by its options, ending at a stop request.
    ListingRules Listing() const;

    // What the applications made from now on may reach: the source tree, with the folders of
    // the tasks' workbooks that links lead to outside it, read only, and the output folder
    // (beside the source: the tree).
    void ConfigureApplications(const QList<WorkbookTask>& tasks);
    // An application for one job, not yet bound; in the thread that uses it.
    std::unique_ptr<SpreadsheetApplication> NewApplication() const
    {
        return applications.New(scope);
    }

    // The texts of the binding: before the first application is bound, and once one has
    // answered or none could.
    void TellBinding();
    void TellBound();
    // A workbook's conversion as it starts (its path) and as it has ended (the hook).
    void TellConverting(const WorkbookTask& task);
    void TellConverted(const WorkbookRecord& workbook);
    // Converts one workbook through an application into its record, its PDF names taken from
    // names once the earlier workbooks of its name group have ended; one cut off by ForceStop()
    // is recorded as not reached. Safe from the applications' threads.
    void ConvertOne(SpreadsheetApplication& application, const WorkbookTask& task,
                    PdfNameRegister& names, WorkbookRecord& into) const;
    // The end of a run, or of a batch of one: its summary, with the failures.
    void TellSummary(const RunRecord& of);
    // No application answered: the run's failure line and the no-office text.
    void TellNoApplication(const ReportedFailure& failure);

    const RunOptions options;
    // The four run settings, as the run took them when it started.
    RunSettings settings;
    RunRecord record;
    double workToConvert = 0;
    std::atomic<bool> stopRequested{false};
    std::atomic<bool> stopForced{false};

private:
    SpreadsheetApplications& applications;
    ApplicationScope scope;
    WorkbookDoneHook workbookDone;
    std::function<void(const QString& path)> workbookBegun;
    std::function<void(const QString& text)> endText;

    void TellEnd(const QString& text);
};
