#pragma once

// Sets HOME, when it is unset or empty, to the user's home folder in the password database, so
// that the user's cache, data and configuration folders are the user's own rather than folders
// at the root of the file system. Nothing when HOME is set, when the database has no home for
// the user, and on Windows. Call it before any thread starts: it changes the environment.
void SetHomeWhenMissing();
