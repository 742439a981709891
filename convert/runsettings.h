#pragma once

#include "convert/shard.h"

#include <QString>

#include <functional>

// The settings of a conversion run: written by the window (or the command line) before it
// triggers a run and not while one goes on; read by the run.
extern QString SourcePath;     // the source folder, native separators
extern QString SavePath;       // the output folder, native separators
extern bool SaveToQuondamPath; // write each PDF beside its workbook instead
extern bool MergeSheets;       // one PDF per workbook instead of one per worksheet
extern Shard RunShard;         // the share of the workbooks to convert (the command line's)
// Tells which workbooks the run leaves out as up to date (the command line's --update); empty:
// none. Asked once for each workbook while the run is planned, before any export.
extern std::function<bool(const QString& workbookPath)> RunUpToDate;
