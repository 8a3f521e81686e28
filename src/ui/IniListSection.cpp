// Sections 3 and 4: the programs of the Load and Run entries of WIN.INI's [Windows] section.
#include "Dawnroll.h"

#include "../sources/IniList.h"
#include "../sources/IniListText.h"

void TFormDawnroll::LoadIniList(Section& box, CheckListBox& list, const std::string& key,
                                const std::string& profileFile) {
    LoadSection(box, [&] {
        box.SetTitle(IniListTitle(profileFile, key));
        list.Clear();
        const auto programs = SplitProgramList(ReadIniEntry(profileFile, key));
        list.Append(programs, std::vector<bool>(programs.size(), true));
        return SectionContents{list.Count()};
    });
}

// Rewrites the entry named by the section's title from the checked lines, in list order.
void TFormDawnroll::WinIniClickCheck(CheckListBox& list) {
    const auto locator = ParseIniListTitle(SectionHolding(list.Handle()).Title());
    if (!locator)
        return;
    std::vector<std::string> checked;
    for (int i = 0; i < list.Count(); ++i) {
        if (list.Checked(i))
            checked.push_back(list.Line(i));
    }
    WriteIniEntry(locator->profileFile, locator->key, JoinProgramList(checked));
}
