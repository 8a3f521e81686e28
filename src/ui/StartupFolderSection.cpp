#include "StartupFolderSection.h"

#include "GdiObjects.h"

#include "../sources/StartupApproved.h"
#include "../sources/WideText.h"

namespace {
// A file's own name, as the system's switch names it: what follows the last backslash.
std::wstring FileNameOf(const std::wstring& path) {
    return path.substr(path.find_last_of(L"\\/") + 1);
}
} // namespace

void StartupFolderSection::Load() {
    if (Host().StartupFolderFollows())
        return; // loaded when the window's reading of the folder ends
    LoadStartupFolder([&] {
        if (auto listing = Host().TakePrefetchedStartupFolder(which_))
            return std::move(*listing);
        return ReadStartupFolder(place_.valueName, place_.root, place_.view);
    });
}

void StartupFolderSection::LoadStartupFolder() {
    LoadStartupFolder([&] { return ReadStartupFolder(place_.valueName, place_.root, place_.view); });
}

void StartupFolderSection::LoadStartupFolder(const std::function<StartupFolderListing()>& read) {
    LoadSection([&] {
        EntryListView& list = List();
        list.Clear();
        list.ResetColumns();
        // The list is repainted once at the end, also when an error leaves the load.
        RedrawSuspender quiet(list.Handle());
        const StartupFolderListing listing = read();
        if (listing.folder)
            SetTitle(*listing.folder);
        // The files the system's own switch keeps off load unchecked: they will not start.
        const SwitchedOffNames switchedOff = ReadSwitchedOff(ApprovalPlaceOf(place_));
        const TextMeasurer measure(list.Handle());
        for (const StartupFile& file : listing.files) {
            const bool off = switchedOff.count(FileNameOf(file.path)) > 0;
            const int row = list.AddRow(file.caption, !off);
            list.SetFullname(row, file.path);
            list.SetImage(row, file.icon);
            list.FitColumns(file.caption, file.path, measure);
            list.AttachRecord(row, EntryRecord{file.path, {}, 0, off});
        }
        return SectionContents{list.Count()};
    });
}

// Unchecking deletes the file for good and removes the row; a file that is not deleted is told,
// and its row is checked again: the file is still there and will start.
void StartupFolderSection::StartupClickCheck(int row, const RowChange& change) {
    EntryListView& list = List();
    const EntryRecord* found = list.Record(row);
    if (!found || found->name.empty())
        return;
    const EntryRecord record = *found;
    const bool checked = list.Checked(row);
    const std::string file = "The file " + Utf8Of(record.name);
    if (record.switchedOff) {
        // Kept off by the system's switch: the user's check turns the switch on and leaves the
        // file where it is; nothing else ever deletes it.
        if (!checked || !change.checkChanged)
            return;
        ChangeEntry(row, false, file + " was not switched on",
                    [&] { TurnApprovalOn(ApprovalPlaceOf(place_), FileNameOf(record.name)); });
        list.AttachRecord(row, EntryRecord{record.name, {}, 0, false});
        return;
    }
    if (checked)
        return;
    ChangeEntry(row, true, file + " was not deleted", [&] { DeleteStartupFile(record.name); });
    list.RemoveRowLater(row);
}
