#pragma once

#include "automation/fontreplacements.h"

#include <string>
#include <vector>

// The settings a private office profile starts with: the text of its
// user/registrymodifications.xcu. Besides marking the profile as set up, they make the office
// print as Excel would on this user's machine, without changing anything outside the profile:
// numbers and dates in the user's locale, Windows' and Office's faces in installed faces of the
// same widths (see fontreplacements.h), and scripts a face lacks in faces like Windows' own (see
// scriptfallback.h).

// The locale (as the office names it: "zh-CN") that the environment gives for formats: LC_ALL,
// else LC_TIME, else LC_NUMERIC, else LANG, the first one set and not empty. Empty for C and
// POSIX, and for anything that is not a plain locale name.
std::string FormatLocale(const char* lcAll, const char* lcTime, const char* lcNumeric,
                         const char* lang);

// The settings text for a format locale (empty: the office's default) and font replacements.
std::string OfficeSettingsText(const std::string& locale,
                               const std::vector<FontReplacement>& replacements);

// The settings text for this process: from its environment and this machine's fonts, made once.
const std::string& OfficeSettings();

// The text of the fontconfig configuration a profile's offices run with, for this machine's fonts,
// made once: empty when it would change nothing.
const std::string& OfficeFontConfiguration();
