// Sections 3 and 4: the programs of the Load and Run entries of the [Windows] section of WIN.INI.
#pragma once

#include <string>

class GroupBox;
class CheckListBox;

// Fills a section with the programs of one entry, all checked.
void LoadIniList(GroupBox& box, CheckListBox& list, const std::string& key, const std::string& profileFile);

// Rewrites the entry named by the section's title from the checked lines.
void WinIniClickCheck(CheckListBox& list);
