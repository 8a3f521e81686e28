#include "TextFile.h"

#include "AppError.h"
#include "Win32Handles.h"

#include <windows.h>

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

// A temporary file beside the original; deleted unless it took the original's place.
class TemporaryFile {
  public:
    explicit TemporaryFile(const std::string& folder) {
        char name[MAX_PATH] = {};
        if (!GetTempFileNameA(folder.c_str(), "drl", 0, name))
            RaiseInOutError(GetLastError());
        path_ = name;
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!path_.empty())
            DeleteFileA(path_.c_str());
    }
    const std::string& Path() const { return path_; }
    void Committed() { path_.clear(); }

  private:
    std::string path_;
};

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of("\\/");
    if (slash == std::string::npos)
        return ".";
    return path.substr(0, slash + 1);
}

bool HeldByAnotherProgram(DWORD error) {
    return error == ERROR_SHARING_VIOLATION || error == ERROR_LOCK_VIOLATION || error == ERROR_ACCESS_DENIED;
}

void WriteAll(const std::string& path, const std::string& bytes) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        RaiseInOutError(GetLastError());
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD wanted = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, kChunk));
        DWORD written = 0;
        if (!WriteFile(file.Get(), bytes.data() + done, wanted, &written, nullptr))
            RaiseInOutError(GetLastError());
        if (written == 0)
            RaiseInOutError(ERROR_DISK_FULL);
        done += written;
    }
    if (!FlushFileBuffers(file.Get()))
        RaiseInOutError(GetLastError());
    if (!file.Close())
        RaiseInOutError(GetLastError());
}
} // namespace

std::optional<std::string> ReadTextFile(const std::string& path) {
    UniqueFile file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return std::nullopt;
    std::string text;
    LARGE_INTEGER size = {};
    if (GetFileSizeEx(file.Get(), &size) && size.QuadPart > 0 && size.QuadPart < (1LL << 30))
        text.reserve(static_cast<std::size_t>(size.QuadPart));
    char chunk[kChunk];
    for (;;) {
        DWORD read = 0;
        if (!ReadFile(file.Get(), chunk, sizeof chunk, &read, nullptr))
            RaiseInOutError(GetLastError());
        if (read == 0)
            break;
        text.append(chunk, read);
    }
    return text;
}

RewriteResult RewriteTextFile(const std::string& path, const std::string& bytes) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    AttributeRestorer restorer(path, attributes);
    if (attributes != INVALID_FILE_ATTRIBUTES)
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_ARCHIVE);

    {
        // A file that cannot be opened for writing (another program holds it) stays as it is.
        UniqueFile probe(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!probe && attributes != INVALID_FILE_ATTRIBUTES)
            return RewriteResult::Unavailable;
    }

    TemporaryFile temporary(FolderOf(path));
    WriteAll(temporary.Path(), bytes);
    if (!MoveFileExA(temporary.Path().c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        if (HeldByAnotherProgram(error))
            return RewriteResult::Unavailable;
        RaiseInOutError(error);
    }
    temporary.Committed();
    return RewriteResult::Written;
}
