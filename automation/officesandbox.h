#pragma once

#include "automation/officeconfinement.h"

#include <string>
#include <vector>

// What keeps offices here from starting in a sandbox (bubblewrap missing, or the namespaces it
// needs not allowed), in bubblewrap's words where it tells; empty when one can be had. Found out
// once per process, before any office starts, so that a run can tell of it or refuse to run.
const std::string& SandboxProblem();

// Whether offices can start in a sandbox here; when not, says so once on standard error, and why,
// for the offices then run without one.
bool SandboxAvailable();

// The command that runs office (its program and arguments) in a sandbox of bubblewrap: its own
// user, process, IPC, host-name and network namespaces (the network holds only loopback), no
// capabilities, ending with the process that starts it. It sees, read-only, the system's
// programs, libraries and settings and the user's fonts; writable, profileFolder, whose tmp/ is
// its /tmp, where the office makes its pipe; and the confinement's folders, each at its own path.
// Nothing else: not the home folder, not the rest of the temporary folder.
std::vector<std::string> SandboxedCommand(const std::vector<std::string>& office,
                                          const std::string& profileFolder,
                                          const OfficeConfinement& confinement);
