#include "StartupFolder.h"

#include "IniListText.h"
#include "RegistryValue.h"

#include "../ui/EntryListView.h"
#include "../ui/GdiObjects.h"
#include "../ui/GroupBox.h"
#include "../ui/SectionLayout.h"

#include <shellapi.h>

namespace {
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The files of the folder, not its subfolders, in the order the file system returns them.
std::vector<StartupFile> ListFolder(const std::string& folder) {
    std::vector<StartupFile> files;
    WIN32_FIND_DATAA found = {};
    const UniqueFind find(FindFirstFileA((folder + "*.*").c_str(), &found));
    if (!find)
        return files;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        StartupFile file;
        file.path = folder + found.cFileName;
        SHFILEINFOA info = {};
        SHGetFileInfoA(file.path.c_str(), 0, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME | SHGFI_SMALLICON);
        // The shell names every file it can reach; a path it cannot shows the file's own name.
        file.caption = info.szDisplayName[0] ? info.szDisplayName : found.cFileName;
        file.icon = info.iIcon;
        files.push_back(std::move(file));
    } while (FindNextFileA(find.Get(), &found));
    return files;
}
} // namespace

StartupFolderPlace StartupFolderPlaceOf(int which) {
    return which == 0 ? StartupFolderPlace{"Startup", HKEY_CURRENT_USER}
                      : StartupFolderPlace{"Common Startup", HKEY_LOCAL_MACHINE};
}

StartupFolderListing ReadStartupFolder(const std::string& valueName, HKEY root) {
    StartupFolderListing listing;
    {
        const UniqueRegKey key = OpenKeyFullAccess(root, kShellFolders);
        if (key)
            listing.folder = ReadStringValue(key.Get(), valueName).text;
    }
    if (listing.folder && !listing.folder->empty())
        listing.files = ListFolder(WithTrailingBackslash(*listing.folder));
    return listing;
}

void LoadStartupFolder(GroupBox& box, EntryListView& list, const std::string& valueName, HKEY root) {
    LoadStartupFolder(box, list, [&] { return ReadStartupFolder(valueName, root); });
}

void LoadStartupFolder(GroupBox& box, EntryListView& list, const std::function<StartupFolderListing()>& read) {
    box.MakeVisible();
    list.Clear();
    list.ResetColumns();
    {
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
            list.AttachRecord(row, EntryRecord{file.path, file.path, 0});
        }
    }
    const int rows = list.Count();
    if (rows == 0) {
        box.LeaveEmpty();
        return;
    }
    box.SetHeight(FilledSectionHeight(SectionKind::StartupFolder, TextMeasurer(list.Handle()).LineHeight(), rows));
}

void StartupClickCheck(EntryListView& list, int row, const RowChange&) {
    if (list.Checked(row))
        return;
    const EntryRecord* record = list.Record(row);
    if (!record || record->data.empty())
        return;
    const std::string& path = record->data;
    const DWORD attributes = GetFileAttributesA(path.c_str());
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    if (DeleteFileA(path.c_str())) {
        list.RemoveRowLater(row);
        return;
    }
    // A file that was not deleted keeps its attributes; the next report of the row tries again.
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(path.c_str(), attributes);
}
