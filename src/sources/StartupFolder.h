// The source of sections 5 and 6: the files of the current user's and the all-users Startup
// folder, found through the Shell Folders values, listed with the shell's names and icons, all in
// wide text: folder, file names and display names exactly as the system holds them.
#pragma once

#include "RunKeyLocator.h"

#include <optional>
#include <string>
#include <vector>

// A file of a Startup folder as the shell shows it.
struct StartupFile {
    std::wstring path;    // the folder, a backslash and the file's name as found
    std::wstring caption; // the shell's display name, or the file's own name
    int icon = 0;         // in the shell's system small-icon image list
};

// What a Startup folder holds. The folder is known only when the Shell Folders key could be
// opened.
struct StartupFolderListing {
    std::optional<std::wstring> folder;
    std::vector<StartupFile> files; // in the order the file system returns them
};

// Where section 5 (which = 0) and section 6 (which = 1) find their folders: the current user's
// "Startup" and the local machine's "Common Startup" Shell Folders value, the latter in the
// view the window opens the local machine's keys in.
struct StartupFolderPlace {
    const char* valueName;
    RootKey root;
    RegistryView view = RegistryView::Default;
};
StartupFolderPlace StartupFolderPlaceOf(int which, RegistryView localMachineView = RegistryView::Default);

// Reads the folder named by a Shell Folders value under root, in the view asked for, with the
// shell's names and icons of its files. Touches no window, so it may run on any thread that has
// initialised COM.
StartupFolderListing ReadStartupFolder(const std::string& valueName, RootKey root,
                                       RegistryView view = RegistryView::Default);

// Deletes a file for good (it does not go to the recycle bin). The file is named exactly
// (ExactPath in FilePathText.h): "app.bat." is that file, never "app.bat" beside it; "nul" and
// "CON.lnk" are files; the path may be longer than MAX_PATH. Only its own read-only, hidden and
// system attributes are cleared first, and put back when it is not deleted.
//
// Answers true when this call deleted the file, false when it was gone already (another program
// removed it). Otherwise raises ChangeRefused
// with the reason and the platform's code: "it is in use by another program" (held open without
// sharing its deletion), "access is denied" (also when the system reported the deletion but the
// file stayed), "it is being deleted, but another program still holds it open" (ERROR_DELETE_PENDING:
// the system removes it once that program closes it), ...
bool DeleteStartupFile(const std::wstring& path);

// Whether the file is there now, named exactly as DeleteStartupFile names it: false only when
// the system says that no file has that name.
bool StartupFileExists(const std::wstring& path);
