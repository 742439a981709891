#include "automation/failureclassification.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <sstream>
#include <sys/statvfs.h>

SystemFailure SystemFailureOf(const std::string& what, int error)
{
    return {KindOfErrno(error), what + ": " + std::strerror(error)};
}

FailureKind KindOfErrno(int error)
{
    switch (error) {
    case ENAMETOOLONG:
        return FailureKind::NameTooLong;
    case EACCES:
    case EROFS:
        return FailureKind::NotWritable;
    case ENOSPC:
    case EDQUOT:
        return FailureKind::DiskFull;
    case EBUSY:
    case ETXTBSY:
        return FailureKind::FileBusy;
    default:
        return FailureKind::Reported;
    }
}

FailureKind KindOfTooLongPath(const std::string& path)
{
    std::istringstream names(path);
    for (std::string name; std::getline(names, name, '/');)
        if (name.size() > NAME_MAX)
            return FailureKind::NameTooLong;
    return FailureKind::PathTooLong;
}

FailureKind KindOfFullFileSystem(const std::string& folder)
{
    struct statvfs system = {};
    if (statvfs(folder.c_str(), &system) != 0)
        return FailureKind::None;
    if (system.f_bavail == 0)
        return FailureKind::DiskFull;
    // A file system without a limit on files (f_files 0) never runs out of them.
    if (system.f_files != 0 && system.f_favail == 0)
        return FailureKind::OutOfInodes;
    return FailureKind::None;
}

FailureKind KindOfOfficeMessage(const std::string& message)
{
    // The office's I/O error codes (its ErrCode "Class:… Code:N") that have a plain reason.
    const struct
    {
        const char* code;
        FailureKind kind;
    } codes[] = {
        {"Class:Parameter Code:27)", FailureKind::NameTooLong}, // ERRCODE_IO_NAMETOOLONG
        {"Class:Write Code:16)", FailureKind::NotWritable},     // ERRCODE_IO_CANTWRITE
        {"Code:7)", FailureKind::NotWritable},                  // ERRCODE_IO_ACCESSDENIED
        {"Code:9)", FailureKind::DiskFull},                     // ERRCODE_IO_OUTOFSPACE
        {"Code:8)", FailureKind::FileBusy},                     // ERRCODE_IO_LOCKVIOLATION
    };
    for (const auto& known : codes)
        if (message.find(known.code) != std::string::npos)
            return known.kind;
    return FailureKind::Reported;
}
