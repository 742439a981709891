#include "support/folderevents.h"

#ifdef _WIN32

// Windows keeps polling.
FolderEvents::FolderEvents() = default;
FolderEvents::~FolderEvents() = default;

FolderEvents::Added FolderEvents::Watch(const std::string&)
{
    return Added::Failed;
}

std::vector<FolderEvents::Event> FolderEvents::Wait(int)
{
    return {};
}

void FolderEvents::Forget(const std::string&) {}

#else

#include "support/remotefilesystem.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include <poll.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t Mask =
    IN_CLOSE_WRITE | IN_MOVED_TO | IN_MOVED_FROM | IN_CREATE | IN_DELETE | IN_ONLYDIR;

bool IsFolder(const std::string& path)
{
    struct stat target;
    return stat(path.c_str(), &target) == 0 && S_ISDIR(target.st_mode);
}

// What an entry's event tells, if anything worth telling. Links to folders come as files.
bool KindOf(std::uint32_t mask, const std::string& path, FolderEvents::Kind& kind)
{
    using Kind = FolderEvents::Kind;
    const bool came = mask & (IN_CREATE | IN_MOVED_TO);
    const bool gone = mask & (IN_DELETE | IN_MOVED_FROM);
    if (mask & IN_ISDIR) {
        kind = came ? Kind::FolderCame : Kind::FolderGone;
        return came || gone;
    }
    if (gone)
        kind = Kind::FileGone;
    else if (came && IsFolder(path))
        kind = Kind::FolderCame;
    else if (mask & (IN_CLOSE_WRITE | IN_MOVED_TO))
        kind = Kind::FileClosed;
    else
        return false; // a file made: it tells when it is closed
    return true;
}

} // namespace

FolderEvents::FolderEvents() : fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {}

FolderEvents::~FolderEvents()
{
    if (fd >= 0)
        close(fd);
}

FolderEvents::Added FolderEvents::Watch(const std::string& folder)
{
    if (OnRemoteFileSystem(folder))
        return Added::Remote;
    const int wd = inotify_add_watch(fd, folder.c_str(), Mask);
    if (wd < 0)
        return errno == ENOSPC ? Added::LimitReached : Added::Failed;
    const auto was = watched.find(folder);
    if (was != watched.end() && was->second != wd) {
        std::vector<std::string>& old = paths[was->second];
        old.erase(std::remove(old.begin(), old.end(), folder), old.end());
    }
    watched[folder] = wd;
    std::vector<std::string>& named = paths[wd];
    if (std::find(named.begin(), named.end(), folder) == named.end())
        named.push_back(folder);
    return Added::Watched;
}

std::vector<FolderEvents::Event> FolderEvents::Wait(int timeoutMs)
{
    std::vector<Event> events;
    pollfd ready{fd, POLLIN, 0};
    if (fd < 0 || poll(&ready, 1, timeoutMs) <= 0)
        return events;
    alignas(inotify_event) char buffer[64 * 1024];
    for (ssize_t length; (length = read(fd, buffer, sizeof buffer)) > 0;) {
        for (const char* at = buffer; at < buffer + length;) {
            const auto* event = reinterpret_cast<const inotify_event*>(at);
            at += sizeof(inotify_event) + event->len;
            if (event->mask & IN_Q_OVERFLOW) {
                events.push_back({Kind::Overflow, std::string()});
                continue;
            }
            const auto named = paths.find(event->wd);
            if (named == paths.end())
                continue;
            if (event->mask & IN_IGNORED) {
                for (const std::string& folder : named->second)
                    watched.erase(folder);
                paths.erase(named);
                continue;
            }
            if (event->len == 0)
                continue;
            // Copied: forgetting a folder below may change the list.
            const std::vector<std::string> folders = named->second;
            for (const std::string& folder : folders) {
                const std::string path = folder + '/' + event->name;
                Kind kind;
                if (!KindOf(event->mask, path, kind))
                    continue;
                // A link to a folder goes as a file: what was watched through it goes too.
                if (kind == Kind::FolderGone || kind == Kind::FileGone)
                    Forget(path);
                events.push_back({kind, path});
            }
        }
    }
    return events;
}

void FolderEvents::Forget(const std::string& folder)
{
    const auto drop = [this](std::map<std::string, int>::iterator entry) {
        std::vector<std::string>& named = paths[entry->second];
        named.erase(std::remove(named.begin(), named.end(), entry->first), named.end());
        if (named.empty()) {
            inotify_rm_watch(fd, entry->second);
            paths.erase(entry->second);
        }
        return watched.erase(entry);
    };
    const auto itself = watched.find(folder);
    if (itself != watched.end())
        drop(itself);
    // Those below sort together: "folder x" sorts before "folder/".
    const std::string below = folder + '/';
    for (auto entry = watched.lower_bound(below);
         entry != watched.end() && entry->first.compare(0, below.size(), below) == 0;)
        entry = drop(entry);
}

#endif
