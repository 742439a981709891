#include "support/userhome.h"

#ifndef _WIN32

#include <cstdlib>
#include <vector>

#include <pwd.h>
#include <unistd.h>

void SetHomeWhenMissing()
{
    const char* home = std::getenv("HOME");
    if (home && *home)
        return;
    const long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
    passwd entry;
    passwd* found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && *found->pw_dir)
        setenv("HOME", found->pw_dir, 1);
}

#else

void SetHomeWhenMissing() {}

#endif
