#include "IniList.h"

#include "AppError.h"
#include "WideText.h"

#include <windows.h>

namespace {
constexpr const wchar_t* kSection = L"Windows";
constexpr DWORD kFirstBuffer = 2048;
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

void WriteIniEntry(const std::wstring& profileFile, const std::wstring& key, const std::wstring& value) {
    if (!WritePrivateProfileStringW(kSection, key.c_str(), value.c_str(), profileFile.c_str()))
        throw AppError(FormatMessageWith("Unable to write to %s", Utf8Of(profileFile)));
}
