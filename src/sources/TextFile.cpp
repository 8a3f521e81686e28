#include "TextFile.h"

#include "AppError.h"
#include "BootFileText.h"
#include "Win32Handles.h"

#include <windows.h>

#include <algorithm>

namespace {
constexpr DWORD kChunk = 64 * 1024;

// Puts a file's attributes back when the rewrite ends, whichever way it ends.
class AttributeRestorer {
  public:
    AttributeRestorer(const std::string& path, DWORD attributes) : path_(path), attributes_(attributes) {}
    AttributeRestorer(const AttributeRestorer&) = delete;
    AttributeRestorer& operator=(const AttributeRestorer&) = delete;
    ~AttributeRestorer() {
        if (attributes_ != INVALID_FILE_ATTRIBUTES)
            SetFileAttributesA(path_.c_str(), attributes_);
    }

  private:
    std::string path_;
    DWORD attributes_;
};

// A file the rewrite makes for a while (the new text beside the original, or the backup of
// the original); closed and deleted when the object ends unless it was kept.
class MadeFile {
  public:
    MadeFile() = default;
    MadeFile(const MadeFile&) = delete;
    MadeFile& operator=(const MadeFile&) = delete;
    ~MadeFile() {
        file_.Reset();
        if (!path_.empty())
            DeleteFileA(path_.c_str());
    }

    // Makes a new, empty file in the folder (ending in a backslash), named by `name` from the
    // original's name and a number; answers the platform's error code, 0 when made.
    DWORD Make(const std::string& folder, const std::string& fileName,
               std::string (*name)(std::string_view, unsigned)) {
        const unsigned seed = GetTickCount() ^ (GetCurrentProcessId() << 12);
        DWORD error = ERROR_FILE_EXISTS;
        for (unsigned attempt = 0; attempt < 64 && (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS);
             ++attempt) {
            const std::string path = folder + name(fileName, seed + attempt);
            file_.Reset(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
            if (file_) {
                path_ = path;
                return 0;
            }
            error = GetLastError();
        }
        return error;
    }
    HANDLE Handle() const { return file_.Get(); }
    const std::string& Path() const { return path_; }
    bool Close() { return file_.Close(); }
    // The file stays where it is when the object ends.
    void Keep() { path_.clear(); }

  private:
    UniqueFile file_;
    std::string path_;
};

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return ".\\";
    return path.substr(0, slash + 1);
}

// Wine's ReplaceFileA first moves the original aside and then the new file into its place, so
// that a crash in between leaves no file at all; and what it leaves is the new file as it was
// made (its own creation time, file index and attributes), so there is nothing it would keep.
// On Wine the new file is moved into place, which the host does in one step.
bool ReplacementKeepsTheFileWhole() {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return !(ntdll && GetProcAddress(ntdll, "wine_get_version"));
}

// Errors by which the system says it cannot replace a file on this volume at all.
bool ReplacementNotOffered(DWORD error) {
    return error == ERROR_NOT_SUPPORTED || error == ERROR_INVALID_FUNCTION || error == ERROR_CALL_NOT_IMPLEMENTED ||
           error == ERROR_INVALID_PARAMETER;
}

// Each of these answers the platform's error code, 0 when all went well, so that a failure
// part-way can still be mended before it is reported.
DWORD ReadAllFrom(HANDLE file, std::string& text) {
    text.clear();
    LARGE_INTEGER size = {};
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart < (1LL << 30))
        text.reserve(static_cast<std::size_t>(size.QuadPart));
    std::string chunk(kChunk, '\0');
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file, &chunk[0], kChunk, &read, nullptr))
            return GetLastError();
        if (read == 0)
            return 0;
        text.append(chunk, 0, read);
    }
}

DWORD WriteAllTo(HANDLE file, const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kChunk));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data() + done, wanted, &written, nullptr))
            return GetLastError();
        if (written == 0)
            return ERROR_DISK_FULL;
        done += written;
    }
    return FlushFileBuffers(file) ? 0 : GetLastError();
}

// Makes an open file hold exactly these bytes.
DWORD WriteFromStart(HANDLE file, const std::string& bytes) {
    if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER && GetLastError() != NO_ERROR)
        return GetLastError();
    if (const DWORD error = WriteAllTo(file, bytes))
        return error;
    return SetEndOfFile(file) ? 0 : GetLastError();
}

std::string TemporaryFolder() {
    char folder[MAX_PATH + 1] = {};
    const DWORD length = GetTempPathA(sizeof folder, folder);
    if (length == 0 || length >= sizeof folder)
        RaiseInOutError(length == 0 ? GetLastError() : ERROR_BUFFER_OVERFLOW);
    std::string path(folder, length);
    if (path.back() != '\\')
        path += '\\';
    return path;
}

// Writes the open original in place: its bytes go to a backup first; a write that fails
// part-way is undone from the backup before the error is reported.
void RewriteInPlace(UniqueFile& original, const std::string& path, const std::string& before,
                    const std::string& bytes) {
    MadeFile backup;
    if (const DWORD error = backup.Make(TemporaryFolder(), std::string(FileNameOf(path)), RewriteBackupName))
        RaiseInOutError(error);
    if (const DWORD error = WriteAllTo(backup.Handle(), before))
        RaiseInOutError(error);

    DWORD error = WriteFromStart(original.Get(), bytes);
    if (error == 0)
        error = original.Close() ? 0 : GetLastError();
    if (error == 0)
        return; // the file holds the new text; the backup goes
    if (!original) {
        // Closing failed: the text went out, only the close was refused.
        RaiseInOutError(error);
    }

    std::string saved;
    DWORD restore = SetFilePointer(backup.Handle(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER
                        ? GetLastError()
                        : ReadAllFrom(backup.Handle(), saved);
    if (restore == 0 && saved != before)
        restore = ERROR_READ_FAULT;
    if (restore == 0)
        restore = WriteFromStart(original.Get(), saved);
    if (restore == 0)
        RaiseInOutError(error); // the original bytes are back; the backup goes
    backup.Keep();
    throw AppError(InOutErrorMessage(error) + "; the original text of " + path + " is kept in " + backup.Path());
}

[[noreturn]] void Refuse(DWORD error) {
    throw ChangeRefused(ReasonOfError(error), error);
}

// A file that is not text of bytes in the code page is never rewritten.
void RefuseUnlessRewritten(std::string_view bytes) {
    const auto unwritten = WhyNotRewritten(bytes);
    if (unwritten == UnwrittenText::Utf16)
        throw ChangeRefused("it is saved as Unicode (UTF-16) text, which Dawnroll does not rewrite",
                            ERROR_NOT_SUPPORTED);
    if (unwritten == UnwrittenText::NulBytes)
        throw ChangeRefused("it holds NUL bytes, so it is no text Dawnroll rewrites", ERROR_NOT_SUPPORTED);
}

// True only when the system says that no file has the name; a name it cannot look up (access
// denied, say) may still have one.
bool Missing(const std::string& path) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES)
        return false;
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool MoveInto(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_WRITE_THROUGH) != FALSE;
}

// A name beside the file that no file has, for the system to leave the original under while it
// replaces it; whatever lies under the name when the object ends is removed unless kept.
class LeftFile {
  public:
    LeftFile() = default;
    LeftFile(const LeftFile&) = delete;
    LeftFile& operator=(const LeftFile&) = delete;
    ~LeftFile() {
        if (!path_.empty() && !kept_)
            DeleteFileA(path_.c_str());
    }
    void Choose(const std::string& folder, const std::string& fileName) {
        const unsigned seed = GetTickCount() ^ (GetCurrentProcessId() << 12) ^ 0x5A5A5A5Au;
        for (unsigned attempt = 0; attempt < 64; ++attempt) {
            path_ = folder + RewriteBackupName(fileName, seed + attempt);
            if (Missing(path_))
                return;
        }
    }
    const std::string& Path() const { return path_; }
    bool Holds() const { return !path_.empty() && !Missing(path_); }
    void Keep() { kept_ = true; }

  private:
    std::string path_;
    bool kept_ = false;
};

// After a replacement failed, makes the file wholly the old or wholly the new text again from
// what the system left: the original in its place (nothing changed), or, when it stopped
// half-way, the original gone or under the backup name and the new text under the temporary
// name (ERROR_UNABLE_TO_MOVE_REPLACEMENT, ..._2). Returns when the new text is in place; raises
// ChangeRefused when the old one is; keeps both copies, and says where, when neither can be put
// back. A copy that is the only one of its text is never removed.
void MendFailedReplacement(const std::string& path, MadeFile& temporary, LeftFile& backup, DWORD error) {
    const bool newTextLeft = !Missing(temporary.Path());
    if (!Missing(path)) {
        if (newTextLeft)
            Refuse(error); // the original is where it was; the copies go
        return;            // the new text went into place after all
    }
    DWORD moveError = 0;
    if (newTextLeft) {
        if (MoveInto(temporary.Path(), path))
            return;
        moveError = GetLastError();
    }
    const std::string newText = temporary.Path();
    if (newTextLeft)
        temporary.Keep();
    if (backup.Holds()) {
        if (MoveInto(backup.Path(), path)) {
            if (newTextLeft)
                DeleteFileA(newText.c_str()); // the old text is back in place
            Refuse(moveError ? moveError : error);
        }
        backup.Keep();
        throw AppError(InOutErrorMessage(error) + "; " + path +
                       " could not be put back: its original text is kept in " + backup.Path() +
                       (newTextLeft ? " and the new text in " + newText : std::string()));
    }
    if (newTextLeft)
        throw AppError(InOutErrorMessage(error) + "; " + path + " could not be put back: its new text is kept in " +
                       newText);
    RaiseInOutError(error);
}
} // namespace

std::optional<std::string> ReadTextFile(const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    std::string text;
    if (const DWORD error = ReadAllFrom(file.Get(), text))
        RaiseInOutError(error);
    return text;
}

RewriteResult RewriteTextFile(const std::string& path, const std::string& bytes,
                              const std::optional<std::string>& expected) {
    if (expected)
        RefuseUnlessRewritten(*expected);
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES && expected) {
        const DWORD error = GetLastError();
        // Gone since it was read: another program removed it.
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return RewriteResult::Changed;
        Refuse(error);
    }
    AttributeRestorer restorer(path, attributes);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE);

    // While this handle is open no other program can write to the file: its bytes are compared
    // through it, and written through it when the file is written in place. A file that cannot
    // be opened so (access denied, held open by another program) is refused, unchanged.
    UniqueFile original(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!original && attributes != INVALID_FILE_ATTRIBUTES)
        Refuse(GetLastError());
    std::string before;
    if (original) {
        if (const DWORD error = ReadAllFrom(original.Get(), before))
            RaiseInOutError(error);
        if (expected && before != *expected)
            return RewriteResult::Changed;
        RefuseUnlessRewritten(before);
    }

    const std::string folder = FolderOf(path);
    const std::string fileName(FileNameOf(path));
    MadeFile temporary;
    const DWORD made = temporary.Make(folder, fileName, RewriteTemporaryName);
    if (made == ERROR_ACCESS_DENIED && original) {
        // The folder takes no new files, but the file itself may be written.
        RewriteInPlace(original, path, before, bytes);
        return RewriteResult::Written;
    }
    if (made)
        RaiseInOutError(made);
    if (const DWORD error = WriteAllTo(temporary.Handle(), bytes))
        RaiseInOutError(error);
    if (!temporary.Close())
        RaiseInOutError(GetLastError());
    // The new file cannot take the place of a file held open. Until now no other program could
    // write to the original; what one writes in the moment before the replacement is lost.
    original.Reset();

    // The replacement keeps the file's identity: permissions, creation time, streams, links. The
    // original goes to a backup name while the new file takes its place, so that a replacement
    // stopped half-way leaves it under a known name.
    const bool replace = attributes != INVALID_FILE_ATTRIBUTES && ReplacementKeepsTheFileWhole();
    LeftFile backup;
    DWORD error = 0;
    if (replace) {
        backup.Choose(folder, fileName);
        if (!ReplaceFileA(path.c_str(), temporary.Path().c_str(), backup.Path().c_str(),
                          REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr))
            error = GetLastError();
    }
    if (!replace || ReplacementNotOffered(error))
        error = MoveFileExA(temporary.Path().c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)
                    ? 0
                    : GetLastError();
    if (error != 0)
        MendFailedReplacement(path, temporary, backup, error);
    temporary.Keep();
    return RewriteResult::Written;
}
