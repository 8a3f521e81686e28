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
    // Another program holds the file open: nothing changed.
    Unavailable,
    // The file no longer holds the bytes the caller expected (another program changed or
    // removed it): nothing changed.
    Changed,
};

// Replaces the file's bytes, keeping what the file is (its permissions, creation time,
// streams, links) and putting its attributes back.
//
// The new text goes to a temporary file beside the original, which then takes the original's
// place (ReplaceFileA; MoveFileExA where the volume cannot replace): all or nothing, and a
// failure leaves the original as it was and no temporary file. Where the folder does not let
// new files be made, the file is written in place instead, after its bytes were copied to a
// backup in the user's temporary folder; when the write fails, the original bytes are written
// back from the backup; the backup is removed once the file is whole again.
//
// With `expected`, the file is read first and nothing is written unless it still holds
// exactly those bytes (result Changed). When another program holds the file open, nothing
// changes and the result is Unavailable. Any other failure raises the input/output error.
RewriteResult RewriteTextFile(const std::string& path, const std::string& bytes,
                              const std::optional<std::string>& expected = std::nullopt);
