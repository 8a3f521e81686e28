#include "StartupFolderSection.h"

#include "GdiObjects.h"

void StartupFolderSection::Load() {
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
        const TextMeasurer measure(list.Handle());
        for (const StartupFile& file : listing.files) {
            const int row = list.AddRow(file.caption);
            list.SetFullname(row, file.path);
            list.SetImage(row, file.icon);
            list.FitColumns(file.caption, file.path, measure);
            list.AttachRecord(row, EntryRecord{file.path, {}, 0});
        }
        return SectionContents{list.Count()};
    });
}

// A file that is not deleted leaves its row unchecked, and the next report of the row tries
// again.
void StartupFolderSection::StartupClickCheck(int row, const RowChange&) {
    EntryListView& list = List();
    if (list.Checked(row))
        return;
    const EntryRecord* record = list.Record(row);
    if (!record || record->name.empty())
        return;
    if (DeleteStartupFile(record->name))
        list.RemoveRowLater(row);
}
