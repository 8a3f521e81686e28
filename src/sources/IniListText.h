// Rules of the WIN.INI program lists (the Load and Run entries), free of the platform, on the
// wide (UTF-16) text the program reads and writes WIN.INI in.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Splits an entry value at its semicolons; each piece is trimmed of blanks and control
// characters (every character up to and including the space) and kept when not empty.
std::vector<std::wstring> SplitProgramList(std::wstring_view value);

// Joins programs with single semicolons, no blanks, no trailing semicolon.
std::wstring JoinProgramList(const std::vector<std::wstring>& programs);

// What a later read of a value written through the profile call gives back: the value without
// the blanks around it (space, tab, line feed, vertical tab, form feed, carriage return, Ctrl-Z),
// and then without one pair of enclosing quotes, when it begins and ends with the same quote
// (" or ') and is longer than that one character: "\"a b.exe\"" reads as "a b.exe", and
// "\"a.exe\";\"b.exe\"" as "a.exe\";\"b.exe".
std::wstring ProfileReadBack(const std::wstring& written);

// The section title, which shows where the list came from: FILE ", [Windows], " KEY "=".
std::wstring IniListTitle(const std::wstring& profileFile, const std::wstring& key);

// The folder with a backslash appended unless it already ends in one.
std::string WithTrailingBackslash(std::string folder);
std::wstring WithTrailingBackslash(std::wstring folder);
