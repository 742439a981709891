#pragma once

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// How many offices started by process pid (by default this one) still run: their command lines
// name a pipe "quillsheet<pid>_…".
inline int OfficesOfThisProcess(pid_t pid = getpid())
{
    const std::string mark = "name=quillsheet" + std::to_string(pid) + "_";
    int count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        std::ifstream cmdline(entry.path() / "cmdline");
        std::string text((std::istreambuf_iterator<char>(cmdline)),
                         std::istreambuf_iterator<char>());
        if (text.find(mark) != std::string::npos)
            ++count;
    }
    return count;
}

// The profile folders and pipe sockets that offices of process pid left in the temporary
// folder.
inline std::vector<std::string> OfficeFilesOf(pid_t pid)
{
    const std::string profile = "quillsheet-office-" + std::to_string(pid) + "-";
    const std::string pipe =
        "OSL_PIPE_" + std::to_string(getuid()) + "_quillsheet" + std::to_string(pid) + "_";
    std::vector<std::string> found;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/tmp", error)) {
        const std::string name = entry.path().filename().string();
        if (name.rfind(profile, 0) == 0 || name.rfind(pipe, 0) == 0)
            found.push_back(entry.path().string());
    }
    return found;
}

// Binds a socket file at path; with listening, it accepts connections until closed. Programs
// started meanwhile inherit it, as they may inherit any socket from whoever starts them.
inline int BindSocket(const std::string& path, bool listening)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        (listening && listen(fd, 1) != 0)) {
        close(fd);
        return -1;
    }
    return fd;
}

// The single-instance sockets of offices in /tmp that nobody listens on any more: what a killed
// office leaves behind.
inline std::set<std::string> DeadOfficeSockets()
{
    const std::string prefix = "OSL_PIPE_" + std::to_string(getuid()) + "_SingleOfficeIPC_";
    std::set<std::string> dead;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/tmp", error)) {
        if (entry.path().filename().string().rfind(prefix, 0) != 0)
            continue;
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::strncpy(address.sun_path, entry.path().c_str(), sizeof(address.sun_path) - 1);
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 &&
            errno == ECONNREFUSED)
            dead.insert(entry.path().string());
        close(fd);
    }
    return dead;
}
