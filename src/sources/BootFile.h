// Sections 1 and 2: the lines of the boot batch files C:\CONFIG.SYS and C:\AUTOEXEC.BAT.
#pragma once

#include <string>

class GroupBox;
class CheckListBox;

// Fills a section with the file's lines, each checked unless it begins with "REM ".
void LoadBootFile(GroupBox& box, CheckListBox& list, const std::string& path);

// Rewrites the file named by the section's title from the list: "REM " in front of every
// unchecked line, taken away from every checked one. All or nothing.
void BootFileClickCheck(CheckListBox& list);
