#pragma once

#include "convert/leftoutfolder.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// What a run did, workbook by workbook: the one record that its summary, its failure lines and
// its reports are written from.

// A PDF the run wrote: of one worksheet, or (sheet null) of the whole workbook.
struct PdfRecord
{
    QString sheet;
    QString path;
};

// A worksheet left out on purpose.
struct SkippedSheet
{
    enum class Why
    {
        Blank,
        Hidden,
        NothingToPrint // not blank, but no page of it would print (as Excel tells)
    };
    QString sheet;
    Why why;
};

// Something that failed: the workbook itself (sheet empty) or one of its worksheets (its name, or
// "#k" when not even the name could be read).
struct FailureRecord
{
    QString sheet;
    QString reason; // in the user's language
    QString detail; // the spreadsheet application's own message, when it gave one
};

struct WorkbookRecord
{
    enum class Outcome
    {
        NotReached, // the run was stopped before it
        Converted,
        Failed,  // did not open, or some PDF of it failed
        UpToDate // unchanged since its last conversion, whose PDFs are all still there
    };
    QString path; // native form
    Outcome outcome = Outcome::NotReached;
    bool opened = false;
    QList<PdfRecord> pdfs;
    QList<SkippedSheet> skipped;
    QList<FailureRecord> failures;
    double seconds = 0;
    // PDFs an earlier conversion of it made that this one no longer makes (a sheet gone, renamed,
    // now blank or hidden), removed as unchanged since.
    QStringList removedPdfs;
};

// Told of each workbook as its conversion ends, in the run's own thread.
using WorkbookDoneHook = std::function<void(const WorkbookRecord&)>;

// How many failures the summary names; the rest are only counted there.
constexpr int SummaryNamedFailures = 5;

struct RunRecord
{
    // The run's settings as it began.
    QString source;
    QString output; // empty beside the source
    bool besideSource = false;
    bool mergeSheets = false;
    int jobs = 1;
    // Whether the spreadsheet applications ran in a sandbox, and when not, why (the user's
    // language).
    bool sandboxed = false;
    QString unsandboxedBecause;
    QDateTime started;
    QDateTime ended;

    // What could not be listed, or no application at all: lines as the summary names them.
    QStringList runFailures;
    // How many of those the listing could not give (a folder unreadable or too long, a name that
    // is not text): what they hold is unknown, so each counts in the totals as a failed workbook.
    int unlisted = 0;
    QList<WorkbookRecord> workbooks; // in list order
    // Folders the listing did not enter on purpose, in list order.
    QList<LeftOutFolder> leftOutFolders;
    bool stopped = false;
    // Temporary PDFs that killed runs had left in the folders this run writes into, removed.
    int removedTemporaryPdfs = 0;

    int OpenedWorkbooks() const;
    int Pdfs() const;
    int RemovedPdfs() const;
    // How many workbooks had this outcome.
    int WithOutcome(WorkbookRecord::Outcome outcome) const;
    // The totals: every workbook, and every failed one, each with what could not be listed.
    int AllWorkbooks() const { return workbooks.size() + unlisted; }
    int FailedWorkbooks() const { return WithOutcome(WorkbookRecord::Outcome::Failed) + unlisted; }
    // Converted without a failure: every printable sheet a PDF, or the one merged PDF.
    int Converted() const { return WithOutcome(WorkbookRecord::Outcome::Converted); }
    int NotConverted() const { return WithOutcome(WorkbookRecord::Outcome::NotReached); }
    // "失败N个"'s N: the failed workbooks, each with what could not be listed, and no application.
    int Failed() const { return WithOutcome(WorkbookRecord::Outcome::Failed) + runFailures.size(); }
    int UpToDate() const { return WithOutcome(WorkbookRecord::Outcome::UpToDate); }
    // Every failure line, "file: reason" or "file(sheet): reason", in list order; names are shown
    // with control characters escaped.
    QStringList FailureLines() const;
    // "成功将N个excel文件转换为M个pdf文件。" (N the workbooks converted without a failure, so that
    // one that failed in part or was cut off by a stop never counts as converted; M every PDF
    // written), then, when workbooks were left out as up to date,
    // "另有N个excel文件未改动，已跳过。", then, when PDFs no longer made were removed,
    // "已删除N个不再生成的pdf文件。", then, when anything failed, "失败N个：" (N by Failed()), the
    // first five failure lines and, unless every failure is listed after it, "另有N个失败未列出。".
    QString Summary(bool everyFailureListedAfter = false) const;
};

// Lines that the summary, the text report and the command line's end share, in the user's
// language: "另有N个excel文件未改动，已跳过。", "已删除N个不再生成的pdf文件。", "失败N个：",
// "转换已中止：N个excel文件未转换。"; and the one that tells of applications outside a sandbox.
QString UpToDateLine(int upToDate);
QString RemovedPdfsLine(int removed);
QString FailuresLine(int failures);
QString StoppedLine(int notConverted);
// "注意：转换未在沙箱中进行：<why>": for the text report and the window's label.
QString UnsandboxedLine(const QString& why);
