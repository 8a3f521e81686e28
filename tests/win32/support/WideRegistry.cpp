#include "WideRegistry.h"

#include <gtest/gtest.h>

#include <winternl.h>

#include <cstdio>
#include <cstring>

Bytes BytesOf(const std::wstring& text, bool terminated) {
    const std::size_t units = text.size() + (terminated ? 1 : 0);
    Bytes bytes(units * sizeof(wchar_t));
    std::memcpy(bytes.data(), text.c_str(), bytes.size());
    return bytes;
}

namespace {
HKEY CreatedKey(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    EXPECT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    return key;
}
} // namespace

void SetWideValue(HKEY root, const std::string& path, const std::wstring& name, DWORD type, const Bytes& bytes) {
    HKEY key = CreatedKey(root, path);
    ASSERT_TRUE(key);
    // The system adds a terminating zero to string data that lacks one whenever the memory just
    // after the data holds a zero: what follows the data here never does, so the value is exactly
    // these bytes.
    Bytes padded(bytes);
    padded.insert(padded.end(), {0xFF, 0xFF, 0xFF});
    const LONG status = RegSetValueExW(key, name.c_str(), 0, type, bytes.empty() ? nullptr : padded.data(),
                                       static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

WideValue GetWideValue(HKEY root, const std::string& path, const std::wstring& name) {
    WideValue value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.bytes.resize(size);
        if (RegQueryValueExW(key, name.c_str(), nullptr, &value.type, size ? value.bytes.data() : nullptr, &size) ==
            ERROR_SUCCESS) {
            value.exists = true;
            value.bytes.resize(size);
        }
    }
    RegCloseKey(key);
    return value;
}

void SetValueWithCountedName(HKEY root, const std::string& path, const std::wstring& name, DWORD type,
                             const Bytes& bytes) {
    using SetValueKey = LONG(NTAPI*)(HANDLE, PUNICODE_STRING, ULONG, ULONG, PVOID, ULONG);
    const auto set = reinterpret_cast<SetValueKey>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtSetValueKey")));
    ASSERT_TRUE(set);
    HKEY key = CreatedKey(root, path);
    ASSERT_TRUE(key);
    UNICODE_STRING counted;
    counted.Length = static_cast<USHORT>(name.size() * sizeof(wchar_t));
    counted.MaximumLength = counted.Length;
    counted.Buffer = const_cast<wchar_t*>(name.data());
    const LONG status =
        set(key, &counted, 0, type, const_cast<unsigned char*>(bytes.data()), static_cast<ULONG>(bytes.size()));
    RegCloseKey(key);
    ASSERT_EQ(status, 0) << std::hex << status;
}

std::vector<NamedValue> AllValues(HKEY root, const std::string& path) {
    std::vector<NamedValue> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return values;
    std::wstring name(16384, L'\0');
    Bytes data(1 << 20);
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        if (RegEnumValueW(key, index, &name[0], &length, nullptr, &type, data.data(), &size) != ERROR_SUCCESS)
            break;
        values.push_back({std::wstring(name.data(), length), type, Bytes(data.begin(), data.begin() + size)});
    }
    RegCloseKey(key);
    return values;
}

std::wstring WideOf(const std::string& ansi) {
    std::wstring wide(ansi.size() + 1, L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(length > 0 ? length - 1 : 0);
    return wide;
}

std::string Printable(const std::wstring& text) {
    std::string shown;
    for (wchar_t c : text) {
        if (c >= 0x20 && c < 0x7F) {
            shown += static_cast<char>(c);
        } else {
            char code[8];
            std::snprintf(code, sizeof code, "\\u%04X", static_cast<unsigned>(c));
            shown += code;
        }
    }
    return shown;
}

namespace {
void PrintBytes(DWORD type, const Bytes& bytes, std::ostream* out) {
    *out << "type " << type << ", bytes {";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, "%02X", bytes[i]);
        *out << (i ? " " : "") << hex;
    }
    *out << "}";
}
} // namespace

void PrintTo(const WideValue& value, std::ostream* out) {
    if (!value.exists) {
        *out << "(no value)";
        return;
    }
    PrintBytes(value.type, value.bytes, out);
}

void PrintTo(const NamedValue& value, std::ostream* out) {
    *out << "\"" << Printable(value.name) << "\": ";
    PrintBytes(value.type, value.bytes, out);
}
