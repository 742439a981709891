#include "convert/mergeobject.h"

#include "convert/automationobject.h"
#include "convert/outputpaths.h"
#include "convert/pdfnames.h"
#include "convert/runsettings.h"
#include "convert/visibletext.h"
#include "convert/workbookdiscovery.h"
#include "support/filehelpers.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#ifdef Q_OS_WIN
#include <objbase.h>
#endif

namespace {

// How many failures the summary names; the rest are only counted there.
constexpr int NamedFailures = 5;

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

// The counts and failures of one run, and the reason the application gave for the last failed
// call of the objects it watches.
class RunLog
{
public:
    explicit RunLog(QStringList& failures) : failures(failures) {}

    void Watch(AutomationObject* object)
    {
        QObject::connect(
            object, &AutomationObject::exception,
            [this](int, const QString&, const QString& desc, const QString&) { reason = desc; });
    }
    void ForgetReason() { reason.clear(); }
    void Fail(const QString& what, const QString& fallback)
    {
        failures << what + ": " + (reason.isEmpty() ? fallback : reason);
        reason.clear();
    }
    // Exports target into folder/fileName; counts the PDF only when this export wrote it.
    void Export(AutomationObject* target, const QString& folder, const QString& fileName,
                const QString& what)
    {
        reason.clear();
        if (!FitsFileSystem(folder, fileName)) {
            Fail(what, QStringLiteral("the PDF's name is longer than the file system allows"));
            return;
        }
        const QString pdf = PdfPath(folder, fileName);
        const FileStamp before(pdf);
        target->dynamicCall("ExportAsFixedFormat(QVariant,QVariant)", 0, pdf);
        if (FileStamp(pdf).WrittenSince(before))
            ++pdfs;
        else
            Fail(what, QStringLiteral("no PDF was written"));
    }

    int workbooks = 0;
    int pdfs = 0;

private:
    QStringList& failures;
    QString reason;
};

// Excel's sheet visibility: -1 visible, 0 hidden, 2 very hidden.
bool IsHidden(const QVariant& visible)
{
    bool known = false;
    const int value = visible.toInt(&known);
    return known && (value == 0 || value == 2);
}

// Exports each visible, non-blank worksheet of an open workbook to a PDF of its own. shown: the
// workbook's path as status texts show it.
void ExportSheets(AutomationObject* workbook, int sheetCount, const QString& shown,
                  const QString& folder, const QString& baseName, RunLog& log)
{
    PdfNamesOfWorkbook names;
    for (int k = 1; k <= sheetCount; ++k) {
        const QString unnamed = shown + QStringLiteral("(#%1)").arg(k);
        AutomationObject* sheet = workbook->querySubObject("WorkSheets(int)", k);
        if (!sheet) {
            log.Fail(unnamed, QStringLiteral("the worksheet cannot be read"));
            continue;
        }
        log.Watch(sheet);
        // Excel prints no hidden sheet, and a whole workbook's export leaves them out too.
        if (IsHidden(sheet->property("Visible")))
            continue;
        AutomationObject* range = sheet->querySubObject("UsedRange");
        const int row = range ? range->property("Row").toInt() : 0;
        const int column = range ? range->property("Column").toInt() : 0;
        AutomationObject* rows = range ? range->querySubObject("Rows") : nullptr;
        AutomationObject* columns = range ? range->querySubObject("Columns") : nullptr;
        AutomationObject* cell = sheet->querySubObject("Cells(int, int)", row, column);
        if (!range || !rows || !columns || !cell) {
            log.Fail(unnamed, QStringLiteral("the worksheet's used range cannot be read"));
            continue;
        }
        // Counts first; a value only for a single-cell used range.
        const bool blank = rows->property("Count").toInt() == 1 &&
                           columns->property("Count").toInt() == 1 &&
                           cell->dynamicCall("Value()").toString() == QString();
        if (blank)
            continue;
        const QString name = sheet->property("Name").toString();
        log.Export(sheet, folder, names.Take(baseName + '(' + SafeFileName(name) + ')'),
                   shown + '(' + VisibleText(name) + ')');
    }
}

QString Summary(int workbooks, int pdfs, const QStringList& failures)
{
    QString text =
        QStringLiteral("成功将%1个excel文件转换为%2个pdf文件。").arg(workbooks).arg(pdfs);
    if (failures.isEmpty())
        return text;
    text += QStringLiteral("\n失败%1个：").arg(failures.size());
    for (int i = 0; i < failures.size() && i < NamedFailures; ++i)
        text += '\n' + failures[i];
    if (failures.size() > NamedFailures)
        text += QStringLiteral("\n另有%1个失败未列出。").arg(failures.size() - NamedFailures);
    return text;
}

} // namespace

MergeObject::MergeObject(QObject* parent) : QObject(parent) {}

void MergeObject::RequestStop()
{
    stopRequested = true;
}

void MergeObject::Transform()
{
    failures.clear();
    notConverted = 0;
    // From the absolute, cleaned folder, so that a relative text gives the tree its absolute
    // form gives.
    const QString source = QDir::cleanPath(QFileInfo(SourcePath).absoluteFilePath());
    QFileInfoList books;
    for (const QFileInfo& entry : GetFileInfoList(source, &failures))
        if (IsWorkbookPath(entry))
            books << entry;
    // Decided before any export, so that no PDF of the run overwrites another.
    const QStringList baseNames = PdfBaseNames(books);
#ifdef Q_OS_WIN
    CoInitializeEx(nullptr, 0);
#endif
    RunLog log(failures);
    auto* excel = new AutomationObject(this);
    log.Watch(excel);
    emit ShowDisposingFile(QStringLiteral("excel OK!"));
    excel->setControl(QStringLiteral("Excel.Application"));
    excel->dynamicCall("SetVisible (bool Visible)", "false");
    excel->setProperty("DisplayAlerts", false);
    AutomationObject* workbooks = excel->querySubObject("WorkBooks");
    emit ShowDisposingFile(QStringLiteral("WorkBooks OK!"));

    if (!workbooks) {
        log.Fail(QStringLiteral("Excel.Application"),
                 QStringLiteral("no spreadsheet application answered"));
        emit ShowDisposingFile(QStringLiteral(
            "本功能需要电脑中装有微软office或金山wps专业版(注意是专业版,不是个人版)!"));
    } else {
        log.Watch(workbooks);
        for (int i = 0; i < books.size(); ++i) {
            if (stopRequested) {
                notConverted = books.size() - i;
                break;
            }
            const QString path = QDir::toNativeSeparators(books[i].filePath());
            const QString shown = VisibleText(path);
            emit ShowDisposingFile(shown);
            log.ForgetReason();
            AutomationObject* workbook = workbooks->querySubObject("Open(const QString&)", path);
            const QString folder = OutputFolder(path, source, SavePath, SaveToQuondamPath);
            MakeDirPath(folder.toLocal8Bit().toStdString());
            if (!workbook) {
                log.Fail(shown, QStringLiteral("cannot be opened"));
                continue;
            }
            log.Watch(workbook);
            AutomationObject* sheets = workbook->querySubObject("Sheets");
            if (!sheets)
                log.Fail(shown, QStringLiteral("its worksheets cannot be read"));
            const int sheetCount = sheets ? sheets->property("Count").toInt() : 0;
            if (MergeSheets)
                log.Export(workbook, folder, PdfNamesOfWorkbook().Take(baseNames[i]), shown);
            else
                ExportSheets(workbook, sheetCount, shown, folder, baseNames[i], log);
            ++log.workbooks;
            workbook->dynamicCall("Close (Boolean)", false);
        }
        emit ShowDisposingFile(Summary(log.workbooks, log.pdfs, failures));
    }
    excel->dynamicCall("Quit(void)");
    delete excel;
    emit Signal_SetButtonEnable();
}
