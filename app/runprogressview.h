#pragma once

#include "convert/runprogress.h"

#include <QObject>
#include <QString>
#include <QTimer>

class ElidingLabel;
class QProgressBar;
class QWidget;

// The window's progress of a run: a bar of the workbooks ended of the total and the line of
// RunProgress, counted each second so that a hang shows. The short text goes to whoever listens
// to Changed() (the tray's tool tip).
class RunProgressView : public QObject
{
    Q_OBJECT

public:
    RunProgressView(QWidget* row, QProgressBar* bar, ElidingLabel* line, QObject* parent);

    void Begin();
    // total: the workbooks that the run converts; work: their estimated work in seconds.
    void WorkbookBegun(const QString& path, int total, double work);
    void WorkbookDone(const WorkbookRecord& workbook, int total, double work);
    // The run has ended: the bar and the line are final, the workbooks ended of the total and
    // the time taken; a run without workbooks shows none.
    void End();

    QString Text() const { return text; }
    // The workbook longest in work, empty when none is.
    QString LongestInWork() const { return progress.LongestInWork(); }

signals:
    void Changed(const QString& text);

private:
    void Show();

    QWidget* row;
    QProgressBar* bar;
    ElidingLabel* line;
    RunProgress progress;
    QTimer ticks;
    QString text;
};
