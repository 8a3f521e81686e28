// Whole-file reading and rewriting of the boot batch files.
#pragma once

#include <optional>
#include <string>

// The file's bytes, all of them, or nothing when it cannot be opened for reading
// (missing, no access, or held open for writing by another program). A read error raises the
// input/output error.
std::optional<std::string> ReadTextFile(const std::string& path);

enum class RewriteResult {
    Written,
    // The file no longer holds the bytes the caller expected (another program changed or
    // removed it): nothing changed.
    Changed,
};

// Replaces the file's bytes, keeping what the file is (its permissions, creation time,
// streams, links) and putting its attributes back.
//
// The new text goes to a temporary file beside the original, which then takes the original's
// place (ReplaceFileA, the original passing through a backup name beside it; MoveFileExA where
// the volume cannot replace or the system's replacement is not whole): all or nothing. A
// replacement that stops half-way is mended from what it left, so that the file is wholly the
// old or wholly the new text; the backup and the temporary file are removed unless one of them
// is the only copy of its text, which is then kept and named in the error. Where the folder
// does not let new files be made, the file is written in place instead, after its bytes were
// copied to a backup in the user's temporary folder; when the write fails, the original bytes
// are written back from the backup; the backup is removed once the file is whole again.
//
// With `expected`, the file is read first and nothing is written unless it still holds
// exactly those bytes (result Changed).
//
// A change that is not made raises ChangeRefused with the reason and the platform's code, the
// file unchanged: the file cannot be opened for writing or cannot be replaced (access denied,
// held open by another program, ...), or `expected` or the file's bytes are no text this program
// rewrites (WhyNotRewritten in BootFileText.h: UTF-16 text, or NUL bytes; code
// ERROR_NOT_SUPPORTED). A read or write error raises the input/output error.
RewriteResult RewriteTextFile(const std::string& path, const std::string& bytes,
                              const std::optional<std::string>& expected = std::nullopt);
