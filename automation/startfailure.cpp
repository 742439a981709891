#include "automation/startfailure.h"

#include "automation/failureclassification.h"

#include <unistd.h>

FailureKind KindOfFailedStart(FailureKind given, bool installed, const std::string& temporaryFolder)
{
    if (!installed)
        return FailureKind::CannotStart;
    if (KindOfFullFileSystem(temporaryFolder) != FailureKind::None ||
        access(temporaryFolder.c_str(), W_OK | X_OK) != 0)
        return FailureKind::TemporaryFolderUnusable;
    return given;
}
