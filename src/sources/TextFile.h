// Whole-file reading and all-or-nothing rewriting of the boot batch files.
#pragma once

#include <optional>
#include <string>

// The file's bytes, all of them, or nothing when it cannot be opened for reading
// (missing, no access, or held open for writing by another program). A read error raises the
// input/output error.
std::optional<std::string> ReadTextFile(const std::string& path);

enum class RewriteResult { Written, Unavailable };

// Replaces the file's bytes at once. The new text goes to a temporary file beside the
// original, which then takes the original's place; the file's attributes are put back. A
// failure at any point leaves the original as it was and no temporary file, and raises the
// input/output error. When another program holds the file open, nothing changes and the
// result is Unavailable.
RewriteResult RewriteTextFile(const std::string& path, const std::string& bytes);
