// Sections 5 and 6: the files of the current user's and the all-users Startup folder.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

class GroupBox;
class EntryListView;
struct RowChange;

// A file of a Startup folder as the shell shows it.
struct StartupFile {
    std::string path;
    std::string caption; // the shell's display name, or the file's own name
    int icon = 0;        // in the shell's system small-icon image list
};

// What a Startup folder holds. The folder is known only when the Shell Folders key could be
// opened.
struct StartupFolderListing {
    std::optional<std::string> folder;
    std::vector<StartupFile> files; // in the order the file system returns them
};

// Where section 5 (which = 0) and section 6 (which = 1) find their folders: the current user's
// "Startup" and the local machine's "Common Startup" Shell Folders value.
struct StartupFolderPlace {
    const char* valueName;
    HKEY root;
};
StartupFolderPlace StartupFolderPlaceOf(int which);

// Reads the folder named by a Shell Folders value under root, with the shell's names and icons
// of its files. Touches no window, so it may run on any thread that has initialised COM.
StartupFolderListing ReadStartupFolder(const std::string& valueName, HKEY root);

// Fills a section with the files of the folder named by a Shell Folders value under root.
void LoadStartupFolder(GroupBox& box, EntryListView& list, const std::string& valueName, HKEY root);

// The same with the listing from read, called once the section has been emptied; an error of
// read leaves the section empty, as an error of the reading above does.
void LoadStartupFolder(GroupBox& box, EntryListView& list, const std::function<StartupFolderListing()>& read);

// Deletes the file of an unchecked row for good and removes the row.
void StartupClickCheck(EntryListView& list, int row, const RowChange& change);
