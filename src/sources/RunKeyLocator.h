// Titles of the registry run-key sections and their parsing, free of the platform.
#pragma once

#include <string>
#include <string_view>

// A root of the registry, by the value of the platform's predefined key handle: the one way the
// program names a root, in titles, locators and registry calls alike.
enum class RootKey : unsigned long { CurrentUser = 0x80000001, LocalMachine = 0x80000002 };

// Which view of the registry a key is opened in. A 32-bit program on a 64-bit system sees, by
// default, the 32-bit programs' share of the local machine's SOFTWARE key (its Wow6432Node)
// under the names of the system's own keys; Native asks for the keys the names say. A 32-bit
// system has one view, and the program asks for none there.
enum class RegistryView { Default, Native };

// "HKEY_CURRENT_USER" or "HKEY_LOCAL_MACHINE".
const char* RootKeyName(RootKey root);

// Path of a run key below its root, without a leading backslash (the form the registry's
// open call takes): "SOFTWARE\Microsoft\Windows\CurrentVersion\" KEYNAME.
std::string RunKeyPath(std::string_view keyName);
// The same key of the 32-bit programs on a 64-bit system, as the native view names it:
// "SOFTWARE\Wow6432Node\Microsoft\Windows\CurrentVersion\" KEYNAME.
std::string Wow6432NodeRunKeyPath(std::string_view keyName);

struct RunKeyLocator {
    RootKey root;
    std::string keyPath; // below the root, without a leading backslash
    // Not part of the title: the window knows which view its keys are opened in.
    RegistryView view = RegistryView::Default;
};

// "My Computer\" ROOT "\" KEYPATH.
std::string RunKeyTitle(const RunKeyLocator& key);
// "My Computer\" ROOT "\SOFTWARE\Microsoft\Windows\CurrentVersion\" KEYNAME.
std::string RunKeyTitle(RootKey root, std::string_view keyName);

// Why a change of a key under root was refused, in words, for the platform's error code
// (ReasonOfError). Access denied under the local machine says what it takes: "access is
// denied; changing the local machine's entries needs Dawnroll started with "Run as
// administrator"".
std::string RefusedChangeReason(RootKey root, unsigned long code);
