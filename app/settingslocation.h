#pragma once

#include "app/startuppaths.h"

#include <string>

// The settings file this copy uses: the one beside the executable when that folder is writable
// and holds it (a portable copy, the build tree); otherwise Quillsheet.qlx in the user's
// configuration folder, made from the installed default (<prefix>/share/quillsheet) at the first
// start. Where there is neither, a path where no file is, so nothing is stored. On Windows always
// the file beside the executable. Needs the application's name set.
std::string UserSettingsFile(const StartupPathValues& paths);
