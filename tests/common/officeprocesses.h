#pragma once

#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

// The command line of the process whose /proc folder this is; empty once it has ended, even while
// it is read (which a stream iterator would throw for).
inline std::string CommandLineOf(const std::filesystem::path& process)
{
    std::ifstream cmdline(process / "cmdline");
    std::ostringstream text;
    text << cmdline.rdbuf();
    return text.str();
}

// How many offices started by process pid (by default this one) still run: their command lines
// name a pipe "quillsheet<pid>_…".
inline int OfficesOfThisProcess(pid_t pid = getpid())
{
    const std::string mark = "name=quillsheet" + std::to_string(pid) + "_";
    int count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string text = CommandLineOf(entry.path());
        if (text.find(mark) != std::string::npos)
            ++count;
    }
    return count;
}

// The pipe names of the offices of this process that run now: one name per office, whichever
// of its processes (a restart on a fresh profile) serves it.
inline std::set<std::string> OfficePipesOfThisProcess()
{
    const std::string mark = "name=quillsheet" + std::to_string(getpid()) + "_";
    std::set<std::string> pipes;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        const std::string text = CommandLineOf(entry.path());
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

// The socket files that the running offices of client pid have made (their pipe and their
// single-instance socket among them).
inline std::set<std::string> OfficeSocketsOf(pid_t pid)
{
    const std::string mark = "name=quillsheet" + std::to_string(pid) + "_";
    std::set<std::string> inodes;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
        std::ifstream cmdline(entry.path() / "cmdline");
        const std::string text((std::istreambuf_iterator<char>(cmdline)),
                               std::istreambuf_iterator<char>());
        if (text.find(mark) == std::string::npos)
            continue;
        for (const auto& fd : std::filesystem::directory_iterator(entry.path() / "fd", error)) {
            const std::string target = std::filesystem::read_symlink(fd.path(), error).string();
            if (target.rfind("socket:[", 0) == 0)
                inodes.insert(target.substr(8, target.size() - 9));
        }
    }
    // Lines of /proc/net/unix: Num RefCount Protocol Flags Type St Inode [Path]
    std::set<std::string> paths;
    std::ifstream table("/proc/net/unix");
    std::string line;
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string skip, inode, path;
        for (int i = 0; i < 6; ++i)
            fields >> skip;
        fields >> inode >> path;
        if (!path.empty() && path[0] == '/' && inodes.count(inode))
            paths.insert(path);
    }
    return paths;
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
