#pragma once

#include "automation/officenames.h"
#include "automation/unixsockets.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// The command line of the process whose /proc folder this is, its arguments apart by NULs; empty
// once it has ended. Read through the stream, which takes the read error of a process that ends
// meanwhile as an end: the buffer's own iterator would throw it.
inline std::string CommandLineOf(const std::filesystem::path& process)
{
    std::ifstream cmdline(process / "cmdline");
    std::string text;
    std::getline(cmdline, text);
    return text;
}

// The /proc folders of the offices that process pid started and that still run: soffice.bin
// processes whose command lines name a pipe of that client (the sandbox's own processes name it
// too).
inline std::vector<std::filesystem::path> OfficeProcessesOf(pid_t pid)
{
    const std::string mark = "name=" + OfficePipePrefix(pid);
    const std::string program = "soffice.bin";
    std::vector<std::filesystem::path> offices;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string text = CommandLineOf(entry.path());
        const std::string first = text.substr(0, text.find('\0'));
        if (text.find(mark) != std::string::npos && first.size() >= program.size() &&
            first.compare(first.size() - program.size(), program.size(), program) == 0)
            offices.push_back(entry.path());
    }
    return offices;
}

// How many offices started by process pid (by default this one) still run.
inline int OfficesOfThisProcess(pid_t pid = getpid())
{
    return static_cast<int>(OfficeProcessesOf(pid).size());
}

// The pipe names of the offices of this process that run now: one name per office, whichever
// of its processes (a restart on a fresh profile) serves it.
inline std::set<std::string> OfficePipesOfThisProcess()
{
    const std::string mark = "name=" + OfficePipePrefix(getpid());
    std::set<std::string> pipes;
    for (const std::filesystem::path& office : OfficeProcessesOf(getpid())) {
        const std::string text = CommandLineOf(office);
        const std::size_t at = text.find(mark);
        if (at != std::string::npos)
            pipes.insert(text.substr(at, text.find(';', at) - at));
    }
    return pipes;
}

// The profile folders and pipe sockets that offices of process pid left in the temporary
// folder.
inline std::vector<std::string> OfficeFilesOf(pid_t pid)
{
    const std::string profile = ProfileFolderPrefix(pid);
    const std::string pipe = PipeSocketPrefix(getuid()) + OfficePipePrefix(pid);
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

// The socket files that the running offices of client pid have made (their pipe and their
// single-instance socket among them), as paths of our file system: a sandboxed office's /tmp is
// its profile's tmp/.
inline std::set<std::string> OfficeSocketsOf(pid_t pid)
{
    const std::string profileArgument = "-env:UserInstallation=file://";
    std::set<std::string> sockets;
    for (const std::filesystem::path& office : OfficeProcessesOf(pid)) {
        const std::string command = CommandLineOf(office);
        const std::size_t at = command.find(profileArgument);
        const std::string profile =
            at == std::string::npos
                ? std::string()
                : command.substr(at + profileArgument.size(),
                                 command.find('\0', at) - at - profileArgument.size());
        // The table of the office's own network namespace.
        for (const std::string& path : SocketFilesOf(SocketInodesOf(std::stol(office.filename())),
                                                     (office / "net/unix").string())) {
            std::error_code error;
            const bool inProfile =
                !profile.empty() && path.rfind("/tmp/", 0) == 0 &&
                std::filesystem::exists(std::filesystem::symlink_status(profile + path, error));
            sockets.insert(inProfile ? profile + path : path);
        }
    }
    return sockets;
}

// Those of paths that still exist.
inline std::set<std::string> Existing(const std::set<std::string>& paths)
{
    std::set<std::string> existing;
    for (const std::string& path : paths) {
        if (std::filesystem::exists(std::filesystem::symlink_status(path)))
            existing.insert(path);
    }
    return existing;
}
