#pragma once

#include <functional>
#include <string>
#include <vector>

// Which installed face prints in place of each Windows and Office face that workbooks name and
// this machine lacks, so that text takes the room it takes in Excel and pages break where Excel
// breaks them.

// A face that workbooks name, and the installed face that prints in its place.
struct FontReplacement
{
    std::string face;
    std::string replacement;
};

// The replacements of the faces that are not installed by faces that are: installed tells
// whether a family is. Besides the faces themselves, the names Excel gives a theme's fonts
// ("Calibri (Body)", "+mn-lt") print as the faces they stand for.
std::vector<FontReplacement>
FontReplacements(const std::function<bool(const std::string& family)>& installed);
