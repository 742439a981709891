#include "convert/runrecord.h"

#include "convert/visibletext.h"

#include <QCoreApplication>

int RunRecord::OpenedWorkbooks() const
{
    int opened = 0;
    for (const WorkbookRecord& workbook : workbooks)
        opened += workbook.opened;
    return opened;
}

int RunRecord::Pdfs() const
{
    int pdfs = 0;
    for (const WorkbookRecord& workbook : workbooks)
        pdfs += workbook.pdfs.size();
    return pdfs;
}

int RunRecord::RemovedPdfs() const
{
    int removed = 0;
    for (const WorkbookRecord& workbook : workbooks)
        removed += workbook.removedPdfs.size();
    return removed;
}

int RunRecord::WithOutcome(WorkbookRecord::Outcome outcome) const
{
    int count = 0;
    for (const WorkbookRecord& workbook : workbooks)
        count += workbook.outcome == outcome;
    return count;
}

QStringList RunRecord::FailureLines() const
{
    QStringList lines = runFailures;
    for (const WorkbookRecord& workbook : workbooks) {
        const QString shown = VisibleText(workbook.path);
        for (const FailureRecord& failure : workbook.failures)
            lines << (failure.sheet.isEmpty() ? shown
                                              : shown + '(' + VisibleText(failure.sheet) + ')') +
                         ": " + failure.reason;
    }
    return lines;
}

QString RunRecord::Summary(bool everyFailureListedAfter) const
{
    QString text = QCoreApplication::translate("Run", "成功将%1个excel文件转换为%2个pdf文件。")
                       .arg(Converted())
                       .arg(Pdfs());
    if (const int upToDate = UpToDate())
        text += '\n' + UpToDateLine(upToDate);
    if (const int removed = RemovedPdfs())
        text += '\n' + RemovedPdfsLine(removed);
    const QStringList failures = FailureLines();
    if (failures.isEmpty())
        return text;
    text += '\n' + FailuresLine(Failed());
    for (int i = 0; i < failures.size() && i < SummaryNamedFailures; ++i)
        text += '\n' + failures[i];
    if (failures.size() > SummaryNamedFailures && !everyFailureListedAfter)
        text += '\n' + QCoreApplication::translate("Run", "另有%1个失败未列出。")
                           .arg(failures.size() - SummaryNamedFailures);
    return text;
}

QString RemovedPdfsLine(int removed)
{
    return QCoreApplication::translate("Run", "已删除%1个不再生成的pdf文件。").arg(removed);
}

QString UpToDateLine(int upToDate)
{
    return QCoreApplication::translate("Run", "另有%1个excel文件未改动，已跳过。").arg(upToDate);
}

QString FailuresLine(int failures)
{
    return QCoreApplication::translate("Run", "失败%1个：").arg(failures);
}

QString StoppedLine(int notConverted)
{
    return QCoreApplication::translate("Run", "转换已中止：%1个excel文件未转换。")
        .arg(notConverted);
}

QString UnsandboxedLine(const QString& why)
{
    return QCoreApplication::translate("Run", "注意：转换未在沙箱中进行：%1").arg(why);
}
