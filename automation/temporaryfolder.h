#pragma once

#include <string>

// The folder for our offices' profiles: TMPDIR, or /tmp when it is unset. True with folder set
// when it is an absolute path to a folder we can write; otherwise false with problem, one line
// for the user that names TMPDIR and what is wrong. Checked before a run makes anything, since
// an office given a relative profile path never answers and a missing one fails every start.
bool UsableTemporaryFolder(std::string& folder, std::string& problem);
