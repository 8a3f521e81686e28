#include "StartupFolderSection.h"

#include "../sources/AppError.h"
#include "../sources/WideText.h"

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
    LoadEntries([&](RowAdder& add) {
        const StartupFolderListing listing = read();
        if (listing.folder)
            SetTitle(*listing.folder);
        for (const StartupFile& file : listing.files) {
            auto record = std::make_unique<FileRow>();
            record->path = file.path;
            add.Add(file.caption, file.path, std::move(record), file.icon);
        }
    });
}

std::string StartupFolderSection::EntryName(const RowRecord& record) const {
    return "The file " + Utf8Of(PathOf(record));
}

// A file's own name, as the system's switch names it: what follows the last backslash.
std::wstring StartupFolderSection::ApprovalName(const RowRecord& record) const {
    const std::wstring& path = PathOf(record);
    return path.substr(path.find_last_of(L"\\/") + 1);
}

// A file this deletes is gone for good, and so is its row. A file another program removed
// already keeps its row, unchecked: the user sees that the entry is gone and that nothing
// started it.
void StartupFolderSection::DeleteEntry(int row, RowRecord& record) {
    if (DeleteStartupFile(PathOf(record)))
        List().RemoveRowLater(row);
}

// Nothing brings a deleted file back: a check of a file that is there (another program made it
// again) changes nothing, and of one that is gone is told.
void StartupFolderSection::RestoreEntry(int, RowRecord& record) {
    if (!StartupFileExists(PathOf(record)))
        throw AppError(EntryName(record) + " no longer exists; Dawnroll cannot bring a deleted file back");
}
