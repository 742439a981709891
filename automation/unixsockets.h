#pragma once

// Which socket files a process holds, read from /proc: for the office's sockets, which outlive
// a killed office, and for the tests that look for them. Header-only with system headers only:
// test programs that link no library of ours read it too.

#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

// The inodes of the sockets that process pid has open (its /proc/PID/fd links "socket:[N]").
inline std::set<std::string> SocketInodesOf(long pid)
{
    std::set<std::string> inodes;
    std::error_code error;
    // Stepped with the error_code form: a descriptor closed meanwhile must not throw.
    for (std::filesystem::directory_iterator fd("/proc/" + std::to_string(pid) + "/fd", error), end;
         !error && fd != end; fd.increment(error)) {
        std::error_code unreadable;
        const std::string target = std::filesystem::read_symlink(fd->path(), unreadable).string();
        if (target.rfind("socket:[", 0) == 0)
            inodes.insert(target.substr(8, target.size() - 9));
    }
    return inodes;
}

// The file paths of the Unix sockets of those inodes that are bound to one, from the table of a
// network namespace's Unix sockets (by default our own's).
inline std::vector<std::string> SocketFilesOf(const std::set<std::string>& inodes,
                                              const std::string& tableFile = "/proc/net/unix")
{
    std::vector<std::string> paths;
    std::ifstream table(tableFile);
    std::string line;
    std::getline(table, line); // the heading
    // Num RefCount Protocol Flags Type St Inode [Path]
    while (std::getline(table, line)) {
        std::istringstream fields(line);
        std::string skip, inode, path;
        for (int i = 0; i < 6; ++i)
            fields >> skip;
        fields >> inode >> path;
        if (!path.empty() && path[0] == '/' && inodes.count(inode))
            paths.push_back(path);
    }
    return paths;
}
