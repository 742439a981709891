#pragma once

#include <functional>

#ifndef _WIN32
#include <sys/wait.h>
#include <unistd.h>
#endif

// Runs body where file permission bits apply: as it is for an ordinary user, and in a child
// that drops to "nobody" (uid/gid 65534) when the tests run as root, which ignores them. On
// Windows body runs as it is: the tests are run by an ordinary user there.
// Returns body's result, or -1000 when no such child could be made.
inline int RunWithoutPrivilege(const std::function<int()>& body)
{
#ifdef _WIN32
    return body();
#else
    if (geteuid() != 0)
        return body();
    const pid_t child = fork();
    if (child < 0)
        return -1000;
    if (child == 0) {
        if (setgid(65534) != 0 || setuid(65534) != 0)
            _exit(200);
        _exit(body() & 0xff);
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) == 200)
        return -1000;
    return static_cast<signed char>(WEXITSTATUS(status));
#endif
}
