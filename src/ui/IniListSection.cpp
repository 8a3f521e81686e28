// Sections 3 and 4: the programs of the Load and Run entries of WIN.INI's [Windows] section.
#include "Dawnroll.h"

#include "../sources/AppError.h"
#include "../sources/IniList.h"
#include "../sources/IniListText.h"
#include "../sources/WideText.h"

// The file's path comes in the ANSI code page; from here on every text is wide, so that programs
// named in any script are kept exactly.
void TFormDawnroll::LoadIniList(Section& box, CheckListBox& list, const std::string& key,
                                const std::string& profileFile) {
    LoadIniList(box, list, WideOfAnsi(key), WideOfAnsi(profileFile));
}

void TFormDawnroll::LoadIniList(Section& box, CheckListBox& list, const std::wstring& key,
                                const std::wstring& profileFile) {
    LoadSection(box, [&] {
        box.SetTitle(IniListTitle(profileFile, key));
        list.Clear();
        const auto value = ReadIniEntry(profileFile, key);
        const auto programs = SplitProgramList(value);
        list.Append(programs, std::vector<bool>(programs.size(), true));
        list.SetWideSourceText(value);
        return SectionContents{list.Count()};
    });
}

// Rewrites the entry named by the section's title from the checked lines, in list order. The
// list is the entry as the section last read or wrote it; when another program has changed the
// entry since, nothing is written, the section shows the entry as it now is, and the user is
// told.
void TFormDawnroll::WinIniClickCheck(CheckListBox& list) {
    Section& box = SectionHolding(list.Handle());
    const auto locator = ParseIniListTitle(box.WideTitle());
    if (!locator)
        return;
    if (ReadIniEntry(locator->profileFile, locator->key) != list.WideSourceText()) {
        LoadIniList(box, list, locator->key, locator->profileFile);
        throw AppError("The " + Utf8Of(locator->key) + "= entry of " + Utf8Of(locator->profileFile) +
                       " was changed by another program; it has been read again and nothing was written");
    }
    std::vector<std::wstring> checked;
    for (int i = 0; i < list.Count(); ++i) {
        if (list.Checked(i))
            checked.push_back(list.WideLine(i));
    }
    // What a later read gives back of what was written (a file's drops enclosing quotes, for one).
    list.SetWideSourceText(WriteIniEntry(locator->profileFile, locator->key, JoinProgramList(checked)));
}
