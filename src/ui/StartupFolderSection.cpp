// Sections 5 and 6: the files of the two Startup folders, with the shell's names and icons.
#include "Dawnroll.h"

#include "../sources/StartupFolder.h"

void TFormDawnroll::LoadStartupFolder(Section& box, EntryListView& list, const std::string& valueName, RootKey root) {
    LoadStartupFolder(box, list, [&] { return ReadStartupFolder(valueName, root); });
}

void TFormDawnroll::LoadStartupFolder(Section& box, EntryListView& list,
                                      const std::function<StartupFolderListing()>& read) {
    LoadSection(box, [&] {
        list.Clear();
        list.ResetColumns();
        // The list is repainted once at the end, also when an error leaves the load.
        RedrawSuspender quiet(list.Handle());
        const StartupFolderListing listing = read();
        if (listing.folder)
            box.SetTitle(*listing.folder);
        const TextMeasurer measure(list.Handle());
        for (const StartupFile& file : listing.files) {
            const int row = list.AddCheckedRow(file.caption);
            list.SetFullname(row, file.path);
            list.SetImage(row, file.icon);
            list.FitColumns(file.caption, file.path, measure);
            list.AttachRecord(row, EntryRecord{file.path, {}, 0});
        }
        return SectionContents{list.Count()};
    });
}

// Deletes the file of an unchecked row for good and removes the row; a file that is not deleted
// raises the refusal, and its row stays.
void TFormDawnroll::StartupClickCheck(EntryListView& list, int row, const RowChange&) {
    if (list.Checked(row))
        return;
    const EntryRecord* record = list.Record(row);
    if (!record || record->name.empty())
        return;
    DeleteStartupFile(record->name);
    list.RemoveRowLater(row);
}
