// Sections 5 and 6: the files of the current user's and the all-users Startup folder.
#pragma once

#include <windows.h>

#include <string>

class GroupBox;
class EntryListView;
struct RowChange;

// Fills a section with the files of the folder named by a Shell Folders value under root.
void LoadStartupFolder(GroupBox& box, EntryListView& list, const std::string& valueName, HKEY root);

// Deletes the file of an unchecked row for good and removes the row.
void StartupClickCheck(EntryListView& list, int row, const RowChange& change);
