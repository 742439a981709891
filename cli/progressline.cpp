#include "cli/progressline.h"

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

ProgressLine::ProgressLine() : enabled(isatty(fileno(stderr))) {}

ProgressLine::~ProgressLine()
{
    Hide();
}

void ProgressLine::Update(const RunProgress& progress)
{
    if (!enabled)
        return;
    text = progress.Text();
    Show();
}

void ProgressLine::Hide()
{
    if (!shown)
        return;
    // Back to the line's start and clear it.
    std::fputs("\r\x1b[K", stderr);
    std::fflush(stderr);
    shown = false;
}

void ProgressLine::Show()
{
    if (!enabled || text.isEmpty())
        return;
    std::fprintf(stderr, "\r\x1b[K%s", text.toLocal8Bit().constData());
    std::fflush(stderr);
    shown = true;
}
