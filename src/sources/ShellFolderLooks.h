// The shell's display names and small icons of a folder's files, all found through one listing
// of the folder by the shell.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <unordered_map>

// What every question to the shell about a file's looks asks for (SHGetFileInfoW), so that a file
// asked for by its path and one asked for through the folder's listing get the same answer.
constexpr UINT kShellLookFlags = SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME | SHGFI_SMALLICON;

// How the shell shows a file: its display name and its place in the system small-icon list.
struct ShellLook {
    std::wstring caption; // may be empty when the shell has no name for the file
    int icon = 0;
};

// The looks of the files in the folder (a full path, with or without a trailing backslash), by
// each file's name as the file system holds it. Asking the shell for a file by its path makes it
// find every folder of the path on disk again, and in a large folder each lookup costs more than
// the one before; a file listed here costs the same in any folder. Files the shell does not list
// or describe are missing, so that their looks are asked for by path; the map is empty when the
// shell cannot list the folder. Needs COM on the calling thread.
std::unordered_map<std::wstring, ShellLook> ShellLooksOfFolder(const std::wstring& folder);
