#pragma once

#include "convert/runoptions.h"

#include <QString>

// Why the spreadsheet applications of a run with these options do not run in a sandbox, in the
// user's language; empty when they do. Starts no application.
QString UnsandboxedBecause(const RunOptions& options);
