// The source of sections 1 and 2: the boot batch files C:\CONFIG.SYS and C:\AUTOEXEC.BAT, read
// into their lines and rewritten whole. The line rules are in BootFileText.h.
#pragma once

#include "TextFile.h"

#include <optional>
#include <string>
#include <vector>

// The file as read: its bytes, and the lines they make.
//
// A file Dawnroll does not rewrite (WhyNotRewritten in BootFileText.h: UTF-16 text, or a file
// holding NUL bytes) is shown but never rewritten: `shownOnly` is set, `wideLines` holds its lines
// as shown (UTF-16 text exactly, in UTF-16 units; any other file's lines through the ANSI code
// page, a NUL as kShownNul), and `lines` the lines whose "REM " says their marks. A rewrite handed
// such a file's bytes as expected refuses.
struct BootFileContents {
    std::string bytes;
    std::vector<std::string> lines;
    bool shownOnly = false;
    std::vector<std::wstring> wideLines;
};

// The file's contents, or nothing when the file cannot be opened for reading (missing, no
// access, held open for writing by another program). A read error raises the input/output
// error.
std::optional<BootFileContents> ReadBootFile(const std::string& path);
