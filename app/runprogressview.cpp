#include "app/runprogressview.h"

#include "app/elidinglabel.h"
#include "convert/visibletext.h"

#include <QFileInfo>
#include <QProgressBar>

namespace {

// A workbook in work longer than this may be one that its application does not answer.
constexpr qint64 LongWaitMs = 10000;

} // namespace

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
    inWork.clear();
    bar->setRange(0, 0); // busy until the list is known
    row->show();
    ticks.start();
    Show();
}

void RunProgressView::WorkbookBegun(const QString& path, int total)
{
    bar->setRange(0, total);
    progress.SetTotal(total);
    QElapsedTimer since;
    since.start();
    inWork.insert(path, since);
}

void RunProgressView::WorkbookDone(const WorkbookRecord& workbook, int total)
{
    inWork.remove(workbook.path);
    progress.Done(workbook, total);
    bar->setRange(0, total);
    bar->setValue(progress.DoneCount());
    Show();
}

void RunProgressView::End()
{
    ticks.stop();
    inWork.clear();
    if (bar->maximum() == 0)
        row->hide();
    Show();
}

void RunProgressView::Show()
{
    text = progress.Text();
    // The longest wait counts: with several applications, one may hang while others go on.
    QString longest;
    qint64 waited = 0;
    for (auto workbook = inWork.cbegin(); workbook != inWork.cend(); ++workbook)
        if (workbook.value().elapsed() > waited) {
            waited = workbook.value().elapsed();
            longest = workbook.key();
        }
    if (waited > LongWaitMs)
        text +=
            tr("，%1已等待%2秒").arg(VisibleText(QFileInfo(longest).fileName())).arg(waited / 1000);
    line->SetWholeText(text);
    emit Changed(text);
}
