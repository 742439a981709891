#pragma once

#include <QApplication>
#include <QTimer>

#include <functional>

// Runs the application's event loop, doing start once it runs; returns the loop's exit code, or
// -1 when the loop did not end within timeoutMs.
inline int RunEventLoop(const std::function<void()>& start, int timeoutMs = 10000)
{
    QTimer::singleShot(0, start);
    bool timedOut = false;
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        timedOut = true;
        QApplication::exit(1);
    });
    guard.start(timeoutMs);
    const int code = QApplication::exec();
    return timedOut ? -1 : code;
}
