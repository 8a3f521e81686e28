#include "IniList.h"

#include "AppError.h"
#include "IniListText.h"

#include "../ui/CheckListBox.h"
#include "../ui/GdiObjects.h"
#include "../ui/GroupBox.h"
#include "../ui/SectionLayout.h"

#include <windows.h>

namespace {
constexpr const char* kSection = "Windows";
constexpr DWORD kFirstBuffer = 2048;

// The entry's whole value: the profile call cuts a value to its buffer, so a value that
// fills the buffer is asked for again with a larger one.
std::string ReadEntry(const std::string& key, const std::string& profileFile) {
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

bool WriteEntry(const std::string& key, const std::string& value, const std::string& profileFile) {
    if (value.size() <= kLongestAnsiProfileValue)
        return WritePrivateProfileStringA(kSection, key.c_str(), value.c_str(), profileFile.c_str()) != FALSE;
    return WritePrivateProfileStringW(L"Windows", Widened(key).c_str(), Widened(value).c_str(),
                                      Widened(profileFile).c_str()) != FALSE;
}
} // namespace

void LoadIniList(GroupBox& box, CheckListBox& list, const std::string& key, const std::string& profileFile) {
    box.MakeVisible();
    box.SetTitle(IniListTitle(profileFile, key));
    list.Clear();
    const auto programs = SplitProgramList(ReadEntry(key, profileFile));
    list.Append(programs, std::vector<bool>(programs.size(), true));
    if (programs.empty()) {
        box.LeaveEmpty();
        return;
    }
    const int lineHeight = TextMeasurer(list.Handle()).LineHeight();
    box.SetHeight(FilledSectionHeight(SectionKind::IniList, lineHeight, static_cast<int>(programs.size())));
}

void WinIniClickCheck(CheckListBox& list) {
    const auto locator = ParseIniListTitle(list.GroupCaption());
    if (!locator)
        return;
    std::vector<std::string> checked;
    for (int i = 0; i < list.Count(); ++i) {
        if (list.Checked(i))
            checked.push_back(list.Line(i));
    }
    if (!WriteEntry(locator->key, JoinProgramList(checked), locator->profileFile))
        throw AppError(FormatMessageWith("Unable to write to %s", locator->profileFile));
}
