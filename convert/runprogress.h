#pragma once

#include "convert/runrecord.h"

#include <QElapsedTimer>
#include <QMap>
#include <QString>

// How far a run is, as the command line's live line and the window tell it: the workbooks ended
// (converted or failed) of the total, the PDFs and failed workbooks so far, the time taken and,
// once it means something, an estimate of the rest, its workbooks weighted by size as the offices'
// start rule weights them. Its clock starts with it and stops at End(), after which the line is
// final: no estimate, no workbook in work.
class RunProgress
{
public:
    RunProgress();

    // The workbooks the run converts and their estimated work in seconds (EstimatedWork()).
    void SetTotal(int workbooks, double work);
    // A workbook's conversion has begun.
    void Begun(const QString& path);
    // A workbook's conversion has ended; one cut off by a stop has not ended as done.
    void Done(const WorkbookRecord& workbook);
    void End();

    int DoneCount() const { return done; }
    int Total() const { return total; }
    qint64 Elapsed() const { return ended ? endedAfter : clock.elapsed(); }
    // The workbook longest in work, empty when none is.
    QString LongestInWork() const;
    // "3/20个excel文件，5个pdf，失败1个，已用0:42，约剩3:58", with, while a workbook has been in
    // work longer than LongWaitMs, or after the first has ended while no estimate is shown (so
    // that a long last workbook never reads as nothing left), "，<file>已等待N秒" for the one
    // longest in work.
    QString Text() const;

    // Minutes and seconds: "3:07".
    static QString Duration(qint64 milliseconds);

private:
    // A workbook in work longer than this may be one that its application does not answer.
    static constexpr qint64 LongWaitMs = 10000;
    // The estimate means something only once this much is behind the run.
    static constexpr int EstimateAfterWorkbooks = 3;
    static constexpr qint64 EstimateAfterMs = 10000;

    // The estimated milliseconds left, or -1 while there is no estimate to show.
    qint64 Left() const;

    int done = 0;
    int total = 0;
    int pdfs = 0;
    int failures = 0; // failed workbooks
    double totalWork = 0;
    double doneWork = 0;
    bool ended = false;
    qint64 endedAfter = 0;
    QElapsedTimer clock;
    // The workbooks in work, by path, with how long each has been.
    QMap<QString, QElapsedTimer> inWork;
};
