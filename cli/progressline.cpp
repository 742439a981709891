#include "cli/progressline.h"

#include <cstdio>

#ifdef Q_OS_WIN
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <unistd.h>
#endif

namespace {

QString Duration(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

ProgressLine::ProgressLine() : enabled(isatty(fileno(stderr)))
{
    clock.start();
}

ProgressLine::~ProgressLine()
{
    Hide();
}

void ProgressLine::Update(int done, int total, int pdfs, int failures)
{
    if (!enabled)
        return;
    const qint64 elapsed = clock.elapsed();
    text = QStringLiteral("%1/%2个excel文件，%3个pdf，失败%4个，已用%5")
               .arg(done)
               .arg(total)
               .arg(pdfs)
               .arg(failures)
               .arg(Duration(elapsed));
    if (done > 0 && done < total)
        text += QStringLiteral("，约剩%1").arg(Duration(elapsed * (total - done) / done));
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
