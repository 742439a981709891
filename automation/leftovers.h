#pragma once

// Removes what offices of this user's ended runs left behind when their client was killed (names
// in officenames.h): the profile folders in the temporary folder (with the office's temporary
// files inside; none when the folder cannot serve), the pipe sockets of clients that no longer
// run, and single-instance sockets that no office listens on. Never another user's files, never
// those of a live process.
void RemoveLeftoversOfEndedRuns();
