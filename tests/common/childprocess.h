#pragma once

#include <optional>
#include <string>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

// A small program that sleeps for the seconds of its one argument: /bin/sleep, or on Windows
// the test build's sleeper.exe beside the running test program.
inline std::string SleeperProgram()
{
#ifdef _WIN32
    char path[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    return folder.substr(0, folder.find_last_of('\\') + 1) + "sleeper.exe";
#else
    return "/bin/sleep";
#endif
}

// A program started with one argument; killed and waited for at the latest when this goes.
class ChildProcess
{
public:
    // id() is 0 when it could not start.
    ChildProcess(const std::string& program, const std::string& argument)
    {
#ifdef _WIN32
        std::string commandLine = "\"" + program + "\" " + argument;
        STARTUPINFOA startup = {};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION info = {};
        if (CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr,
                           nullptr, &startup, &info)) {
            CloseHandle(info.hThread);
            process_ = info.hProcess;
            id_ = info.dwProcessId;
        }
#else
        char* argv[] = {const_cast<char*>(program.c_str()), const_cast<char*>(argument.c_str()),
                        nullptr};
        pid_t pid = 0;
        if (posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) == 0)
            id_ = static_cast<unsigned long>(pid);
#endif
    }

#ifndef _WIN32
    // Starts program as "nobody" (uid and gid 65534), which only root may do; id() is 0 when it
    // could not start.
    struct AsNobody
    {
    };
    ChildProcess(AsNobody, const std::string& program, const std::string& argument)
    {
        const pid_t pid = fork();
        if (pid == 0) {
            if (setgid(65534) == 0 && setuid(65534) == 0)
                execl(program.c_str(), program.c_str(), argument.c_str(), nullptr);
            _exit(127);
        }
        if (pid > 0)
            id_ = static_cast<unsigned long>(pid);
    }
#endif

    ~ChildProcess()
    {
        if (id_ && !ending_) {
#ifdef _WIN32
            TerminateProcess(process_, 1);
#else
            kill(static_cast<pid_t>(id_), SIGKILL);
#endif
            Ending(true);
        }
#ifdef _WIN32
        if (process_)
            CloseHandle(process_);
#endif
    }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    unsigned long id() const
    {
        return id_;
    }

    // How it ended: on Linux the signal that ended it (-1 when it exited), on Windows its exit
    // code; nothing while it runs. With wait, waits for its end.
    std::optional<int> Ending(bool wait)
    {
        if (ending_ || !id_)
            return ending_;
#ifdef _WIN32
        DWORD code = 0;
        if (WaitForSingleObject(process_, wait ? INFINITE : 0) == WAIT_OBJECT_0 &&
            GetExitCodeProcess(process_, &code))
            ending_ = static_cast<int>(code);
#else
        int status = 0;
        if (waitpid(static_cast<pid_t>(id_), &status, wait ? 0 : WNOHANG) ==
            static_cast<pid_t>(id_))
            ending_ = WIFSIGNALED(status) ? WTERMSIG(status) : -1;
#endif
        return ending_;
    }

private:
    unsigned long id_ = 0;
    std::optional<int> ending_;
#ifdef _WIN32
    HANDLE process_ = nullptr;
#endif
};
