#pragma once

// Running processes by executable file name (no folder), compared byte for byte. Neither
// function leaves out the calling process. On Linux only live processes of the calling user
// (real uid) take part, never zombies; on Windows every process of the Toolhelp snapshot.

// How many running processes have this executable file name; 0 for a null name or when the
// process list cannot be read.
int CountProcessesByName(const char* exeName);

// Asks the first process of that name, in the system's list order, to end. 1 when one was found
// (whether or not it could be ended), 0 when none was, the name is null or the list cannot be
// read.
int KillProcessByName(const char* exeName);
