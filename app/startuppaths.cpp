#include "app/startuppaths.h"

#include "support/filehelpers.h"

#ifndef _WIN32
#include <climits>
#include <cstdlib>
#endif

StartupPathValues StartupPaths;

namespace {

// On Windows the framework hands main the full path as argv[0]. Elsewhere argv[0] is often a
// bare name found through PATH, so the kernel's record of the executable is used.
std::string RunningExecutable(const char* argv0)
{
#ifdef _WIN32
    return argv0 ? argv0 : "";
#else
    if (char* resolved = realpath("/proc/self/exe", nullptr)) {
        std::string path(resolved);
        std::free(resolved);
        return path;
    }
    return argv0 ? argv0 : "";
#endif
}

} // namespace

void RecordStartupPaths(int argc, char** argv)
{
#ifdef _WIN32
    const char* separator = "\\";
#else
    const char* separator = "/";
#endif
    StartupPaths.LaunchArg = argc > 1 && argv[1] ? argv[1] : "";
    StartupPaths.ExePath = RunningExecutable(argc > 0 ? argv[0] : nullptr);
    LeftOf(StartupPaths.ExeDir, StartupPaths.ExePath, separator, 1, 1);
    StartupPaths.SettingsFile = StartupPaths.ExeDir + "Quillsheet.qlx";
    StartupPaths.UpdateArchive = StartupPaths.ExeDir + "Quillsheet.zip";
}

bool IsAutorunLaunch()
{
    return StartupPaths.LaunchArg == "-autorun";
}
