// Titles of the registry run-key sections and their parsing, free of the platform.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// A root of the registry, by the value of the platform's predefined key handle: the one way the
// program names a root, in titles, locators and registry calls alike.
enum class RootKey : unsigned long { CurrentUser = 0x80000001, LocalMachine = 0x80000002 };

// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE".
const char* RootKeyName(RootKey root);

// Path of a run key below its root, without a leading backslash (the form the registry's
// open call takes): "SOFTWARE\Microsoft\Windows\CurrentVersion\" KEYNAME.
std::string RunKeyPath(std::string_view keyName);

// "My Computer\" ROOT "\SOFTWARE\Microsoft\Windows\CurrentVersion\" KEYNAME.
std::string RunKeyTitle(RootKey root, std::string_view keyName);

struct RunKeyLocator {
    RootKey root;
    std::string keyPath; // below the root, without a leading backslash
};

// Parses a run-key title back: drops everything up to its first backslash, recognises the
// root by name and keeps the rest as the key path. Empty for any other root.
std::optional<RunKeyLocator> ParseRunKeyTitle(std::string_view title);
