#pragma once

#include <QString>

// The settings of a conversion run: written by the window (or the command line) before it
// triggers a run and not while one goes on; read by the run as it starts (ReadRunSettings()).
extern QString SourcePath;     // the source folder, native separators
extern QString SavePath;       // the output folder, native separators
extern bool SaveToQuondamPath; // write each PDF beside its workbook instead
extern bool MergeSheets;       // one PDF per workbook instead of one per worksheet

// The four settings as a run took them.
struct RunSettings
{
    QString source;
    QString output;
    bool besideSource = false;
    bool mergeSheets = false;
};
RunSettings ReadRunSettings();
