#pragma once

#include "convert/runrecord.h"
#include "convert/shard.h"

#include <QString>

#include <functional>

// How a run goes beyond the four run settings, handed to the run by whoever starts it; how its
// applications work is the program's (ApplicationOptions).
struct RunOptions
{
    // Spreadsheet applications working at once, each taking the next workbook of the one list.
    int jobs = 1;
    // The share of the workbooks to convert.
    Shard shard;
    // Tells which workbooks the run leaves out as up to date; empty: none. Asked once for each
    // workbook while the run is planned, before any export.
    std::function<bool(const QString& workbookPath)> upToDate;
    // Links to folders outside the source tree are followed; the offices may read there.
    bool followLinks = false;
    // Whoever started the run lists every failure after its summary, so the summary does not
    // count those it leaves out.
    bool everyFailureListedAfter = false;
    // Once the PDFs of the run (of each batch of a watch) are written: removes what earlier
    // conversions of its converted workbooks made and this one did not, naming it in each
    // workbook's record. Empty: nothing is removed.
    std::function<void(RunRecord& converted)> removeOutdatedPdfs;
};

// Applications at once when the user names no number: one per CPU this process may use (its
// affinity and cgroup quota), but no more than MaxDefaultJobs, past which the disk and memory
// gain little.
constexpr int MaxDefaultJobs = 4;
int DefaultJobs();

// The window's runs: as many applications as DefaultJobs() where each is a private office; one on
// Windows, where a run drives the one Excel or WPS of the desktop.
inline int WindowJobs()
{
#ifdef Q_OS_WIN
    return 1;
#else
    return DefaultJobs();
#endif
}
