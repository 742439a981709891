#pragma once

#include <functional>
#include <string>

// An exclusive lock on a file, held until the object goes or the process ends (flock on POSIX,
// LockFileEx on Windows), so that processes sharing a file take turns with it, also on shared
// storage. The file is made when missing and left in place.
class ExclusiveFileLock
{
public:
    ExclusiveFileLock() = default;
    ~ExclusiveFileLock();
    ExclusiveFileLock(const ExclusiveFileLock&) = delete;
    ExclusiveFileLock& operator=(const ExclusiveFileLock&) = delete;

    // Takes the lock on path; when another holds it, tells waiting() once and waits for it.
    // False, with the system's reason in error, when the file cannot be made or locked.
    bool Lock(const std::string& path, const std::function<void()>& waiting, std::string& error);

private:
#ifdef _WIN32
    void* handle_ = nullptr;
#else
    int fd_ = -1;
#endif
};
