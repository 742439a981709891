#pragma once

#include <string>

// Makes folder with every missing parent: 0 when it is a folder now (made here, already there, or
// made meanwhile by another process), else the errno of the level that could not be made
// (ENOTDIR where a file of that name stands). Paths: the file system's bytes on Linux; UTF-8 on
// Windows, either separator, from 248 characters through the "\\?\" form. Unlike MakeDirPath,
// nothing is passed over: the first level that fails ends it.
int MakeFolder(const std::string& folder);
