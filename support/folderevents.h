#pragma once

#include <map>
#include <string>
#include <vector>

// The changes in a set of watched folders as the kernel tells them (inotify): files closed after
// writing or moved in, files and folders gone or come. Paths are the folders' paths as watched
// (in the local 8-bit form) joined with "/" and the entry's name; a folder reached by two paths
// tells its changes under both. On Windows it is never available.
class FolderEvents
{
public:
    enum class Kind
    {
        FileClosed, // closed after writing, or moved in
        FileGone,   // deleted or moved away
        FolderCame, // made, or moved in (a link to a folder too)
        FolderGone, // deleted or moved away: its watches, and those below it, are dropped
        Overflow,   // changes were lost: only a new look at every folder tells what is there
    };
    struct Event
    {
        Kind kind;
        std::string path;
    };
    enum class Added
    {
        Watched,
        Remote,       // on a file system whose remote changes the kernel never sees
        LimitReached, // the user's inotify watches are all in use
        Failed,       // gone, or not readable
    };

    FolderEvents();
    ~FolderEvents();
    FolderEvents(const FolderEvents&) = delete;
    FolderEvents& operator=(const FolderEvents&) = delete;

    // False when the kernel gave no inotify instance (or on Windows).
    bool Available() const { return fd >= 0; }
    // Watches the folder itself (not those below it); again for a watched one is harmless.
    Added Watch(const std::string& folder);
    // Waits up to timeoutMs for changes and returns those that came, or none.
    std::vector<Event> Wait(int timeoutMs);

private:
    void Forget(const std::string& folder);

    int fd = -1;
    std::map<std::string, int> watched;            // watch descriptor by folder
    std::map<int, std::vector<std::string>> paths; // folders by watch descriptor
};
