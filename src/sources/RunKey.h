// The source of sections 7 to 11 (and 12 to 14 on a 64-bit system): the values of the registry run keys, listed in the
// registry's order, deleted and written back. Titles and their parsing are in RunKeyLocator.h.
#pragma once

#include "RunKeyLocator.h"

#include <functional>
#include <string>

// One value of a run key: its name, its data read as a string, and its registry type, so that
// it can be written back as it was.
struct RunValue {
    std::string name;
    std::string data;
    unsigned long type = 0;
};

// Hands every value of the key to onValue, in the registry's order; the default value has an
// empty name. A key that is missing or cannot be opened with full access has no values. A value
// that cannot be read as a string raises its error after the values before it were handed over.
void ReadRunKey(const RunKeyLocator& key, const std::function<void(RunValue&&)>& onValue);

// Deletes the named value of the key (a value already gone is no error). A key that cannot be
// opened changes nothing.
void DeleteRunValue(const RunKeyLocator& key, const std::string& name);

// Writes the value back with its name, type and data, replacing any value of that name. A key
// that cannot be opened changes nothing; a failed write raises "Failed to set data for '%s'".
void WriteRunValue(const RunKeyLocator& key, const RunValue& value);
