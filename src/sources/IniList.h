// The source of sections 3 and 4: the Load and Run entries of the [Windows] section of WIN.INI,
// read and written through the system's wide profile calls, so that every program's name is kept
// exactly. The list rules are in IniListText.h.
#pragma once

#include <optional>
#include <string>

// The entry's whole value; a missing file, section or key reads as empty.
std::wstring ReadIniEntry(const std::wstring& profileFile, const std::wstring& key);

// Writes the entry's value (the key stays, also with an empty value) and answers what a later
// read of the entry gives back, worked out without reading it (a read now could give another
// program's change as this one): in a file, the value as ProfileReadBack says (IniListText.h:
// without blanks around it and one pair of enclosing quotes); in a section the system keeps in
// the registry (WIN.INI's [Windows], see IniEntryKeptInRegistry), the value exactly. A file
// that cannot be written raises "Unable to write to %s" with the file's path.
std::wstring WriteIniEntry(const std::wstring& profileFile, const std::wstring& key, const std::wstring& value);

// The same, but only while the entry still holds `expected` (what the caller last read or was
// answered): when another program has changed it since, nothing is written and the answer is
// empty.
std::optional<std::wstring> WriteIniEntryUnlessChanged(const std::wstring& profileFile, const std::wstring& key,
                                                       const std::wstring& value, const std::wstring& expected);

// Whether the profile calls keep this entry of the [Windows] section of this file (known by its
// name) in the registry, as the system's IniFileMapping list says: under the key of the file's
// name, a key for the section with a value for the entry or a default value, or else a value for
// the section or a default value. The list is opened at the first call and kept, as the profile
// calls keep it.
bool IniEntryKeptInRegistry(const std::wstring& profileFile, const std::wstring& key);
