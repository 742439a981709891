#pragma once

#include <string>

// Replaces the file at path by bytes so that readers see the old file or the whole new one: the
// bytes go to a new file beside it, which takes the old file's permissions, is flushed to the
// disk and renamed over it (on Windows, a rename that a reader holds up is retried for a second).
// Every step is checked. 0 when written; else the errno of the step that failed, the old file as
// it was and no temporary file left. temporaryMade tells whether the folder took the new file.
// A link at path is replaced, not followed. Paths: the file system's bytes; the ANSI code page on
// Windows.
int ReplaceFileAtomically(const std::string& path, const std::string& bytes, bool& temporaryMade);
