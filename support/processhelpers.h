#pragma once

// The machine's running processes by executable file name (no folder), compared byte for byte.
// Neither function leaves out the calling process.

// How many running processes have this executable file name; 0 for a null name or when the
// process list cannot be read.
int CountProcessesByName(const char* exeName);

// Asks the first process of that name, in the system's list order, to end. 1 when one was found
// (whether or not it could be ended), 0 when none was, the name is null or the list cannot be
// read.
int KillProcessByName(const char* exeName);
