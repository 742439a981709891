#pragma once

#include "support/failurekind.h"

#include <string>

// Why an office could not start, as the user can act on it: its program missing is the one case
// of no office installed (CannotStart); a temporary folder (where its profile and temporary files
// live) that is full or cannot be written is TemporaryFolderUnusable; otherwise the kind given.
FailureKind KindOfFailedStart(FailureKind given, bool installed,
                              const std::string& temporaryFolder);
