#include "convert/runprogress.h"

#include "convert/applicationcount.h"
#include "convert/visibletext.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <algorithm>

RunProgress::RunProgress()
{
    clock.start();
}

void RunProgress::SetTotal(int workbooks, double work)
{
    total = workbooks;
    totalWork = work;
}

void RunProgress::Begun(const QString& path)
{
    QElapsedTimer since;
    since.start();
    inWork.insert(path, since);
}

void RunProgress::Done(const WorkbookRecord& workbook)
{
    inWork.remove(workbook.path);
    pdfs += workbook.pdfs.size();
    if (workbook.outcome != WorkbookRecord::Outcome::Converted &&
        workbook.outcome != WorkbookRecord::Outcome::Failed)
        return;
    // Workbooks, as the summary counts them, not their failed sheets.
    if (workbook.outcome == WorkbookRecord::Outcome::Failed)
        ++failures;
    ++done;
    doneWork += EstimatedWork(QFileInfo(workbook.path).size());
}

void RunProgress::End()
{
    if (ended)
        return;
    endedAfter = clock.elapsed();
    ended = true;
    inWork.clear();
}

QString RunProgress::LongestInWork() const
{
    QString longest;
    qint64 waited = -1;
    for (auto workbook = inWork.cbegin(); workbook != inWork.cend(); ++workbook)
        if (workbook.value().elapsed() > waited) {
            waited = workbook.value().elapsed();
            longest = workbook.key();
        }
    return longest;
}

qint64 RunProgress::Left() const
{
    const qint64 elapsed = Elapsed();
    if (ended || done == 0 || done >= total || doneWork <= 0 ||
        (done < EstimateAfterWorkbooks && elapsed < EstimateAfterMs))
        return -1;
    // What is in work counts as left: the time it has had is in the rate already.
    return static_cast<qint64>(static_cast<double>(elapsed) * std::max(0.0, totalWork - doneWork) /
                               doneWork);
}

QString RunProgress::Text() const
{
    QString text =
        QCoreApplication::translate("RunProgress", "%1/%2个excel文件，%3个pdf，失败%4个，已用%5")
            .arg(done)
            .arg(total)
            .arg(pdfs)
            .arg(failures)
            .arg(Duration(Elapsed()));
    const qint64 left = Left();
    // Under a second left would read 0:00 while a workbook may still take minutes.
    const bool estimated = left >= 1000;
    if (estimated)
        text += QCoreApplication::translate("RunProgress", "，约剩%1").arg(Duration(left));
    const QString longest = LongestInWork();
    if (longest.isEmpty())
        return text;
    const qint64 waited = inWork.value(longest).elapsed();
    if (waited > LongWaitMs || (!estimated && done > 0))
        text += QCoreApplication::translate("RunProgress", "，%1已等待%2秒")
                    .arg(VisibleText(QFileInfo(longest).fileName()))
                    .arg(waited / 1000);
    return text;
}

QString RunProgress::Duration(qint64 milliseconds)
{
    const qint64 seconds = milliseconds / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
