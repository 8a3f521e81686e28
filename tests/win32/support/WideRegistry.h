// Registry and text helpers for the tests of exact (wide) text: values written and read through
// the wide calls, byte for byte, and values whose names hold a zero character, which only the
// native call that takes a counted name can make.
#pragma once

#include <windows.h>

#include <ostream>
#include <string>
#include <vector>

using Bytes = std::vector<unsigned char>;

// The bytes of a wide text, with or without its terminating zero.
Bytes BytesOf(const std::wstring& text, bool terminated = true);

struct WideValue {
    bool exists = false;
    DWORD type = 0;
    Bytes bytes;
    bool operator==(const WideValue& other) const {
        return exists == other.exists && type == other.type && bytes == other.bytes;
    }
};

// Creates the key when needed and sets the value exactly (RegSetValueExW).
void SetWideValue(HKEY root, const std::string& path, const std::wstring& name, DWORD type, const Bytes& bytes);
WideValue GetWideValue(HKEY root, const std::string& path, const std::wstring& name);

// Sets a value under a name that may hold zero characters (NtSetValueKey, counted name).
void SetValueWithCountedName(HKEY root, const std::string& path, const std::wstring& name, DWORD type,
                             const Bytes& bytes);

// Every value of a key by index, exactly: names (zero characters included), types and bytes.
struct NamedValue {
    std::wstring name;
    DWORD type = 0;
    Bytes bytes;
    bool operator==(const NamedValue& other) const {
        return name == other.name && type == other.type && bytes == other.bytes;
    }
};
std::vector<NamedValue> AllValues(HKEY root, const std::string& path);

std::wstring WideOf(const std::string& ansi);
// Printable form of a wide text for failure messages.
std::string Printable(const std::wstring& text);

// How failure messages show a value: its type and its bytes in hexadecimal (and a name printable).
void PrintTo(const WideValue& value, std::ostream* out);
void PrintTo(const NamedValue& value, std::ostream* out);
