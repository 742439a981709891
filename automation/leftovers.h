#pragma once

#include <string>

// Removes what offices of this user's ended runs left behind when their client was killed: the
// profile folders "quillsheet-office-<pid>-…" in tempFolder (with the office's temporary files
// inside), the pipe sockets "/tmp/OSL_PIPE_<uid>_quillsheet<pid>_…" of clients that no longer
// run, and single-instance sockets "/tmp/OSL_PIPE_<uid>_SingleOfficeIPC_…" that no office
// listens on. Never another user's files, never those of a live process.
void RemoveLeftoversOfEndedRuns(const std::string& tempFolder);
