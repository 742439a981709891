#pragma once

#include "convert/spreadsheetapplications.h"

#include <QObject>

// Catches the requests to end the program that come as signals, from construction to
// destruction (one object at a time): SIGINT, SIGTERM and SIGHUP, each unless it was ignored when
// the program started (nohup); on Windows, the console's Ctrl+C and Ctrl+Break. The first one
// emits StopRequested from a thread of its own, so that the program can stop its run after the
// workbook in work. The next one ends the program at once with exit code 128 + its number, after
// ending the spreadsheet applications and removing their files.
class StopSignals : public QObject
{
    Q_OBJECT

public:
    // applications: those the second signal ends; they outlive this object.
    explicit StopSignals(SpreadsheetApplications& applications, QObject* parent = nullptr);
    ~StopSignals() override;
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // The number of the first signal caught; 0 while none was.
    int Caught() const;

signals:
    void StopRequested(int signal);
};
