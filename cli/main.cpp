// quillsheet-cli: a conversion run without a window, for scripts and servers.
#include "cli/runcommandline.h"

#ifdef Q_OS_WIN
#include "excel/excelapplications.h"
#else
#include "automation/officeapplications.h"
#endif

int main(int argc, char** argv)
{
    return RunCommandLine(argc, argv, NewSpreadsheetApplications);
}
