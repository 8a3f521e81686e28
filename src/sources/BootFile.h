// The source of sections 1 and 2: the boot batch files C:\CONFIG.SYS and C:\AUTOEXEC.BAT, read
// into their lines and rewritten whole. The line rules are in BootFileText.h.
#pragma once

#include "TextFile.h"

#include <optional>
#include <string>
#include <vector>

// The file as read: its bytes, and the lines they make.
struct BootFileContents {
    std::string bytes;
    std::vector<std::string> lines;
};

// The file's contents, or nothing when the file cannot be opened for reading (missing, no
// access, held open for writing by another program). A read error raises the input/output
// error.
std::optional<BootFileContents> ReadBootFile(const std::string& path);
