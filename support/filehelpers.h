#pragma once

// Text cuts and folder creation over 8-bit strings (paths in the local 8-bit form, settings
// text). Offsets and lengths count bytes; patterns match byte for byte, case-sensitive. An empty
// pattern never occurs. Outputs are caller-owned strings, so no result can overrun a buffer.

#include <cstddef>
#include <string>

// Bytes [start, end) of text; end is lowered to the text's length. A start beyond the text
// leaves out untouched; a start not below the end gives "".
void SubString(std::string& out, const std::string& text, std::size_t start, std::size_t end);

// Offset of the last non-overlapping occurrence of pattern, found scanning left to right; -1
// when there is none.
int LastIndexOf(const std::string& text, const std::string& pattern);

// The text before the first (last != 0: the last) occurrence of pattern, with the pattern when
// include > 0. 1 when found; else -1 and "".
int LeftOf(std::string& out, const std::string& text, const std::string& pattern, int include,
           int last);

// The text after the first (last != 0: the last) occurrence of pattern, from the pattern's
// start when include > 0. 1 when found; else -1 and "".
int RightOf(std::string& out, const std::string& text, const std::string& pattern, int include,
            int last);

// RightOf with the left pattern, then LeftOf of what it kept with the right pattern. 1 when both
// are found; else -1 and "".
int Between(std::string& out, const std::string& text, const std::string& leftPattern,
            const std::string& rightPattern, int includeLeft, int includeRight, int lastLeft,
            int lastRight);

// Offset of the n-th occurrence (from 1) of c; -1 when there are fewer or n < 1.
int NthCharIndex(const std::string& text, char c, int n);

// Replaces the first occurrence of pattern by replacement; nothing when it does not occur.
void ReplaceFirst(std::string& text, const std::string& pattern, const std::string& replacement);

// Replaces the first occurrence again and again while the pattern occurs anywhere in the text.
// A replacement that holds the pattern is put in once per original occurrence instead of
// forever.
void ReplaceAll(std::string& text, const std::string& pattern, const std::string& replacement);

// Creates every missing level of a folder path, ignoring levels that exist or cannot be made.
// The text before the first separator (a drive, the root, or a relative path's first folder) is
// never created. Separators: "/" on Linux (a backslash is an ordinary character there); "/" and
// "\" on Windows.
void MakeDirPath(const std::string& path);
