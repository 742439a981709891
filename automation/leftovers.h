#pragma once

#include <string>

// Removes what offices of this user's ended runs left behind when their client was killed (names
// in officenames.h): the profile folders in the temporary folder (with the office's temporary
// files inside; none when the folder cannot serve), the pipe sockets of clients that no longer
// run, and single-instance sockets that no office listens on. Never another user's files, never
// those of a live process.
void RemoveLeftoversOfEndedRuns();

// Removes from folder the temporary PDFs (names in officenames.h, the earlier forms too) of this
// user's runs on this machine that no longer run: files no reader opens, left when a run was
// killed during an export. Another machine's are left alone: whether its run lives cannot be told
// from here. Returns how many it removed. The office's own "lu*.tmp" files there are left alone:
// nothing in them tells whose they are; the export that an office was killed in removes its own
// (officetemporaryfiles.h).
int RemoveTemporaryPdfsOfEndedRuns(const std::string& folder);
