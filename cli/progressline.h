#pragma once

#include "convert/runprogress.h"

#include <QString>

// The live line a long run keeps on standard error when that is a terminal: its progress
// (RunProgress). Nothing at all when standard error is not a terminal.
class ProgressLine
{
public:
    ProgressLine();
    ~ProgressLine();
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    void Update(const RunProgress& progress);
    // Takes the line away, so that other output can be printed; Show() puts it back.
    void Hide();
    void Show();

private:
    bool enabled;
    bool shown = false;
    QString text;
};
