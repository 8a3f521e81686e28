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

// Hands every value of the key to onValue, in the registry's order; the default value has an empty name. A key that is
// missing or cannot be opened with full access has no values. A value of a type other than a string with data raises
// "Invalid data type for '%s'" after the values before it were handed over.
void ReadRunKey(const RunKeyLocator& key, const std::function<void(RunValue&&)>& onValue);

// Deletes the named value of the key (a value already gone is no error) and answers the value
// as it stood just before, read exactly; empty when it was gone or the key cannot be opened
// (which changes nothing). A name holding a zero character raises "The name of value '%s'
// holds a zero character; it cannot be changed" and touches nothing.
std::optional<RunValue> DeleteRunValue(const RunKeyLocator& key, const std::wstring& name);

// Writes the value back with its name, type and exact data, replacing any value of that name.
// A key that cannot be opened changes nothing; a failed write raises "Failed to set data for
// '%s'"; a name holding a zero character raises the error of DeleteRunValue and writes nothing.
void WriteRunValue(const RunKeyLocator& key, const RunValue& value);
