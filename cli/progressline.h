#pragma once

#include <QElapsedTimer>
#include <QString>

// The live line a long run keeps on standard error when that is a terminal: workbooks done of
// the total, PDFs and failures so far, the time taken and an estimate of the rest. Nothing at all
// when standard error is not a terminal.
class ProgressLine
{
public:
    ProgressLine();
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void Update(int done, int total, int pdfs, int failures);
    // Takes the line away, so that other output can be printed; Show() puts it back.
    void Hide();
    void Show();

private:
    bool enabled;
    bool shown = false;
    QString text;
    QElapsedTimer clock;
};
