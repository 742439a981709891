#pragma once

#include <chrono>
#include <string>

// Limits on one call into the spreadsheet application, in seconds: long enough for the office to
// start, short enough that the clock's arithmetic never overflows.
constexpr double MinCallSeconds = 1;
constexpr double MaxCallSeconds = 86400;
constexpr double DefaultCallSeconds = 120;

// Reads a time limit written as plain decimal seconds ("30", "2.5") from MinCallSeconds to
// MaxCallSeconds. False, leaving limit alone, for anything else: signs, exponents, nan, inf,
// trailing text.
bool ParseCallTimeLimit(const std::string& seconds, std::chrono::milliseconds& limit);

// The call limit that the environment sets: QUILLSHEET_CALL_TIMEOUT when it holds a valid limit,
// else DefaultCallSeconds, having told on stderr what is wrong with it. Read once, as the program
// starts.
std::chrono::milliseconds CallTimeLimitOfEnvironment();
