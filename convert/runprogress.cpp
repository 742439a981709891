#include "convert/runprogress.h"

#include <QCoreApplication>

RunProgress::RunProgress()
{
    clock.start();
}

void RunProgress::Done(const WorkbookRecord& workbook, int workbooks)
{
    ++done;
    total = workbooks;
    pdfs += workbook.pdfs.size();
    failures += workbook.failures.size();
}

QString RunProgress::Text() const
{
    const qint64 elapsed = clock.elapsed();
    QString text =
        QCoreApplication::translate("RunProgress", "%1/%2个excel文件，%3个pdf，失败%4个，已用%5")
            .arg(done)
            .arg(total)
            .arg(pdfs)
            .arg(failures)
            .arg(Duration(elapsed));
    if (done > 0 && done < total)
        text += QCoreApplication::translate("RunProgress", "，约剩%1")
                    .arg(Duration(elapsed * (total - done) / done));
    return text;
}

QString RunProgress::Duration(qint64 milliseconds)
{
    const qint64 seconds = milliseconds / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}
