#include "IniList.h"

#include "AppError.h"
#include "IniListText.h"

#include <windows.h>

namespace {
constexpr const char* kSection = "Windows";
constexpr DWORD kFirstBuffer = 2048;

// The ANSI call turns its strings into wide strings of at most 32,766 characters; with a longer
// value it fails inside the system (under Wine it stores a broken value or faults). Such a value
// is turned into a wide string here, in the same code page, and written through the wide call.
constexpr std::size_t kLongestAnsiProfileValue = 32766;

std::wstring Widened(const std::string& text) {
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide(length > 0 ? length : 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(wide.size() - 1);
    return wide;
}

bool WriteEntry(const std::string& profileFile, const std::string& key, const std::string& value) {
    if (value.size() <= kLongestAnsiProfileValue)
        return WritePrivateProfileStringA(kSection, key.c_str(), value.c_str(), profileFile.c_str()) != FALSE;
    return WritePrivateProfileStringW(L"Windows", Widened(key).c_str(), Widened(value).c_str(),
                                      Widened(profileFile).c_str()) != FALSE;
}
} // namespace

// The profile call cuts a value to its buffer, so a value that
// fills the buffer is asked for again with a larger one.
std::string ReadIniEntry(const std::string& profileFile, const std::string& key) {
    std::string buffer(kFirstBuffer, '\0');
    for (;;) {
        const DWORD length = GetPrivateProfileStringA(kSection, key.c_str(), "", &buffer[0],
                                                      static_cast<DWORD>(buffer.size()), profileFile.c_str());
        if (length + 1 < buffer.size()) {
            buffer.resize(length);
            return buffer;
        }
        buffer.assign(buffer.size() * 4, '\0');
    }
}

void WriteIniEntry(const std::string& profileFile, const std::string& key, const std::string& value) {
    if (!WriteEntry(profileFile, key, value))
        throw AppError(FormatMessageWith("Unable to write to %s", profileFile));
}
