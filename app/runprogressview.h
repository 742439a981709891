#pragma once

#include "convert/runprogress.h"

#include <QElapsedTimer>
#include <QMap>
#include <QObject>
#include <QString>
#include <QTimer>

class ElidingLabel;
class QProgressBar;
class QWidget;

// The window's progress of a run: a bar of the workbooks done of the total and a line with the
// PDFs and failures so far, the time taken and an estimate of the rest (as the command line's
// live line says it), and, while a workbook has been in work for more than 10 s, how long it has
// been waited for, counted each second, so that a hang shows. The short text goes to whoever
// listens to Changed() (the tray's tool tip).
class RunProgressView : public QObject
{
    Q_OBJECT

public:
    RunProgressView(QWidget* row, QProgressBar* bar, ElidingLabel* line, QObject* parent);

    void Begin();
    // total: the workbooks that the run converts.
    void WorkbookBegun(const QString& path, int total);
    void WorkbookDone(const WorkbookRecord& workbook, int total);
    // The run has ended: the counts stay, the clock and the waiting count stop; a run without
    // workbooks shows none.
    void End();

    QString Text() const { return text; }

signals:
    void Changed(const QString& text);

private:
    void Show();

    QWidget* row;
    QProgressBar* bar;
    ElidingLabel* line;
    RunProgress progress;
    // The workbooks in work, by path, with how long each has been.
    QMap<QString, QElapsedTimer> inWork;
    QTimer ticks;
    QString text;
};
