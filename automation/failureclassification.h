#pragma once

#include "support/failurekind.h"

#include <string>

// Failures classified where they happen: by the system's errno, or by the error code in the
// office's own message.

// A failed system call's message ("what: <the system's text>") and its kind by errno.
struct SystemFailure
{
    FailureKind kind = FailureKind::None;
    std::string message;
};
SystemFailure SystemFailureOf(const std::string& what, int error);

// The kind of an errno that has a plain reason; Reported for any other.
FailureKind KindOfErrno(int error);

// ENAMETOOLONG on a path: NameTooLong when one of its names is longer than a file system allows,
// else PathTooLong (the whole path is).
FailureKind KindOfTooLongPath(const std::string& path);

// Whether a write into folder failed because its file system is full, whatever the message
// said: DiskFull when no block is left to this user, OutOfInodes when no file can be made. None
// when neither is exhausted, or the file system cannot be asked: the failure keeps its kind.
FailureKind KindOfFullFileSystem(const std::string& folder);

// The kind of an office's message by the error code it carries, "0xc10(Error Area:Io Class:Write
// Code:16)"; Reported when it carries none with a plain reason.
FailureKind KindOfOfficeMessage(const std::string& message);
