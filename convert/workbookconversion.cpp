#include "convert/workbookconversion.h"

#include "convert/failurereasons.h"
#include "convert/outputpaths.h"
#include "convert/pdfnames.h"
#include "support/filehelpers.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>

namespace {

// A PDF's state on disk, to tell whether an export wrote it.
struct FileStamp
{
    explicit FileStamp(const QString& path)
    {
        const QFileInfo file(path);
        exists = file.exists();
        modified = file.lastModified();
        size = file.size();
    }
    bool WrittenSince(const FileStamp& before) const
    {
        return exists && (!before.exists || modified != before.modified || size != before.size);
    }
    bool exists;
    QDateTime modified;
    qint64 size;
};

// Records one workbook's PDFs, skipped sheets and failures, with the failure the application
// reported for the last of its calls that reported one.
class WorkbookLog
{
public:
    WorkbookLog(SpreadsheetApplication& application, WorkbookRecord& record)
        : application(application), record(record)
    {
    }

    // Keeps what a call reported, and gives what it answered.
    void Note(const ReportedFailure& failure)
    {
        if (failure.kind != FailureKind::None)
            reported = failure;
    }
    template <typename T> T Take(const Answer<T>& answer)
    {
        Note(answer.failure);
        return answer.value;
    }
    // fallback: our own reason, for when the application reported none.
    void Fail(const QString& sheet, const QString& fallback)
    {
        const ExplainedReason explained = reported.kind == FailureKind::None
                                              ? ExplainedReason{fallback, QString()}
                                              : Explain(reported);
        record.failures.append({sheet, explained.reason, explained.detail});
        reported = ReportedFailure();
    }
    void Skip(const QString& sheet, SkippedSheet::Why why) { record.skipped.append({sheet, why}); }
    bool Reported(FailureKind kind) const { return reported.kind == kind; }
    void Forget() { reported = ReportedFailure(); }
    // Exports a worksheet (sheet > 0) or the whole workbook into the folder as fileName; the PDF
    // counts only when this export wrote it.
    void Export(int sheet, const QString& folder, const QString& fileName, const QString& name)
    {
        reported = ReportedFailure();
        if (!FitsFileSystem(folder, fileName)) {
            Fail(name, ReasonOf(FailureKind::NameTooLong));
            return;
        }
        const QString pdf = PdfPath(folder, fileName);
        const FileStamp before(pdf);
        Note(sheet > 0 ? application.ExportSheet(sheet, pdf) : application.ExportWorkbook(pdf));
        if (FileStamp(pdf).WrittenSince(before)) {
            record.pdfs.append({name, pdf});
        } else if (reported.kind == FailureKind::NothingToPrint) {
            reported = ReportedFailure();
            Skip(name, SkippedSheet::Why::NothingToPrint);
        } else {
            Fail(name, ReasonOf(FailureKind::NoPdfWritten));
        }
    }

private:
    SpreadsheetApplication& application;
    WorkbookRecord& record;
    ReportedFailure reported;
};

// Whether a worksheet is hidden; false when it failed as one the application did not load (the
// office leaves out sheets whose names it does not take), under the name the workbook gives it,
// or could not be reached, under its number.
bool ReadHidden(SpreadsheetApplication& application, int sheet, WorkbookLog& log, bool& hidden)
{
    const Answer<bool> answer = application.Hidden(sheet);
    if (!answer.done) {
        log.Note(answer.failure);
        log.Fail(QStringLiteral("#%1").arg(sheet),
                 QCoreApplication::translate("FailureReasons", "无法读取工作表"));
        return false;
    }
    log.Forget();
    hidden = log.Take(answer);
    if (!log.Reported(FailureKind::SheetNameInvalid))
        return true;
    log.Fail(log.Take(application.Name(sheet)),
             QCoreApplication::translate("FailureReasons", "无法读取工作表"));
    return false;
}

// After a whole workbook's export that left sheets out: a failure for each of them.
void FailSheetsNotLoaded(SpreadsheetApplication& application, int sheetCount, WorkbookLog& log)
{
    for (int k = 1; k <= sheetCount; ++k) {
        const Answer<bool> reached = application.Hidden(k);
        log.Forget();
        log.Note(reached.failure);
        if (reached.done && log.Reported(FailureKind::SheetNameInvalid))
            log.Fail(log.Take(application.Name(k)),
                     QCoreApplication::translate("FailureReasons", "无法读取工作表"));
    }
    log.Forget();
}

// Exports each visible, non-blank worksheet of an open workbook to a PDF of its own.
void ExportSheets(SpreadsheetApplication& application, int sheetCount, const WorkbookTask& task,
                  const std::function<QString(const QString& stem)>& pdfName, WorkbookLog& log)
{
    for (int k = 1; k <= sheetCount; ++k) {
        bool hidden = false;
        if (!ReadHidden(application, k, log, hidden))
            continue;
        // Excel prints no hidden sheet, and a whole workbook's export leaves them out too.
        if (hidden) {
            log.Skip(log.Take(application.Name(k)), SkippedSheet::Why::Hidden);
            continue;
        }
        const Answer<bool> blank = application.Blank(k);
        log.Note(blank.failure);
        if (!blank.done) {
            log.Fail(QStringLiteral("#%1").arg(k),
                     QCoreApplication::translate("FailureReasons", "无法读取工作表的已用区域"));
            continue;
        }
        const QString name = log.Take(application.Name(k));
        if (blank.value) {
            log.Skip(name, SkippedSheet::Why::Blank);
            continue;
        }
        log.Export(k, task.folder, pdfName(task.baseName + '(' + SafeFileName(name) + ')'), name);
    }
}

} // namespace

QString NoApplicationLine(const ReportedFailure& failure)
{
    return QStringLiteral("Excel.Application: ") +
           (failure.kind == FailureKind::None
                ? QCoreApplication::translate("FailureReasons", "没有可用的办公软件")
                : Explain(failure).reason);
}

void ConvertWorkbook(SpreadsheetApplication& application, const WorkbookTask& task,
                     bool mergeSheets, const std::function<QString(const QString& stem)>& pdfName,
                     WorkbookRecord& record)
{
    QElapsedTimer timer;
    timer.start();
    WorkbookLog log(application, record);
    const CallResult opened = application.Open(task.path);
    log.Note(opened.failure);
    MakeDirPath(task.folder.toLocal8Bit().toStdString());
    if (opened.done) {
        record.opened = true;
        const Answer<int> sheets = application.SheetCount();
        log.Note(sheets.failure);
        if (!sheets.done)
            log.Fail(QString(),
                     QCoreApplication::translate("FailureReasons", "无法读取其中的工作表"));
        if (mergeSheets) {
            log.Export(0, task.folder, pdfName(task.baseName), QString());
            if (log.Reported(FailureKind::SheetNameInvalid))
                FailSheetsNotLoaded(application, sheets.value, log);
        } else {
            ExportSheets(application, sheets.value, task, pdfName, log);
        }
        application.Close();
    } else {
        log.Fail(QString(), QCoreApplication::translate("FailureReasons", "无法打开"));
    }
    record.outcome = record.opened && record.failures.isEmpty() ? WorkbookRecord::Outcome::Converted
                                                                : WorkbookRecord::Outcome::Failed;
    record.seconds = timer.elapsed() / 1000.0;
}
