#include "app/runprogressview.h"

#include "app/elidinglabel.h"

#include <QProgressBar>

RunProgressView::RunProgressView(QWidget* row, QProgressBar* bar, ElidingLabel* line,
                                 QObject* parent)
    : QObject(parent), row(row), bar(bar), line(line)
{
    ticks.setInterval(1000);
    connect(&ticks, &QTimer::timeout, this, &RunProgressView::Show);
}

void RunProgressView::Begin()
{
    progress = RunProgress();
    bar->setRange(0, 0); // busy until the list is known
    row->show();
    ticks.start();
    Show();
}

void RunProgressView::WorkbookBegun(const QString& path, int total, double work)
{
    bar->setRange(0, total);
    progress.SetTotal(total, work);
    progress.Begun(path);
}

void RunProgressView::WorkbookDone(const WorkbookRecord& workbook, int total, double work)
{
    progress.SetTotal(total, work);
    progress.Done(workbook);
    bar->setRange(0, total);
    bar->setValue(progress.DoneCount());
    Show();
}

void RunProgressView::End()
{
    ticks.stop();
    progress.End();
    if (bar->maximum() == 0)
        row->hide();
    Show();
}

void RunProgressView::Show()
{
    text = progress.Text();
    line->SetWholeText(text);
    emit Changed(text);
}
