#include "convert/runreport.h"

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
        return QStringLiteral("已转换");
    case WorkbookRecord::Outcome::Failed:
        return QStringLiteral("失败");
    case WorkbookRecord::Outcome::UpToDate:
        return QStringLiteral("未改动，已跳过");
    case WorkbookRecord::Outcome::NotReached:
        break;
    }
    return QStringLiteral("未转换（运行已中止）");
}

// Why a sheet was left out, in the JSON report and for people, in the order of SkippedSheet::Why.
const struct
{
    const char* json;
    const char* text;
} SkipReasons[] = {{"blank", "空白"}, {"hidden", "隐藏"}, {"nothing to print", "没有可打印的内容"}};

QString Skipped(SkippedSheet::Why why)
{
    return QString::fromUtf8(SkipReasons[static_cast<int>(why)].json);
}

QString SkippedText(SkippedSheet::Why why)
{
    return QString::fromUtf8(SkipReasons[static_cast<int>(why)].text);
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
    QString text = QStringLiteral("excel文件批量转pdf：转换报告\n\n");
    text += QStringLiteral("开始：%1\n结束：%2\n").arg(Time(record.started), Time(record.ended));
    text += QStringLiteral("Excel文件所在文件夹：%1\n").arg(record.source);
    text += record.besideSource ? QStringLiteral("转换后保存在原文件夹路径\n")
                                : QStringLiteral("转换后保存到该文件夹：%1\n").arg(record.output);
    text += record.mergeSheets ? QStringLiteral("1个excel文件对应1个pdf\n")
                               : QStringLiteral("1个sheet对应1个pdf\n");
    text += '\n' + record.Summary().section('\n', 0, 0) + '\n';
    if (const int upToDate = record.UpToDate())
        text += QStringLiteral("另有%1个excel文件未改动，已跳过。\n").arg(upToDate);
    if (record.stopped)
        text += QStringLiteral("转换已中止：%1个excel文件未转换。\n").arg(record.NotConverted());

    const QStringList lines = record.FailureLines();
    if (!lines.isEmpty()) {
        text += QStringLiteral("\n失败%1个：\n").arg(lines.size());
        for (const QString& line : lines)
            text += line + '\n';
    }
    text += QStringLiteral("\n各excel文件：\n");
    for (const WorkbookRecord& workbook : record.workbooks) {
        text += QStringLiteral("\n[%1] %2").arg(OutcomeText(workbook.outcome), workbook.path);
        if (workbook.outcome != WorkbookRecord::Outcome::NotReached &&
            workbook.outcome != WorkbookRecord::Outcome::UpToDate)
            text += QStringLiteral("（%1秒）").arg(workbook.seconds, 0, 'f', 2);
        text += '\n';
        for (const PdfRecord& pdf : workbook.pdfs)
            text += QStringLiteral("    pdf：%1\n").arg(pdf.path);
        for (const SkippedSheet& skipped : workbook.skipped)
            text +=
                QStringLiteral("    %1，未转换：%2\n").arg(SkippedText(skipped.why), skipped.sheet);
        for (const FailureRecord& failure : workbook.failures) {
            text +=
                QStringLiteral("    失败：") +
                (failure.sheet.isEmpty() ? QString() : '(' + failure.sheet + QStringLiteral(") ")) +
                failure.reason + '\n';
            if (!failure.detail.isEmpty())
                text += QStringLiteral("        办公软件的原话：%1\n").arg(failure.detail);
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
        });
    }
    return QJsonObject{
        {"settings",
         QJsonObject{{"source", record.source},
                     {"output", record.besideSource ? QJsonValue() : QJsonValue(record.output)},
                     {"besideSource", record.besideSource},
                     {"mergeSheets", record.mergeSheets},
                     {"jobs", record.jobs}}},
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
                     {"removedTemporaryPdfs", record.removedTemporaryPdfs}}},
        {"runFailures", QJsonArray::fromStringList(record.runFailures)},
        {"workbooks", workbooks},
    };
}
