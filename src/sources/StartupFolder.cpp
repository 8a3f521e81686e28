#include "StartupFolder.h"

#include "AppError.h"
#include "FilePathText.h"
#include "IniListText.h"
#include "RegistryValue.h"
#include "ShellFolderLooks.h"
#include "WideText.h"

#include <windows.h>
#include <shellapi.h>

namespace {
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// The files of the folder, not its subfolders, in the order the file system returns them. The
// folder is listed through its exact path, so that every name is found as it is; the rows' paths
// are the ordinary ones.
std::vector<StartupFile> ListFolder(const std::wstring& folder) {
    std::vector<StartupFile> files;
    WIN32_FIND_DATAW found = {};
    const UniqueFind find(FindFirstFileW((ExactPath(folder) + L"*").c_str(), &found));
    if (!find)
        return files;
    const auto looks = ShellLooksOfFolder(folder);
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        StartupFile file;
        file.path = folder + found.cFileName;
        // A path the shell would take for another file or a device, or one too long for it, is
        // not given to it as a file: it names the file's type only, and the row the file's name.
        const bool exact = NameNeedsExactPath(found.cFileName) || file.path.size() >= MAX_PATH;
        const auto look = exact ? looks.end() : looks.find(found.cFileName);
        ShellLook shown;
        if (look != looks.end()) {
            shown = look->second;
        } else {
            SHFILEINFOW info = {};
            SHGetFileInfoW(exact ? found.cFileName : file.path.c_str(), exact ? found.dwFileAttributes : 0, &info,
                           sizeof info, kShellLookFlags | (exact ? SHGFI_USEFILEATTRIBUTES : 0));
            shown = {exact ? L"" : info.szDisplayName, info.iIcon};
        }
        // The shell names every file it can reach; a path it cannot shows the file's own name.
        file.caption = !shown.caption.empty() ? std::move(shown.caption) : found.cFileName;
        file.icon = shown.icon;
        files.push_back(std::move(file));
    } while (FindNextFileW(find.Get(), &found));
    return files;
}

bool Gone(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

[[noreturn]] void Refuse(DWORD error) {
    throw ChangeRefused(ReasonOfError(error), error);
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

bool StartupFileExists(const std::wstring& path) {
    if (GetFileAttributesW(ExactPath(path).c_str()) != INVALID_FILE_ATTRIBUTES)
        return true;
    // A name the system cannot look up (access denied, say) may still be a file that starts.
    return !Gone(GetLastError());
}

bool DeleteStartupFile(const std::wstring& path) {
    const std::wstring exact = ExactPath(path);
    const DWORD attributes = GetFileAttributesW(exact.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = GetLastError();
        if (Gone(error))
            return false;
        Refuse(error);
    }
    constexpr DWORD kProtecting = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    const bool cleared = (attributes & kProtecting) != 0;
    if (cleared) {
        const DWORD rest = attributes & ~kProtecting;
        if (!SetFileAttributesW(exact.c_str(), rest ? rest : FILE_ATTRIBUTE_NORMAL)) {
            const DWORD error = GetLastError();
            if (Gone(error))
                return false;
            Refuse(error);
        }
    }
    DWORD error = DeleteFileW(exact.c_str()) ? 0 : GetLastError();
    if (error == 0 || Gone(error)) {
        // Deleted only when the name is gone: a file can be reported deleted and stay, when the
        // system lets the deletion wait for another program that holds it open, or when a host
        // file system refuses to remove it.
        if (GetFileAttributesW(exact.c_str()) == INVALID_FILE_ATTRIBUTES) {
            const DWORD lookup = GetLastError();
            if (Gone(lookup))
                return true;
            error = lookup == ERROR_ACCESS_DENIED ? ERROR_DELETE_PENDING : lookup;
        } else {
            error = ERROR_ACCESS_DENIED;
        }
    }
    if (cleared)
        SetFileAttributesW(exact.c_str(), attributes);
    Refuse(error);
}
