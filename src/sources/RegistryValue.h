// Reading values of the registry through the wide calls, shared by the Startup-folder and
// run-key sources: names and data exactly as the registry holds them.
#pragma once

#include "RunKeyLocator.h"
#include "Win32Handles.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

// The platform's predefined key handle of a root.
HKEY RootHandle(RootKey root);

// Opens a key below a root for reading its values, in the view asked for, never creating it.
// It asks for nothing but querying values (which also lets the key's values be counted and
// enumerated), so that a key a user may read but not change, such as the local machine's keys
// for a user without administrator rights, is read all the same. Empty when the key is missing
// or even reading is refused.
UniqueRegKey OpenKeyForReading(RootKey root, const std::string& path, RegistryView view = RegistryView::Default);

// Opens a key below a root at the moment a change is made, asking for only the access the
// change needs, in the view asked for, never creating it. Empty when the key does not exist;
// any other refusal raises ChangeRefused with its reason (RefusedChangeReason).
UniqueRegKey OpenKeyForChanging(RootKey root, const std::string& path, REGSAM access,
                                RegistryView view = RegistryView::Default);

// Raises ChangeRefused for a registry call under root that answered the platform code.
[[noreturn]] void RaiseRefusedChange(RootKey root, LONG code);

// Raises "The name of value '%s' holds a zero character; it cannot be changed" for a name that
// the registry's calls cannot name (it holds a zero character, and would name another value).
void RequireReachableName(const std::wstring& name);

// A value as the registry holds it: its type and its data, byte for byte.
struct RawValue {
    DWORD type = REG_NONE;
    std::vector<unsigned char> bytes;
};

// Reads a value whole; empty when it does not exist. A failure to read data that exists raises
// "Failed to get data for '%s'" with the value's name.
std::optional<RawValue> ReadRawValue(HKEY key, const std::wstring& name);

// Hands every value of an open key to onValue, in the registry's order, each read by its index,
// name and data in one call: a name that holds a zero character could not be asked for by name.
// The default value has an empty name. Enumeration ends at the first index the registry does not
// answer.
void ForEachValue(
    HKEY key, const std::function<void(std::wstring&& name, DWORD type, std::vector<unsigned char>&& data)>& onValue);

// The text of string data: UTF-16 units, cut at the first zero character (a last odd byte is
// no unit of its own and is left out).
std::wstring TextOfData(const std::vector<unsigned char>& bytes);

// A value's name as messages give it: UTF-8, a zero character inside shown as "\0".
std::string MessageName(std::wstring_view name);

struct StringValue {
    std::wstring text;
    DWORD type = REG_SZ;
};

// Reads a value as a string: a missing value or one without data reads as empty; a string or
// expandable string is read whole, cut at its first zero character and never expanded; any
// other type with data raises "Invalid data type for '%s'", and a failure to read the data
// "Failed to get data for '%s'", with the value's name.
StringValue ReadStringValue(HKEY key, const std::wstring& name);
