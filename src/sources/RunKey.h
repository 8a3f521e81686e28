// The source of sections 7 to 11 (and 12 to 14 on a 64-bit system): the values of the registry run keys, listed in the
// registry's order, deleted and written back exactly, through the wide registry calls. Titles and their parsing are in
// RunKeyLocator.h.
#pragma once

#include "RunKeyLocator.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// One value of a run key exactly as the registry holds it: its name (which may hold a zero
// character), its registry type and its data byte for byte, so that it can be written back as
// it was: a zero inside the data, a missing terminator or an odd byte count included.
struct RunValue {
    std::wstring name;
    unsigned long type = 0;
    std::vector<unsigned char> data;
};

// What a row shows of a value: the name up to its first zero character, and the data as text,
// cut at its first zero and never expanded (empty for a value without data).
std::wstring ShownName(const RunValue& value);
std::wstring ShownData(const RunValue& value);

// Whether the registry's calls can name the value at all: a name that holds a zero character
// names, for them, another value.
bool NameIsReachable(const std::wstring& name);

// Hands every value of the key to onValue, in the registry's order; the default value has an empty name. The key is
// opened for reading only, so a key the user may read but not change is listed. A key that is missing or cannot even be
// read has no values. A value of a type other than a string with data raises "Invalid data type for '%s'" after the
// values before it were handed over.
void ReadRunKey(const RunKeyLocator& key, const std::function<void(RunValue&&)>& onValue);

// The named value of the key as it is now, exactly; empty when it, or the key, does not exist
// (or cannot even be read). The key is opened for reading only; a name holding a zero character
// is found among the key's values by its exact name.
std::optional<RunValue> ReadRunValue(const RunKeyLocator& key, const std::wstring& name);

// Deletes the named value of the key and answers the value as it stood just before, read
// exactly. The value is read first with read access (ReadRunValue); only a value that is there
// has the key opened for querying and setting values, at this moment.
// - Empty, and no error, when the value was already gone or the key no longer exists, also when
//   it is deleted between opening and deleting (either way the entry will not start).
// - A key that refuses the change (access denied, ...) or a refused deletion raises
//   ChangeRefused with the reason (under the local machine, access denied says that it needs
//   the program run as administrator); the value stays.
// - A name holding a zero character raises "The name of value '%s' holds a zero character; it
//   cannot be changed" and touches nothing.
std::optional<RunValue> DeleteRunValue(const RunKeyLocator& key, const std::wstring& name);

// Writes back a value that unchecking deleted, with its name, type and exact data, but only
// where no value of that name exists now: empty when it was written. When another program has
// written a value of that name since, nothing is written and the value as it now is is answered,
// so that the row can show it. The key is never created:
// - a key that no longer exists raises ChangeRefused "the key no longer exists";
// - a key that refuses the change raises ChangeRefused with the reason, as DeleteRunValue does;
// - a refused write raises "Failed to set data for '%s': " followed by the reason (the value is
//   named in the message, so it is an AppError of its own, not ChangeRefused);
// - a name holding a zero character raises the error of DeleteRunValue and writes nothing.
std::optional<RunValue> RestoreRunValue(const RunKeyLocator& key, const RunValue& value);
