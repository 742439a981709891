#pragma once

#include "convert/runrecord.h"

#include <QElapsedTimer>
#include <QString>

// How far a run is, as the command line's live line and the window tell it: the workbooks done
// of the total, the PDFs and failures so far, the time taken and an estimate of the rest. Its
// clock starts with it.
class RunProgress
{
public:
    RunProgress();

    // A workbook's conversion has ended; total: the workbooks the run converts.
    void Done(const WorkbookRecord& workbook, int total);
    // The workbooks the run converts, once known before any has ended.
    void SetTotal(int workbooks) { total = workbooks; }

    int DoneCount() const { return done; }
    int Total() const { return total; }
    qint64 Elapsed() const { return clock.elapsed(); }
    // "3/20个excel文件，5个pdf，失败1个，已用0:42，约剩3:58".
    QString Text() const;

    // Minutes and seconds: "3:07".
    static QString Duration(qint64 milliseconds);

private:
    int done = 0;
    int total = 0;
    int pdfs = 0;
    int failures = 0;
    QElapsedTimer clock;
};
