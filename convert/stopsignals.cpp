#include "convert/stopsignals.h"

#include <atomic>
#include <csignal>
#include <cstdlib>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <thread>

#include <fcntl.h>
#include <unistd.h>
#endif

namespace {

std::atomic<int> firstSignal{0};

#ifdef Q_OS_WIN

StopSignals* catcher = nullptr;

// The second event is left to the system, which ends the program; COM releases Excel.
BOOL WINAPI OnConsoleEvent(DWORD event)
{
    int none = 0;
    if ((event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT) ||
        !firstSignal.compare_exchange_strong(none, SIGINT))
        return FALSE;
    emit catcher->StopRequested(SIGINT);
    return TRUE;
}

#else

const int StopSignalNumbers[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction previous[3];
bool caught[3] = {};
// The handler only writes the signal's number here; the watcher thread acts on it. A 0 tells the
// watcher to end.
int wakeUp[2] = {-1, -1};
std::thread watcher;

void OnSignal(int signal)
{
    const int savedErrno = errno;
    const unsigned char number = static_cast<unsigned char>(signal);
    // Should the pipe be full, it already holds signals enough to act on.
    [[maybe_unused]] const ssize_t written = write(wakeUp[1], &number, 1);
    errno = savedErrno;
}

void Watch(StopSignals* catcher, SpreadsheetApplications* applications)
{
    unsigned char number = 0;
    for (;;) {
        const ssize_t got = read(wakeUp[0], &number, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got != 1 || number == 0)
            return;
        int none = 0;
        if (firstSignal.compare_exchange_strong(none, number)) {
            emit catcher->StopRequested(number);
            continue;
        }
        applications->EndAllNow();
        std::_Exit(128 + number);
    }
}

#endif

} // namespace

#ifdef Q_OS_WIN

StopSignals::StopSignals(SpreadsheetApplications&, QObject* parent) : QObject(parent)
{
    catcher = this;
    SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

StopSignals::~StopSignals()
{
    SetConsoleCtrlHandler(OnConsoleEvent, FALSE);
    catcher = nullptr;
}

#else

StopSignals::StopSignals(SpreadsheetApplications& applications, QObject* parent) : QObject(parent)
{
    if (pipe2(wakeUp, O_CLOEXEC) != 0)
        qFatal("cannot make a pipe for stop signals: %s", strerror(errno));
    watcher = std::thread(Watch, this, &applications);
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i) {
        sigaction(StopSignalNumbers[i], nullptr, &previous[i]);
        caught[i] = previous[i].sa_handler != SIG_IGN;
        if (caught[i])
            sigaction(StopSignalNumbers[i], &action, nullptr);
    }
}

StopSignals::~StopSignals()
{
    for (int i = 0; i < 3; ++i) {
        if (caught[i])
            sigaction(StopSignalNumbers[i], &previous[i], nullptr);
    }
    const unsigned char end = 0;
    if (write(wakeUp[1], &end, 1) == 1)
        watcher.join();
    else
        watcher.detach();
    close(wakeUp[0]);
    close(wakeUp[1]);
}

#endif

int StopSignals::Caught() const
{
    return firstSignal;
}
