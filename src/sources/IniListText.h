// Rules of the WIN.INI program lists (the Load and Run entries), free of the platform. Each rule
// comes in the 8-bit form and in the wide (UTF-16) form the program reads and writes WIN.INI
// in; both follow the same code.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Splits an entry value at its semicolons; each piece is trimmed of blanks and control
// characters (every character up to and including the space) and kept when not empty.
std::vector<std::string> SplitProgramList(std::string_view value);
std::vector<std::wstring> SplitProgramList(std::wstring_view value);

// Joins programs with single semicolons, no blanks, no trailing semicolon.
std::string JoinProgramList(const std::vector<std::string>& programs);
std::wstring JoinProgramList(const std::vector<std::wstring>& programs);

// What a later read of a value written through the profile call gives back: the value without
// the blanks around it (space, tab, line feed, vertical tab, form feed, carriage return, Ctrl-Z),
// and then without one pair of enclosing quotes, when it begins and ends with the same quote
// (" or ') and is longer than that one character: "\"a b.exe\"" reads as "a b.exe", and
// "\"a.exe\";\"b.exe\"" as "a.exe\";\"b.exe".
std::string ProfileReadBack(const std::string& written);
std::wstring ProfileReadBack(const std::wstring& written);

// The section title that records where the list came from: FILE ", [Windows], " KEY "=".
std::string IniListTitle(const std::string& profileFile, const std::string& key);
std::wstring IniListTitle(const std::wstring& profileFile, const std::wstring& key);

template <typename Text> struct BasicIniListLocator {
    Text profileFile;
    Text key;
};
using IniListLocator = BasicIniListLocator<std::string>;
using WideIniListLocator = BasicIniListLocator<std::wstring>;

// Parses a title made by IniListTitle back. The key is taken from the title's known end, so
// a folder whose path holds ", " still names the right file. Empty when the title is not one.
std::optional<IniListLocator> ParseIniListTitle(std::string_view title);
std::optional<WideIniListLocator> ParseIniListTitle(std::wstring_view title);

// The folder with a backslash appended unless it already ends in one.
std::string WithTrailingBackslash(std::string folder);
std::wstring WithTrailingBackslash(std::wstring folder);
