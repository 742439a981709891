#pragma once

#include <functional>
#include <string>
#include <vector>

// Which faces print the characters that a cell's own face lacks (Arabic in Arial's clone, Thai in
// Calibri's): the office asks fontconfig, which, left alone, offers DejaVu Sans first for every
// script it covers, a face far wider than Windows' own fallback. A fontconfig configuration of
// the office's private profile puts Noto faces first instead, in this fallback only.

// The Noto faces installed here for the scripts Windows falls back to a sans face of its own for
// (Arial's, Tahoma's, Segoe UI's, Leelawadee UI's, Nirmala UI's, Ebrima's scripts); installed
// tells whether a family is.
std::vector<std::string>
ScriptFallbackFaces(const std::function<bool(const std::string& family)>& installed);

// The text of a fontconfig configuration that is the configuration at systemConfiguration plus
// faces first in every fallback; empty without faces.
std::string FontFallbackConfiguration(const std::string& systemConfiguration,
                                      const std::vector<std::string>& faces);
