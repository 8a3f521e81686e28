// Reading values of the registry through the wide calls, shared by the Startup-folder and
// run-key sources: names and data exactly as the registry holds them.
#pragma once

#include "RunKeyLocator.h"
#include "Win32Handles.h"

#include <optional>
#include <string>
#include <vector>

// The platform's predefined key handle of a root.
HKEY RootHandle(RootKey root);

// Opens a key below a root with full access, in the view asked for, never creating it. Empty
// when the key is missing or full access is refused.
UniqueRegKey OpenKeyFullAccess(RootKey root, const std::string& path, RegistryView view = RegistryView::Default);

// A value as the registry holds it: its type and its data, byte for byte.
struct RawValue {
    DWORD type = REG_NONE;
    std::vector<unsigned char> bytes;
};

// Reads a value whole; empty when it does not exist. A failure to read data that exists raises
// "Failed to get data for '%s'" with the value's name.
std::optional<RawValue> ReadRawValue(HKEY key, const std::wstring& name);

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
