#include "IniListSection.h"

#include "../sources/AppError.h"
#include "../sources/IniList.h"
#include "../sources/IniListText.h"
#include "../sources/WideText.h"

void IniListSection::PointAt(std::wstring key, std::wstring profileFile) {
    key_ = std::move(key);
    profileFile_ = [file = std::move(profileFile)] { return file; };
}

void IniListSection::LoadIniList() {
    LoadSection([&] {
        loadedFile_ = profileFile_();
        SetTitle(IniListTitle(loadedFile_, key_));
        List().Clear();
        sourceText_.clear();
        const auto value = ReadIniEntry(loadedFile_, key_);
        const auto programs = SplitProgramList(value);
        written_.assign(programs.size(), true);
        List().Append(programs, written_);
        sourceText_ = value;
        return SectionContents{List().Count()};
    });
}

// The section's lines are the entry as it last read or wrote it; when another program has
// changed the entry since, nothing is written, the section shows the entry as it now is, and the
// user is told.
void IniListSection::WinIniClickCheck() {
    if (ReadIniEntry(loadedFile_, key_) != sourceText_) {
        const std::wstring file = loadedFile_;
        LoadIniList();
        throw AppError("The " + Utf8Of(key_) + "= entry of " + Utf8Of(file) +
                       " was changed by another program; it has been read again and nothing was written");
    }
    CheckListBox& list = List();
    std::vector<std::wstring> checked;
    for (int i = 0; i < list.Count(); ++i) {
        if (list.Checked(i))
            checked.push_back(list.WideLine(i));
    }
    // What a change that is not made leaves: the marks of the entry as it stands.
    try {
        // What a later read gives back of what was written (a file's drops enclosing quotes, for one).
        sourceText_ = WriteIniEntry(loadedFile_, key_, JoinProgramList(checked));
    } catch (...) {
        for (int i = 0; i < list.Count(); ++i)
            list.SetChecked(i, written_[static_cast<std::size_t>(i)]);
        throw;
    }
    for (int i = 0; i < list.Count(); ++i)
        written_[static_cast<std::size_t>(i)] = list.Checked(i);
}
