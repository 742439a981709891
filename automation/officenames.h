#pragma once

// The names of what our offices leave on disk, each carrying its client's process id so that a
// later run can tell whether its owner still runs. The code that makes these files, the clean-up
// of dead runs and the tests all spell them from here. System headers only: test programs that
// have only tests/ on their include path read this file too.

#include <cstdint>
#include <string>

#include <sys/types.h>
#include <unistd.h>

// A client's offices accept UNO connections on pipes named "quillsheet<pid>_<n>_<t>".
inline const std::string OfficePipeStem = "quillsheet";
inline std::string OfficePipePrefix(long clientPid)
{
    return OfficePipeStem + std::to_string(clientPid) + "_";
}

// Their profile folders, in the temporary folder: "quillsheet-office-<pid>-XXXXXX".
inline const std::string ProfileFolderStem = "quillsheet-office-";
inline std::string ProfileFolderPrefix(long clientPid)
{
    return ProfileFolderStem + std::to_string(clientPid) + "-";
}

// The office makes the socket file of a pipe in this folder as "OSL_PIPE_<uid>_<pipe name>".
inline const std::string PipeSocketFolder = "/tmp";
inline std::string PipeSocketPrefix(uid_t user)
{
    return "OSL_PIPE_" + std::to_string(user) + "_";
}
// The office's single-instance pipe, after that prefix: "SingleOfficeIPC_<hash>".
inline const std::string SingleInstancePipeStem = "SingleOfficeIPC_";

// A PDF being written, in its target's folder: ".quillsheet-<pid>-h<host>-<n>.pdf.part", a name
// that no "*.pdf" pattern takes for a finished PDF, with the machine's mark (HostMark()), since
// runs on several machines may write into one folder and a process id tells only of its own
// machine. Earlier versions wrote ".quillsheet-<pid>-<n>.pdf.part" and
// ".quillsheet-<pid>-<n>-<r>.pdf".
inline const std::string TemporaryPdfStem = ".quillsheet-";
inline const std::string TemporaryPdfSuffix = ".pdf.part";
inline const std::string EarlierTemporaryPdfSuffix = ".pdf";

// "h" and eight hexadecimal digits of a hash of the machine's host name.
inline std::string HostMark()
{
    char host[256] = {};
    gethostname(host, sizeof host - 1);
    std::uint32_t hash = 2166136261u; // FNV-1a
    for (const char* c = host; *c; ++c)
        hash = (hash ^ static_cast<unsigned char>(*c)) * 16777619u;
    static const char digits[] = "0123456789abcdef";
    std::string mark = "h";
    for (int shift = 28; shift >= 0; shift -= 4)
        mark += digits[(hash >> shift) & 0xf];
    return mark;
}

inline std::string TemporaryPdfPrefix(long clientPid)
{
    return TemporaryPdfStem + std::to_string(clientPid) + "-" + HostMark() + "-";
}
