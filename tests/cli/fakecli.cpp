// quillsheet-cli over applications that answer from the workbook files themselves
// (describedapplications.h): the whole command line, quick, without an office.
#include "cli/describedapplications.h"
#include "cli/runcommandline.h"

int main(int argc, char** argv)
{
    return RunCommandLine(argc, argv, [](const ApplicationOptions& options) {
        return std::make_unique<DescribedApplications>(options);
    });
}
