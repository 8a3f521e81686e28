// The source of sections 1 and 2: the boot batch files C:\CONFIG.SYS and C:\AUTOEXEC.BAT, read
// into their lines and rewritten whole. The line rules are in BootFileText.h.
#pragma once

#include "TextFile.h"

#include <optional>
#include <string>
#include <vector>

// The file's lines, each exactly as read, or nothing when the file cannot be opened for reading
// (missing, no access, held open for writing by another program). A read error raises the
// input/output error.
std::optional<std::vector<std::string>> ReadBootFile(const std::string& path);

// Rewrites the file as these lines, each followed by a carriage return and line feed; all or
// nothing, as RewriteTextFile says.
RewriteResult WriteBootFile(const std::string& path, const std::vector<std::string>& lines);
