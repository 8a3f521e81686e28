// The source of sections 1 and 2: the boot batch files C:\CONFIG.SYS and C:\AUTOEXEC.BAT, read
// into their lines and rewritten whole. The line rules are in BootFileText.h.
#pragma once

#include "TextFile.h"

#include <optional>
#include <string>
#include <vector>

// The file as read: its bytes, and the lines they make.
//
// A file saved as Unicode (UTF-16) text (it begins with a byte-order mark) is shown but never
// rewritten: `utf16` is set, `wideLines` holds its lines exactly (UTF-16 units), and `lines` the
// same lines in the ANSI code page, for a list that shows bytes. A rewrite handed such a file's
// bytes as expected refuses.
struct BootFileContents {
    std::string bytes;
    std::vector<std::string> lines;
    bool utf16 = false;
    std::vector<std::wstring> wideLines;
};

// The file's contents, or nothing when the file cannot be opened for reading (missing, no
// access, held open for writing by another program). A read error raises the input/output
// error.
std::optional<BootFileContents> ReadBootFile(const std::string& path);
