// Sections 3 and 4: the programs of the Load and Run entries of WIN.INI's [Windows] section.
#include "Dawnroll.h"

#include "../sources/IniList.h"
#include "../sources/IniListText.h"
#include "../sources/WideText.h"

void TFormDawnroll::LoadIniList(Section& box, CheckListBox& list, const std::string& key,
                                const std::string& profileFile) {
    LoadSection(box, [&] {
        // The file's path comes in the ANSI code page; from here on every text is wide, so that
        // programs named in any script are kept exactly.
        const std::wstring file = WideOfAnsi(profileFile);
        const std::wstring wideKey = WideOfAnsi(key);
        box.SetTitle(IniListTitle(file, wideKey));
        list.Clear();
        const auto programs = SplitProgramList(ReadIniEntry(file, wideKey));
        list.Append(programs, std::vector<bool>(programs.size(), true));
        return SectionContents{list.Count()};
    });
}

// Rewrites the entry named by the section's title from the checked lines, in list order.
void TFormDawnroll::WinIniClickCheck(CheckListBox& list) {
    const auto locator = ParseIniListTitle(SectionHolding(list.Handle()).WideTitle());
    if (!locator)
        return;
    std::vector<std::wstring> checked;
    for (int i = 0; i < list.Count(); ++i) {
        if (list.Checked(i))
            checked.push_back(list.WideLine(i));
    }
    WriteIniEntry(locator->profileFile, locator->key, JoinProgramList(checked));
}
