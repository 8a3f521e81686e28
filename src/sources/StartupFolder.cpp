#include "StartupFolder.h"

#include "IniListText.h"
#include "RegistryValue.h"
#include "WideText.h"

#include <windows.h>
#include <shellapi.h>

namespace {
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The files of the folder, not its subfolders, in the order the file system returns them.
std::vector<StartupFile> ListFolder(const std::wstring& folder) {
    std::vector<StartupFile> files;
    WIN32_FIND_DATAW found = {};
    const UniqueFind find(FindFirstFileW((folder + L"*.*").c_str(), &found));
    if (!find)
        return files;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        StartupFile file;
        file.path = folder + found.cFileName;
        SHFILEINFOW info = {};
        SHGetFileInfoW(file.path.c_str(), 0, &info, sizeof info,
                       SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME | SHGFI_SMALLICON);
        // The shell names every file it can reach; a path it cannot shows the file's own name.
        file.caption = info.szDisplayName[0] ? info.szDisplayName : found.cFileName;
        file.icon = info.iIcon;
        files.push_back(std::move(file));
    } while (FindNextFileW(find.Get(), &found));
    return files;
}
} // namespace

StartupFolderPlace StartupFolderPlaceOf(int which, RegistryView localMachineView) {
    return which == 0 ? StartupFolderPlace{"Startup", RootKey::CurrentUser}
                      : StartupFolderPlace{"Common Startup", RootKey::LocalMachine, localMachineView};
}

StartupFolderListing ReadStartupFolder(const std::string& valueName, RootKey root, RegistryView view) {
    StartupFolderListing listing;
    {
        const UniqueRegKey key = OpenKeyForReading(root, kShellFolders, view);
        if (key)
            listing.folder = ReadStringValue(key.Get(), WideOfAnsi(valueName)).text;
    }
    if (listing.folder && !listing.folder->empty())
        listing.files = ListFolder(WithTrailingBackslash(*listing.folder));
    return listing;
}

bool DeleteStartupFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_ARCHIVE);
    if (DeleteFileW(path.c_str()))
        return true;
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesW(path.c_str(), attributes);
    return false;
}
