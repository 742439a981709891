#pragma once

#include <string>

// Paths that follow from where the executable lies, and the launch argument; written once at
// start-up, read afterwards. 8-bit strings in the local 8-bit encoding, held whole.
struct StartupPathValues
{
    std::string LaunchArg;     // the first command-line argument, or ""
    std::string ExePath;       // the running executable
    std::string ExeDir;        // ExePath up to and including its last separator, or ""
    std::string SettingsFile;  // ExeDir + "Quillsheet.qlx"
    std::string UpdateArchive; // ExeDir + "Quillsheet.zip"
};

extern StartupPathValues StartupPaths;

// Fills StartupPaths from the command line (and, on Linux, the running executable's real path).
void RecordStartupPaths(int argc, char** argv);

// True when the launch argument asks for a start with only the tray icon shown.
bool IsAutorunLaunch();
