#include "convert/runsettings.h"

QString SourcePath;
QString SavePath;
bool SaveToQuondamPath = false;
bool MergeSheets = false;

RunSettings ReadRunSettings()
{
    return {SourcePath, SavePath, SaveToQuondamPath, MergeSheets};
}
