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

// Adds a row for every file of the folder, in the order the file system returns them.
void ListFolder(EntryListView& list, const std::string& folder) {
    WIN32_FIND_DATAA found = {};
    const UniqueFind find(FindFirstFileA((folder + "*.*").c_str(), &found));
    if (!find)
        return;
    const TextMeasurer measure(list.Handle());
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::string path = folder + found.cFileName;
        const int row = list.AddCheckedRow();
        list.SetFullname(row, path);
        SHFILEINFOA info = {};
        SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME | SHGFI_SMALLICON);
        // The shell names every file it can reach; a path it cannot shows the file's own name.
        const std::string caption = info.szDisplayName[0] ? info.szDisplayName : found.cFileName;
        list.SetCaption(row, caption);
        list.SetImage(row, info.iIcon);
        list.FitColumns(caption, path, measure);
        list.AttachRecord(row, EntryRecord{path, path, 0});
    } while (FindNextFileA(find.Get(), &found));
}
} // namespace

void LoadStartupFolder(GroupBox& box, EntryListView& list, const std::string& valueName, HKEY root) {
    box.MakeVisible();
    list.Clear();
    list.ResetColumns();
    {
        // The list is repainted once at the end, also when an error leaves the load.
        RedrawSuspender quiet(list.Handle());
        std::string folder;
        {
            const UniqueRegKey key = OpenKeyFullAccess(root, kShellFolders);
            if (key) {
                folder = ReadStringValue(key.Get(), valueName).text;
                box.SetTitle(folder);
            }
        }
        if (!folder.empty())
            ListFolder(list, WithTrailingBackslash(folder));
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
