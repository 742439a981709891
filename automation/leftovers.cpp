#include "automation/leftovers.h"

#include "automation/officenames.h"
#include "automation/temporaryfolder.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <vector>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The process id that a name holds right after prefix, up to separator; 0 when there is none.
long OwnerPid(const std::string& name, const std::string& prefix, char separator)
{
    if (name.compare(0, prefix.size(), prefix) != 0)
        return 0;
    const std::size_t end = name.find(separator, prefix.size());
    if (end == std::string::npos || end == prefix.size() || end - prefix.size() > 9)
        return 0;
    long pid = 0;
    for (std::size_t i = prefix.size(); i < end; ++i) {
        if (name[i] < '0' || name[i] > '9')
            return 0;
        pid = pid * 10 + (name[i] - '0');
    }
    return pid;
}

// A process of ours still runs under that id (a process of another user there means ours ended
// and its id was reused).
bool RunsAsThisUser(long pid)
{
    struct stat info;
    return stat(("/proc/" + std::to_string(pid)).c_str(), &info) == 0 && info.st_uid == getuid();
}

bool OwnedByThisUser(const fs::path& path, mode_t type)
{
    struct stat info;
    return lstat(path.c_str(), &info) == 0 && (info.st_mode & S_IFMT) == type &&
           info.st_uid == getuid();
}

// Nobody accepts connections on the socket file: its office is gone.
bool NobodyListens(const fs::path& path)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (path.native().size() >= sizeof(address.sun_path))
        return false;
    std::strcpy(address.sun_path, path.c_str());
    const int probe = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe < 0)
        return false;
    const bool refused =
        connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 &&
        errno == ECONNREFUSED;
    close(probe);
    return refused;
}

// The entries of a folder, none when it cannot be read.
std::vector<fs::path> Entries(const fs::path& folder)
{
    std::vector<fs::path> entries;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error))
        entries.push_back(it->path());
    return entries;
}

// What follows "<pid>-" and the machine's mark in a temporary PDF's name: "<n>.pdf.part", or
// "<n>-<r>.pdf" as earlier
// versions wrote it.
bool TemporaryPdfTail(const std::string& tail)
{
    for (const std::string& suffix : {TemporaryPdfSuffix, EarlierTemporaryPdfSuffix}) {
        if (tail.size() <= suffix.size() ||
            tail.compare(tail.size() - suffix.size(), suffix.size(), suffix) != 0)
            continue;
        const std::string counters = tail.substr(0, tail.size() - suffix.size());
        if (counters.find_first_not_of("0123456789-") == std::string::npos)
            return true;
    }
    return false;
}

} // namespace

void RemoveLeftoversOfEndedRuns()
{
    // What cannot be removed stays for a later run: nobody waits for it.
    std::error_code ignored;
    std::string tempFolder, problem;
    const bool usable = UsableTemporaryFolder(tempFolder, problem);
    for (const fs::path& entry : usable ? Entries(tempFolder) : std::vector<fs::path>()) {
        const long pid = OwnerPid(entry.filename().string(), ProfileFolderStem, '-');
        if (pid > 0 && !RunsAsThisUser(pid) && OwnedByThisUser(entry, S_IFDIR))
            fs::remove_all(entry, ignored);
    }
    const std::string pipePrefix = PipeSocketPrefix(getuid());
    for (const fs::path& entry : Entries(PipeSocketFolder)) {
        const std::string name = entry.filename().string();
        // A sandboxed office's pipe is reached through a link to it.
        if (name.compare(0, pipePrefix.size(), pipePrefix) != 0 ||
            !(OwnedByThisUser(entry, S_IFSOCK) || OwnedByThisUser(entry, S_IFLNK)))
            continue;
        const long pid = OwnerPid(name, pipePrefix + OfficePipeStem, '_');
        const bool stale = pid > 0 ? !RunsAsThisUser(pid)
                                   : name.compare(pipePrefix.size(), SingleInstancePipeStem.size(),
                                                  SingleInstancePipeStem) == 0 &&
                                         NobodyListens(entry);
        if (stale)
            fs::remove(entry, ignored);
    }
}

int RemoveTemporaryPdfsOfEndedRuns(const std::string& folder)
{
    // One that cannot be removed now is met again by the next run into this folder.
    int removed = 0;
    for (const fs::path& entry : Entries(folder)) {
        const std::string name = entry.filename().string();
        const long pid = OwnerPid(name, TemporaryPdfStem, '-');
        if (pid <= 0)
            continue;
        // Another machine's run may still write it; one of an earlier version has no mark.
        std::string tail = name.substr(TemporaryPdfStem.size() + std::to_string(pid).size() + 1);
        const std::string mark = HostMark() + "-";
        if (tail.compare(0, mark.size(), mark) == 0)
            tail.erase(0, mark.size());
        else if (tail.size() > mark.size() && tail[0] == 'h' && tail[mark.size() - 1] == '-')
            continue;
        if (!TemporaryPdfTail(tail) || RunsAsThisUser(pid) || !OwnedByThisUser(entry, S_IFREG))
            continue;
        std::error_code failed;
        if (fs::remove(entry, failed))
            ++removed;
    }
    return removed;
}
