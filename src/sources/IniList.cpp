#include "IniList.h"

#include "AppError.h"
#include "IniListText.h"
#include "WideText.h"
#include "Win32Handles.h"

#include <windows.h>

namespace {
constexpr const wchar_t* kSection = L"Windows";
constexpr DWORD kFirstBuffer = 2048;

// The system's list of the profile files whose sections it keeps in the registry, opened once,
// as the profile calls themselves do.
HKEY IniFileMapping() {
    static const UniqueRegKey mapping = [] {
        HKEY key = nullptr;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Microsoft\\Windows NT\\CurrentVersion\\IniFileMapping", 0,
                          KEY_READ, &key) != ERROR_SUCCESS)
            key = nullptr;
        return UniqueRegKey(key);
    }();
    return mapping.Get();
}

bool HasValue(HKEY key, const wchar_t* name) {
    return RegQueryValueExW(key, name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}
} // namespace

// The profile call cuts a value to its buffer, so a value that
// fills the buffer is asked for again with a larger one.
std::wstring ReadIniEntry(const std::wstring& profileFile, const std::wstring& key) {
    std::wstring buffer(kFirstBuffer, L'\0');
    for (;;) {
        const DWORD length = GetPrivateProfileStringW(kSection, key.c_str(), L"", &buffer[0],
                                                      static_cast<DWORD>(buffer.size()), profileFile.c_str());
        if (length + 1 < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.assign(buffer.size() * 4, L'\0');
    }
}

bool IniEntryKeptInRegistry(const std::wstring& profileFile, const std::wstring& key) {
    const HKEY mapping = IniFileMapping();
    if (!mapping)
        return false;
    const auto slash = profileFile.find_last_of(L"\\/");
    const std::wstring name = slash == std::wstring::npos ? profileFile : profileFile.substr(slash + 1);
    HKEY found = nullptr;
    if (RegOpenKeyExW(mapping, name.c_str(), 0, KEY_READ, &found) != ERROR_SUCCESS)
        return false;
    const UniqueRegKey file(found);
    // A key for the section maps its entries one by one (a value named after the entry) or all
    // at once (its default value); without one, a value for the section or the file's default
    // value maps the whole section.
    if (RegOpenKeyExW(file.Get(), kSection, 0, KEY_QUERY_VALUE, &found) == ERROR_SUCCESS) {
        const UniqueRegKey section(found);
        return HasValue(section.Get(), key.c_str()) || HasValue(section.Get(), nullptr);
    }
    return HasValue(file.Get(), kSection) || HasValue(file.Get(), nullptr);
}

std::wstring WriteIniEntry(const std::wstring& profileFile, const std::wstring& key, const std::wstring& value) {
    if (!WritePrivateProfileStringW(kSection, key.c_str(), value.c_str(), profileFile.c_str()))
        throw AppError(FormatMessageWith("Unable to write to %s", Utf8Of(profileFile)));
    return IniEntryKeptInRegistry(profileFile, key) ? value : ProfileReadBack(value);
}

std::optional<std::wstring> WriteIniEntryUnlessChanged(const std::wstring& profileFile, const std::wstring& key,
                                                       const std::wstring& value, const std::wstring& expected) {
    if (ReadIniEntry(profileFile, key) != expected)
        return std::nullopt;
    return WriteIniEntry(profileFile, key, value);
}
