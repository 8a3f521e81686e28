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
// changed the entry since, nothing is written (ChangeSource).
void IniListSection::WinIniClickCheck() {
    ChangeSource([&] {
        CheckListBox& list = List();
        std::vector<std::wstring> checked;
        for (int i = 0; i < list.Count(); ++i) {
            if (list.Checked(i))
                checked.push_back(list.WideLine(i));
        }
        // What a later read gives back of what was written (a file's drops enclosing quotes, for one).
        auto kept = WriteIniEntryUnlessChanged(loadedFile_, key_, JoinProgramList(checked), sourceText_);
        if (!kept)
            return true;
        sourceText_ = std::move(*kept);
        for (int i = 0; i < list.Count(); ++i)
            written_[static_cast<std::size_t>(i)] = list.Checked(i);
        return false;
    });
}

bool IniListSection::SourceHoldsCopy() const {
    return ReadIniEntry(loadedFile_, key_) == sourceText_;
}

void IniListSection::ShowCopy() {
    for (int i = 0; i < List().Count(); ++i)
        List().SetChecked(i, written_[static_cast<std::size_t>(i)]);
}

std::string IniListSection::ChangedElsewhere(bool nothingWritten) const {
    return "The " + Utf8Of(key_) + "= entry of " + Utf8Of(loadedFile_) +
           " was changed by another program; it has been read again" +
           (nothingWritten ? " and nothing was written" : "");
}
