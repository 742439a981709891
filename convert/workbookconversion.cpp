#include "convert/workbookconversion.h"

#include "convert/failurereasons.h"
#include "convert/outputpaths.h"
#include "convert/pdfnames.h"
#include "support/filehelpers.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QFileInfo>

#include <vector>

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
// reported for the last failed call of the objects it watches.
class WorkbookLog
{
public:
    explicit WorkbookLog(WorkbookRecord& record) : record(record) {}
    ~WorkbookLog()
    {
        for (const QMetaObject::Connection& connection : connections)
            QObject::disconnect(connection);
    }
    WorkbookLog(const WorkbookLog&) = delete;
    WorkbookLog& operator=(const WorkbookLog&) = delete;

    void Watch(AutomationObject* object)
    {
        connections.push_back(QObject::connect(
            object, &AutomationObject::exception,
            [this](int code, const QString&, const QString& desc, const QString& help) {
                reported = FailureOfException(code, desc, help);
            }));
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
    // Exports target into the folder as fileName; the PDF counts only when this export wrote it.
    void Export(AutomationObject* target, const QString& folder, const QString& fileName,
                const QString& sheet)
    {
        reported = ReportedFailure();
        if (!FitsFileSystem(folder, fileName)) {
            Fail(sheet, ReasonOf(FailureKind::NameTooLong));
            return;
        }
        const QString pdf = PdfPath(folder, fileName);
        const FileStamp before(pdf);
        target->dynamicCall("ExportAsFixedFormat(QVariant,QVariant)", 0, pdf);
        if (FileStamp(pdf).WrittenSince(before)) {
            record.pdfs.append({sheet, pdf});
        } else if (reported.kind == FailureKind::NothingToPrint) {
            reported = ReportedFailure();
            Skip(sheet, SkippedSheet::Why::NothingToPrint);
        } else {
            Fail(sheet, ReasonOf(FailureKind::NoPdfWritten));
        }
    }

private:
    WorkbookRecord& record;
    ReportedFailure reported;
    std::vector<QMetaObject::Connection> connections;
};

// Excel's sheet visibility: -1 visible, 0 hidden, 2 very hidden.
bool IsHidden(const QVariant& visible)
{
    bool known = false;
    const int value = visible.toInt(&known);
    return known && (value == 0 || value == 2);
}

// A worksheet's Visible, false when the sheet failed there as one the application did not load
// (the office leaves out sheets whose names it does not take), under the name the workbook gives
// it.
bool ReadVisible(AutomationObject* sheet, WorkbookLog& log, QVariant& visible)
{
    log.Forget();
    visible = sheet->property("Visible");
    if (!log.Reported(FailureKind::SheetNameInvalid))
        return true;
    log.Fail(sheet->property("Name").toString(),
             QCoreApplication::translate("FailureReasons", "无法读取工作表"));
    return false;
}

// After a whole workbook's export that left sheets out: a failure for each of them.
void FailSheetsNotLoaded(AutomationObject* workbook, int sheetCount, WorkbookLog& log)
{
    for (int k = 1; k <= sheetCount; ++k) {
        AutomationObject* sheet = workbook->querySubObject("WorkSheets(int)", k);
        QVariant visible;
        if (sheet) {
            log.Watch(sheet);
            ReadVisible(sheet, log, visible);
        }
    }
    log.Forget();
}

// Whether a worksheet holds pictures, charts, shapes or controls. One whose drawings cannot be
// counted is taken to have some: its export then tells whether anything prints.
bool HasDrawings(AutomationObject* sheet)
{
    AutomationObject* shapes = sheet->querySubObject("Shapes");
    bool counted = false;
    const int count = shapes ? shapes->property("Count").toInt(&counted) : 0;
    return !counted || count > 0;
}

// Exports each visible, non-blank worksheet of an open workbook to a PDF of its own.
void ExportSheets(AutomationObject* workbook, int sheetCount, const WorkbookTask& task,
                  const std::function<QString(const QString& stem)>& pdfName, WorkbookLog& log)
{
    for (int k = 1; k <= sheetCount; ++k) {
        const QString unnamed = QStringLiteral("#%1").arg(k);
        AutomationObject* sheet = workbook->querySubObject("WorkSheets(int)", k);
        if (!sheet) {
            log.Fail(unnamed, QCoreApplication::translate("FailureReasons", "无法读取工作表"));
            continue;
        }
        log.Watch(sheet);
        QVariant visible;
        if (!ReadVisible(sheet, log, visible))
            continue;
        // Excel prints no hidden sheet, and a whole workbook's export leaves them out too.
        if (IsHidden(visible)) {
            log.Skip(sheet->property("Name").toString(), SkippedSheet::Why::Hidden);
            continue;
        }
        AutomationObject* range = sheet->querySubObject("UsedRange");
        const int row = range ? range->property("Row").toInt() : 0;
        const int column = range ? range->property("Column").toInt() : 0;
        AutomationObject* rows = range ? range->querySubObject("Rows") : nullptr;
        AutomationObject* columns = range ? range->querySubObject("Columns") : nullptr;
        AutomationObject* cell = sheet->querySubObject("Cells(int, int)", row, column);
        if (!range || !rows || !columns || !cell) {
            log.Fail(unnamed,
                     QCoreApplication::translate("FailureReasons", "无法读取工作表的已用区域"));
            continue;
        }
        // Counts first; a value only for a single-cell used range; drawings last, since the
        // used range leaves them out.
        const bool blank =
            rows->property("Count").toInt() == 1 && columns->property("Count").toInt() == 1 &&
            cell->dynamicCall("Value()").toString() == QString() && !HasDrawings(sheet);
        const QString name = sheet->property("Name").toString();
        if (blank) {
            log.Skip(name, SkippedSheet::Why::Blank);
            continue;
        }
        log.Export(sheet, task.folder, pdfName(task.baseName + '(' + SafeFileName(name) + ')'),
                   name);
    }
}

} // namespace

AutomationObject* OpenWorkbooks(AutomationObject& application, ReportedFailure& failure)
{
    const QMetaObject::Connection watch = QObject::connect(
        &application, &AutomationObject::exception,
        [&failure](int code, const QString&, const QString& desc, const QString& help) {
            failure = FailureOfException(code, desc, help);
        });
    application.setControl(QStringLiteral("Excel.Application"));
    application.dynamicCall("SetVisible (bool Visible)", "false");
    application.setProperty("DisplayAlerts", false);
    AutomationObject* workbooks = application.querySubObject("WorkBooks");
    QObject::disconnect(watch);
    return workbooks;
}

QString NoApplicationLine(const ReportedFailure& failure)
{
    return QStringLiteral("Excel.Application: ") +
           (failure.kind == FailureKind::None
                ? QCoreApplication::translate("FailureReasons", "没有可用的办公软件")
                : Explain(failure).reason);
}

void ConvertWorkbook(AutomationObject* workbooks, const WorkbookTask& task, bool mergeSheets,
                     const std::function<QString(const QString& stem)>& pdfName,
                     WorkbookRecord& record)
{
    QElapsedTimer timer;
    timer.start();
    WorkbookLog log(record);
    log.Watch(workbooks);
    AutomationObject* workbook = workbooks->querySubObject("Open(const QString&)", task.path);
    MakeDirPath(task.folder.toLocal8Bit().toStdString());
    if (workbook) {
        record.opened = true;
        log.Watch(workbook);
        AutomationObject* sheets = workbook->querySubObject("Sheets");
        if (!sheets)
            log.Fail(QString(),
                     QCoreApplication::translate("FailureReasons", "无法读取其中的工作表"));
        const int sheetCount = sheets ? sheets->property("Count").toInt() : 0;
        if (mergeSheets) {
            log.Export(workbook, task.folder, pdfName(task.baseName), QString());
            if (log.Reported(FailureKind::SheetNameInvalid))
                FailSheetsNotLoaded(workbook, sheetCount, log);
        } else {
            ExportSheets(workbook, sheetCount, task, pdfName, log);
        }
        workbook->dynamicCall("Close (Boolean)", false);
    } else {
        log.Fail(QString(), QCoreApplication::translate("FailureReasons", "无法打开"));
    }
    record.outcome = record.opened && record.failures.isEmpty() ? WorkbookRecord::Outcome::Converted
                                                                : WorkbookRecord::Outcome::Failed;
    record.seconds = timer.elapsed() / 1000.0;
}
