#pragma once

// The names of what our offices leave on disk, each carrying its client's process id so that a
// later run can tell whether its owner still runs. The code that makes these files, the clean-up
// of dead runs and the tests all spell them from here. System headers only: test programs that
// have only tests/ on their include path read this file too.

#include <string>

#include <sys/types.h>

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

// A PDF being written, in its target's folder: ".quillsheet-<pid>-<n>.pdf.part", a name that no
// "*.pdf" pattern takes for a finished PDF. Earlier versions wrote ".quillsheet-<pid>-<n>-<r>.pdf".
inline const std::string TemporaryPdfStem = ".quillsheet-";
inline const std::string TemporaryPdfSuffix = ".pdf.part";
inline const std::string EarlierTemporaryPdfSuffix = ".pdf";
inline std::string TemporaryPdfPrefix(long clientPid)
{
    return TemporaryPdfStem + std::to_string(clientPid) + "-";
}
