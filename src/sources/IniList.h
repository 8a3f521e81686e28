// The source of sections 3 and 4: the Load and Run entries of the [Windows] section of WIN.INI,
// read and written through the system's profile calls. The list rules are in IniListText.h.
#pragma once

#include <string>

// The entry's whole value; a missing file, section or key reads as empty.
std::string ReadIniEntry(const std::string& profileFile, const std::string& key);

// Writes the entry's value (the key stays, also with an empty value). A file that cannot be
// written raises "Unable to write to %s" with the file's path.
void WriteIniEntry(const std::string& profileFile, const std::string& key, const std::string& value);
