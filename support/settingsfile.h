#pragma once

// The settings file: lines Key=Value, each ended by CR LF (a bare LF is accepted as well), 8-bit
// text, read and written in binary. Keys are case-sensitive and found only at the start of a line
// (blanks may precede them). Values are stored as given and read trimmed of spaces and tabs.

#include <cstdio>
#include <string>

// Length in bytes of an open file; its position is kept.
long FileLength(std::FILE* file);

// Reads the whole file into text. 0 when read; -1 when it cannot be opened (text unchanged).
int ReadWholeFile(std::string& text, const std::string& path);

// The trimmed value of key's first line in the settings text; "" when the key has no line.
void GetKeyValue(std::string& value, const std::string& text, const std::string& key);

// Stores key=value in the file: the key's first line is replaced, or a line is appended. The file
// is replaced whole or not at all, and never created. 0 when stored; -1 when the file is missing
// or cannot be written, or when key or value would break the line format (a line break or a NUL
// byte, an empty key, "=" in the key).
int SetKeyValue(const std::string& path, const std::string& key, const std::string& value);

// The settings text with key's first line replaced by key=value CR LF, or that line appended
// (after a CR LF when the text does not end with LF). Every other byte is kept.
void ReplaceKeyValue(std::string& out, const std::string& oldText, const std::string& key,
                     const std::string& value);

// Removes spaces and tabs at both ends of text.
void TrimBlanks(std::string& text);
