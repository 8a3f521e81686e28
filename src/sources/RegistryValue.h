// Reading string values of the registry, shared by the Startup-folder and run-key sources.
#pragma once

#include "RunKeyLocator.h"
#include "Win32Handles.h"

#include <string>

// The platform's predefined key handle of a root.
HKEY RootHandle(RootKey root);

// Opens a key below a root with full access, in the view asked for, never creating it. Empty
// when the key is missing or full access is refused.
UniqueRegKey OpenKeyFullAccess(RootKey root, const std::string& path, RegistryView view = RegistryView::Default);

struct StringValue {
    std::string text;
    DWORD type = REG_SZ;
};

// Reads a value as a string: a missing value or one without data reads as empty; a string or
// expandable string is read whole, cut at its first zero character and never expanded; any
// other type with data raises "Invalid data type for '%s'", and a failure to read the data
// "Failed to get data for '%s'", with the value's name.
StringValue ReadStringValue(HKEY key, const std::string& name);
