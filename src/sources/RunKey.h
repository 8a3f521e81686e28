// Sections 7 to 11: the values of the registry run keys.
#pragma once

#include <windows.h>

#include <string>

class GroupBox;
class EntryListView;
struct RowChange;

// Fills a section with the values of SOFTWARE\Microsoft\Windows\CurrentVersion\KEYNAME.
void LoadRunKey(GroupBox& box, EntryListView& list, const std::string& keyName, HKEY root);

// Brings the registry in line with the row's check mark: deletes the value of an unchecked
// row, writes back the value of a row just checked again.
void RunClickCheck(EntryListView& list, int row, const RowChange& change);
