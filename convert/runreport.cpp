#include "convert/runreport.h"

#include "convert/visibletext.h"
#include "convert/workbookdiscovery.h"

#include <QCoreApplication>
#include <QJsonArray>

namespace {

QString Outcome(WorkbookRecord::Outcome outcome)
{
    switch (outcome) {
    case WorkbookRecord::Outcome::Converted:
        return QStringLiteral("converted");
    case WorkbookRecord::Outcome::Failed:
        return QStringLiteral("failed");
    case WorkbookRecord::Outcome::UpToDate:
        return QStringLiteral("up to date");
    case WorkbookRecord::Outcome::NotReached:
        break;
    }
    return QStringLiteral("stopped");
}

QString OutcomeText(WorkbookRecord::Outcome outcome)
{
    switch (outcome) {
    case WorkbookRecord::Outcome::Converted:
        return QCoreApplication::translate("Run", "已转换");
    case WorkbookRecord::Outcome::Failed:
        return QCoreApplication::translate("Run", "失败");
    case WorkbookRecord::Outcome::UpToDate:
        return QCoreApplication::translate("Run", "未改动，已跳过");
    case WorkbookRecord::Outcome::NotReached:
        break;
    }
    return QCoreApplication::translate("Run", "未转换（运行已中止）");
}

// Why a sheet was left out, in the JSON report and for people, in the order of SkippedSheet::Why.
const struct
{
    const char* json;
    const char* text;
} SkipReasons[] = {{"blank", QT_TRANSLATE_NOOP("Run", "空白")},
                   {"hidden", QT_TRANSLATE_NOOP("Run", "隐藏")},
                   {"nothing to print", QT_TRANSLATE_NOOP("Run", "没有可打印的内容")}};

QString Skipped(SkippedSheet::Why why)
{
    return QString::fromUtf8(SkipReasons[static_cast<int>(why)].json);
}

QString SkippedText(SkippedSheet::Why why)
{
    return QCoreApplication::translate("Run", SkipReasons[static_cast<int>(why)].text);
}

QString LeftOutKey(LeftOutFolder::Why why)
{
    switch (why) {
    case LeftOutFolder::Why::OutsideSource:
        break;
    case LeftOutFolder::Why::VirtualFileSystem:
        return QStringLiteral("virtual file system");
    }
    return QStringLiteral("link outside source");
}

QJsonValue TextOrNull(const QString& text)
{
    return text.isNull() ? QJsonValue() : QJsonValue(text);
}

// Local time for people, UTC for programs.
QString Time(const QDateTime& time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

QString UtcTime(const QDateTime& time)
{
    return time.toUTC().toString(Qt::ISODate);
}

} // namespace

QString TextReport(const RunRecord& record)
{
    const QString indent = QStringLiteral("    ");
    QString text = QCoreApplication::translate("Run", "excel文件批量转pdf：转换报告") + "\n\n";
    text += QCoreApplication::translate("Run", "开始：%1").arg(Time(record.started)) + '\n';
    text += QCoreApplication::translate("Run", "结束：%1").arg(Time(record.ended)) + '\n';
    text += QCoreApplication::translate("Run", "Excel文件所在文件夹：%1").arg(record.source) + '\n';
    text +=
        (record.besideSource
             ? QCoreApplication::translate("Run", "转换后保存在原文件夹路径")
             : QCoreApplication::translate("Run", "转换后保存到该文件夹：%1").arg(record.output)) +
        '\n';
    text += (record.mergeSheets ? QCoreApplication::translate("Run", "1个excel文件对应1个pdf")
                                : QCoreApplication::translate("Run", "1个sheet对应1个pdf")) +
            '\n';
    text += (record.sandboxed ? QCoreApplication::translate("Run", "转换在沙箱中进行")
                              : UnsandboxedLine(record.unsandboxedBecause)) +
            '\n';
    text += '\n' + record.Summary().section('\n', 0, 0) + '\n';
    if (const int upToDate = record.UpToDate())
        text += UpToDateLine(upToDate) + '\n';
    if (const int removed = record.RemovedPdfs())
        text += RemovedPdfsLine(removed) + '\n';
    if (record.stopped)
        text += StoppedLine(record.NotConverted()) + '\n';

    const QStringList lines = record.FailureLines();
    if (!lines.isEmpty()) {
        text += '\n' + FailuresLine(record.Failed()) + '\n';
        for (const QString& line : lines)
            text += line + '\n';
    }
    if (!record.leftOutFolders.isEmpty()) {
        text += '\n' + QCoreApplication::translate("Run", "未进入的文件夹：") + '\n';
        for (const LeftOutFolder& folder : record.leftOutFolders)
            text +=
                VisibleText(folder.path) + QStringLiteral(": ") + LeftOutReason(folder.why) + '\n';
    }
    text += '\n' + QCoreApplication::translate("Run", "各excel文件：") + '\n';
    for (const WorkbookRecord& workbook : record.workbooks) {
        text += QStringLiteral("\n[%1] %2").arg(OutcomeText(workbook.outcome), workbook.path);
        if (workbook.outcome != WorkbookRecord::Outcome::NotReached &&
            workbook.outcome != WorkbookRecord::Outcome::UpToDate)
            text += QCoreApplication::translate("Run", "（%1秒）").arg(workbook.seconds, 0, 'f', 2);
        text += '\n';
        for (const PdfRecord& pdf : workbook.pdfs)
            text += indent + QCoreApplication::translate("Run", "pdf：%1").arg(pdf.path) + '\n';
        for (const QString& removed : workbook.removedPdfs)
            text += indent +
                    QCoreApplication::translate("Run", "已删除不再生成的pdf：%1").arg(removed) +
                    '\n';
        for (const SkippedSheet& skipped : workbook.skipped)
            text += indent +
                    QCoreApplication::translate("Run", "%1，未转换：%2")
                        .arg(SkippedText(skipped.why), skipped.sheet) +
                    '\n';
        for (const FailureRecord& failure : workbook.failures) {
            text +=
                indent + QCoreApplication::translate("Run", "失败：") +
                (failure.sheet.isEmpty() ? QString() : '(' + failure.sheet + QStringLiteral(") ")) +
                failure.reason + '\n';
            if (!failure.detail.isEmpty())
                text +=
                    indent + indent +
                    QCoreApplication::translate("Run", "办公软件的原话：%1").arg(failure.detail) +
                    '\n';
        }
    }
    return text;
}

QJsonObject JsonReport(const RunRecord& record)
{
    QJsonArray workbooks;
    for (const WorkbookRecord& workbook : record.workbooks) {
        QJsonArray pdfs, failures;
        for (const PdfRecord& pdf : workbook.pdfs)
            pdfs.append(QJsonObject{
                {"sheet", TextOrNull(pdf.sheet)}, {"path", pdf.path}, {"skipped", QJsonValue()}});
        for (const SkippedSheet& skipped : workbook.skipped)
            pdfs.append(QJsonObject{{"sheet", skipped.sheet},
                                    {"path", QJsonValue()},
                                    {"skipped", Skipped(skipped.why)}});
        for (const FailureRecord& failure : workbook.failures)
            failures.append(QJsonObject{
                {"sheet", failure.sheet.isEmpty() ? QJsonValue() : QJsonValue(failure.sheet)},
                {"reason", failure.reason},
                {"detail", failure.detail.isEmpty() ? QJsonValue() : QJsonValue(failure.detail)}});
        workbooks.append(QJsonObject{
            {"path", workbook.path},
            {"outcome", Outcome(workbook.outcome)},
            {"reason", workbook.failures.isEmpty() ? QJsonValue()
                                                   : QJsonValue(workbook.failures.first().reason)},
            {"seconds", workbook.seconds},
            {"pdfs", pdfs},
            {"failures", failures},
            {"removedPdfs", QJsonArray::fromStringList(workbook.removedPdfs)},
        });
    }
    QJsonArray leftOutFolders;
    for (const LeftOutFolder& folder : record.leftOutFolders)
        leftOutFolders.append(
            QJsonObject{{"path", folder.path}, {"reason", LeftOutKey(folder.why)}});
    return QJsonObject{
        {"settings",
         QJsonObject{{"source", record.source},
                     {"output", record.besideSource ? QJsonValue() : QJsonValue(record.output)},
                     {"besideSource", record.besideSource},
                     {"mergeSheets", record.mergeSheets},
                     {"jobs", record.jobs},
                     {"sandboxed", record.sandboxed},
                     {"unsandboxedBecause",
                      record.sandboxed ? QJsonValue() : QJsonValue(record.unsandboxedBecause)}}},
        {"started", UtcTime(record.started)},
        {"ended", UtcTime(record.ended)},
        {"stopped", record.stopped},
        {"totals",
         QJsonObject{{"workbooks", record.AllWorkbooks()},
                     {"converted", record.WithOutcome(WorkbookRecord::Outcome::Converted)},
                     {"failed", record.FailedWorkbooks()},
                     {"notConverted", record.NotConverted()},
                     {"upToDate", record.UpToDate()},
                     {"opened", record.OpenedWorkbooks()},
                     {"pdfs", record.Pdfs()},
                     {"failures", record.FailureLines().size()},
                     {"removedTemporaryPdfs", record.removedTemporaryPdfs},
                     {"removedPdfs", record.RemovedPdfs()}}},
        {"runFailures", QJsonArray::fromStringList(record.runFailures)},
        {"leftOutFolders", leftOutFolders},
        {"workbooks", workbooks},
    };
}
