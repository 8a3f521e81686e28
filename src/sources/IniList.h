// The source of sections 3 and 4: the Load and Run entries of the [Windows] section of WIN.INI,
// read and written through the system's wide profile calls, so that every program's name is kept
// exactly. The list rules are in IniListText.h.
#pragma once

#include <string>

// The entry's whole value; a missing file, section or key reads as empty.
std::wstring ReadIniEntry(const std::wstring& profileFile, const std::wstring& key);

// Writes the entry's value (the key stays, also with an empty value). A file that cannot be
// written raises "Unable to write to %s" with the file's path.
void WriteIniEntry(const std::wstring& profileFile, const std::wstring& key, const std::wstring& value);
