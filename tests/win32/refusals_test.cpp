// Changes the sources refuse to make, on real files of the Wine drive: each is told with its
// reason (ChangeRefused) and leaves what it would have changed as it was, and nothing the user
// did not choose is touched.
#include "HeldFile.h"
#include "ImmutableFile.h"
#include "ImportPatch.h"
#include "TestSupport.h"

#include "sources/AppError.h"
#include "sources/BootFile.h"
#include "sources/BootFileText.h"
#include "sources/StartupFolder.h"
#include "sources/WideText.h"
#include "sources/Win32Handles.h"
#include "sources/TextFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {
using namespace std::string_literals;

// The refusal a change raised: its reason and code; nothing when the change was made (any other
// error fails the test).
struct Refusal {
    std::string reason;
    unsigned long code = 0;
};
template <typename Work> std::optional<Refusal> RefusalOf(Work&& work) {
    try {
        work();
    } catch (const ChangeRefused& refused) {
        return Refusal{refused.what(), refused.Code()};
    }
    return std::nullopt;
}

// The one file of a folder whose name holds a text ("" when there is none or more than one).
std::string FileNamed(const std::string& folder, const std::string& part) {
    std::string match;
    for (const auto& name : FilesIn(folder)) {
        if (name.find(part) == std::string::npos)
            continue;
        if (!match.empty())
            return "";
        match = folder + name;
    }
    return match;
}

// The system's file replacement as Windows answers it, made inside this process: Wine's own
// export "wine_get_version" is not found (so the rewrite uses ReplaceFileA), and ReplaceFileA and
// MoveFileExA fail the ways a test asks for.
struct WindowsReplacement {
    enum class Failure {
        None,
        // Codes that change nothing: both files keep their names.
        Plain,
        // ERROR_UNABLE_TO_MOVE_REPLACEMENT when no backup name is given: the original is gone and
        // the new text is under the temporary name.
        OriginalGone,
        // ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: the original is under the backup name, the new text
        // under the temporary name, which took the original's attributes.
        OriginalUnderBackupName,
    };
    static inline ImportReplacement* procAddress = nullptr;
    static inline ImportReplacement* replaceFile = nullptr;
    static inline ImportReplacement* moveFile = nullptr;
    static inline Failure failure = Failure::None;
    static inline DWORD replaceError = 0;
    static inline int replaceCalls = 0;
    // Moves whose source name holds this text fail with moveError.
    static inline std::string failingMoveFrom;
    static inline DWORD moveError = 0;

    static FARPROC WINAPI GetProcAddressAsWindows(HMODULE module, LPCSTR name) {
        if (reinterpret_cast<ULONG_PTR>(name) > 0xFFFF && std::strcmp(name, "wine_get_version") == 0) {
            SetLastError(ERROR_PROC_NOT_FOUND);
            return nullptr;
        }
        return procAddress->Original<decltype(&GetProcAddress)>()(module, name);
    }
    static BOOL WINAPI ReplaceFileAsWindows(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags,
                                            LPVOID exclude, LPVOID reserved) {
        ++replaceCalls;
        switch (failure) {
        case Failure::None:
            return replaceFile->Original<decltype(&ReplaceFileA)>()(replaced, replacement, backup, flags, exclude,
                                                                    reserved);
        case Failure::Plain:
            break;
        case Failure::OriginalGone:
            DeleteFileA(replaced);
            break;
        case Failure::OriginalUnderBackupName: {
            const DWORD attributes = GetFileAttributesA(replaced);
            if (!backup || !MoveFileExW(Wide(replaced).c_str(), Wide(backup).c_str(), MOVEFILE_REPLACE_EXISTING))
                ADD_FAILURE() << "the simulated replacement cannot move the original aside";
            SetFileAttributesA(replacement, attributes);
            break;
        }
        }
        SetLastError(replaceError);
        return FALSE;
    }
    static BOOL WINAPI MoveFileAnswering(LPCSTR from, LPCSTR to, DWORD flags) {
        if (!failingMoveFrom.empty() && std::strstr(from, failingMoveFrom.c_str())) {
            SetLastError(moveError);
            return FALSE;
        }
        return moveFile->Original<decltype(&MoveFileExA)>()(from, to, flags);
    }
    static std::wstring Wide(const char* text) {
        wchar_t wide[MAX_PATH] = {};
        MultiByteToWideChar(CP_ACP, 0, text, -1, wide, MAX_PATH);
        return wide;
    }

    WindowsReplacement()
        : windows_("kernel32.dll", "GetProcAddress", reinterpret_cast<void*>(&GetProcAddressAsWindows)),
          replace_("kernel32.dll", "ReplaceFileA", reinterpret_cast<void*>(&ReplaceFileAsWindows)),
          move_("kernel32.dll", "MoveFileExA", reinterpret_cast<void*>(&MoveFileAnswering)) {
        procAddress = &windows_;
        replaceFile = &replace_;
        moveFile = &move_;
        failure = Failure::None;
        replaceError = 0;
        replaceCalls = 0;
        failingMoveFrom.clear();
        moveError = 0;
    }
    void Fail(Failure how, DWORD error) {
        failure = how;
        replaceError = error;
    }

  private:
    ImportReplacement windows_;
    ImportReplacement replace_;
    ImportReplacement move_;
};

class BootFileRefusalTest : public testing::Test {
  protected:
    ScratchFolder folder;
    std::string path = folder.File("CONFIG.SYS");
    const std::string before = "DEVICE=a.sys\r\nFILES=30\r\n";
    const std::string after = "REM DEVICE=a.sys\r\nFILES=30\r\n";
};

TEST_F(BootFileRefusalTest, AFileTheSystemWillNotLetBeChangedIsRefusedWithItsReasonAndUnchanged) {
    const std::string why = ImmutableFile::Unavailable();
    if (!why.empty())
        GTEST_SKIP() << why;
    WriteBytes(path, before);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    const DWORD attributes = GetFileAttributesA(path.c_str());
    {
        ImmutableFile immutable(path);
        for (const bool withExpected : {true, false}) {
            const auto refusal = RefusalOf([&] {
                RewriteTextFile(path, after, withExpected ? std::optional<std::string>(before) : std::nullopt);
            });
            ASSERT_TRUE(refusal.has_value()) << "the rewrite went through";
            EXPECT_EQ(refusal->reason, "access is denied");
            EXPECT_EQ(refusal->code, static_cast<unsigned long>(ERROR_ACCESS_DENIED));
            EXPECT_EQ(ReadBytes(path), before);
            EXPECT_EQ(GetFileAttributesA(path.c_str()), attributes);
            EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});
        }
    }
    // Once the system lets it, the same rewrite goes through.
    EXPECT_EQ(RewriteTextFile(path, after, before), RewriteResult::Written);
    EXPECT_EQ(ReadBytes(path), after);
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(BootFileRefusalTest, AFileHeldByAnotherProgramIsRefusedAsInUse) {
    WriteBytes(path, before);
    {
        HeldFile held(path);
        const auto refusal = RefusalOf([&] { RewriteTextFile(path, after); });
        ASSERT_TRUE(refusal.has_value());
        EXPECT_EQ(refusal->reason, "it is in use by another program");
        EXPECT_EQ(refusal->code, static_cast<unsigned long>(ERROR_SHARING_VIOLATION));
    }
    EXPECT_EQ(ReadBytes(path), before);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});
}

// The replacement's own refusals change nothing and are told; the whole replacement leaves no
// backup behind.
TEST_F(BootFileRefusalTest, ReplacementRefusalsAreToldAndASuccessfulOneLeavesNoBackup) {
    WriteBytes(path, before);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    const DWORD attributes = GetFileAttributesA(path.c_str());
    WindowsReplacement windows;
    const struct {
        DWORD error;
        const char* reason;
    } refusals[] = {{ERROR_ACCESS_DENIED, "access is denied"},
                    {ERROR_SHARING_VIOLATION, "it is in use by another program"},
                    {ERROR_UNABLE_TO_REMOVE_REPLACED, "the file could not be replaced"},
                    {ERROR_UNABLE_TO_MOVE_REPLACEMENT, "the new text could not be moved into its place"}};
    for (const auto& refused : refusals) {
        windows.Fail(WindowsReplacement::Failure::Plain, refused.error);
        const auto refusal = RefusalOf([&] { RewriteTextFile(path, after, before); });
        ASSERT_TRUE(refusal.has_value()) << refused.error;
        EXPECT_EQ(refusal->reason, refused.reason);
        EXPECT_EQ(refusal->code, refused.error);
        EXPECT_EQ(ReadBytes(path), before);
        EXPECT_EQ(GetFileAttributesA(path.c_str()), attributes);
        EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});
    }
    EXPECT_EQ(WindowsReplacement::replaceCalls, 4);

    windows.Fail(WindowsReplacement::Failure::None, 0);
    EXPECT_EQ(RewriteTextFile(path, after, before), RewriteResult::Written);
    EXPECT_EQ(WindowsReplacement::replaceCalls, 5);
    EXPECT_EQ(ReadBytes(path), after);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), attributes);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// ERROR_UNABLE_TO_MOVE_REPLACEMENT with the original gone: the new text, the only copy left, is
// moved into place.
TEST_F(BootFileRefusalTest, ReplacementThatLostTheOriginalEndsWithTheNewText) {
    WriteBytes(path, before);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN));
    WindowsReplacement windows;
    windows.Fail(WindowsReplacement::Failure::OriginalGone, ERROR_UNABLE_TO_MOVE_REPLACEMENT);
    EXPECT_EQ(RewriteTextFile(path, after, before), RewriteResult::Written);
    EXPECT_EQ(WindowsReplacement::replaceCalls, 1);
    EXPECT_EQ(ReadBytes(path), after);
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_HIDDEN, static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// ERROR_UNABLE_TO_MOVE_REPLACEMENT_2: the original under the backup name. The new text is moved
// into place; when it cannot be, the original comes back; when neither can, both are kept and
// the error says where.
TEST_F(BootFileRefusalTest, ReplacementThatLeftTheOriginalUnderTheBackupNameEndsWholeEitherWay) {
    WriteBytes(path, before);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    const DWORD attributes = GetFileAttributesA(path.c_str());
    WindowsReplacement windows;
    windows.Fail(WindowsReplacement::Failure::OriginalUnderBackupName, ERROR_UNABLE_TO_MOVE_REPLACEMENT_2);

    EXPECT_EQ(RewriteTextFile(path, after, before), RewriteResult::Written);
    EXPECT_EQ(ReadBytes(path), after);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), attributes);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});

    // The new text cannot be moved into place: the original comes back from the backup name.
    WindowsReplacement::failingMoveFrom = ".Dawnroll-new-";
    WindowsReplacement::moveError = ERROR_SHARING_VIOLATION;
    const auto refusal = RefusalOf([&] { RewriteTextFile(path, before, after); });
    ASSERT_TRUE(refusal.has_value());
    EXPECT_EQ(refusal->reason, "it is in use by another program");
    EXPECT_EQ(ReadBytes(path), after);
    EXPECT_EQ(GetFileAttributesA(path.c_str()), attributes);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});

    // Nothing can be moved: neither text is lost, and the error names where each is.
    WindowsReplacement::failingMoveFrom = ".Dawnroll-";
    std::string message;
    try {
        RewriteTextFile(path, before, after);
        ADD_FAILURE() << "nothing raised";
    } catch (const ChangeRefused& refused) {
        ADD_FAILURE() << "told as refused although the file is not in its place: " << refused.what();
    } catch (const AppError& error) {
        message = error.what();
    }
    const std::string backup = FileNamed(folder.Path(), ".Dawnroll-backup-");
    const std::string newText = FileNamed(folder.Path(), ".Dawnroll-new-");
    ASSERT_FALSE(backup.empty());
    ASSERT_FALSE(newText.empty());
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(ReadBytes(backup), after);
    EXPECT_EQ(ReadBytes(newText), before);
    EXPECT_EQ(message, "I/O error 1177; " + path + " could not be put back: its original text is kept in " + backup +
                           " and the new text in " + newText);
    for (const auto& left : {backup, newText}) {
        SetFileAttributesA(left.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(left.c_str());
    }
}

// A file saved as Unicode (UTF-16) text is read into its lines, and never rewritten.
TEST_F(BootFileRefusalTest, Utf16FilesAreReadIntoWideLinesAndNeverRewritten) {
    const std::string unicode = "\xFF\xFE"
                                "D\0E\0V\0=\0\x1F\x04\r\0\n\0r\0e\0m\0 \0x\0\r\0\n\0"s;
    WriteBytes(path, unicode);
    const auto contents = ReadBootFile(path);
    ASSERT_TRUE(contents.has_value());
    EXPECT_TRUE(contents->shownOnly);
    EXPECT_EQ(contents->wideLines, (std::vector<std::wstring>{L"DEV=\u041F", L"rem x"}));
    ASSERT_EQ(contents->lines.size(), 2u);
    EXPECT_EQ(contents->lines[1], "rem x");
    EXPECT_EQ(contents->bytes, unicode);

    // What the window would write from those lines, given the file's bytes as expected; and a
    // rewrite that expects nothing but finds such a file.
    for (const bool withExpected : {true, false}) {
        const auto refusal = RefusalOf([&] {
            RewriteTextFile(path, WriteBootLines({"REM DEV=?", "rem x"}),
                            withExpected ? std::optional<std::string>(contents->bytes) : std::nullopt);
        });
        ASSERT_TRUE(refusal.has_value());
        EXPECT_EQ(refusal->reason, "it is saved as Unicode (UTF-16) text, which Dawnroll does not rewrite");
        EXPECT_EQ(refusal->code, static_cast<unsigned long>(ERROR_NOT_SUPPORTED));
        EXPECT_EQ(ReadBytes(path), unicode);
        EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});
    }

    // A byte file keeps the byte lines; big-endian UTF-16 is UTF-16 too.
    WriteBytes(path, "A\r\n");
    EXPECT_FALSE(ReadBootFile(path)->shownOnly);
    WriteBytes(path, "\xFE\xFF\0A"s);
    EXPECT_EQ(ReadBootFile(path)->wideLines, std::vector<std::wstring>{L"A"});
}

// Startup folder files: deleted by their exact names, and deleted only when gone.
class StartupFileRefusalTest : public testing::Test {
  protected:
    RegistrySandbox registry;
    ScratchFolder scratch;
    const std::wstring folder = WideOfAnsi(scratch.Path());

    // Makes a file by its exact name (through the \\?\ form), holding its own name.
    static void Make(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        const UniqueFile file(
            CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr));
        ASSERT_TRUE(file) << Utf8Of(path) << ": " << GetLastError();
        const std::string text = Utf8Of(path);
        DWORD written = 0;
        WriteFile(file.Get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    }
    static DWORD ExactAttributes(const std::wstring& path) { return GetFileAttributesW((L"\\\\?\\" + path).c_str()); }
    static bool Exists(const std::wstring& path) { return ExactAttributes(path) != INVALID_FILE_ATTRIBUTES; }
    static void Remove(const std::wstring& path) {
        SetFileAttributesW((L"\\\\?\\" + path).c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW((L"\\\\?\\" + path).c_str());
    }
    std::vector<std::wstring> Listed() {
        SetStringValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                       "Startup", scratch.Path());
        std::vector<std::wstring> paths;
        for (const StartupFile& file : ReadStartupFolder("Startup", RootKey::CurrentUser).files) {
            EXPECT_FALSE(file.caption.empty()) << Utf8Of(file.path);
            paths.push_back(file.path);
        }
        std::sort(paths.begin(), paths.end());
        return paths;
    }
};

TEST_F(StartupFileRefusalTest, NamesTheOrdinaryPathWouldChangeAreListedAndDeletedExactly) {
    const std::wstring plain = folder + L"app.bat";
    const std::vector<std::wstring> odd = {folder + L"app.bat.", folder + L"app.bat ", folder + L"nul",
                                           folder + L"CON.lnk"};
    Make(plain);
    for (const auto& path : odd)
        Make(path, FILE_ATTRIBUTE_READONLY);
    std::vector<std::wstring> all = odd;
    all.push_back(plain);
    std::sort(all.begin(), all.end());
    EXPECT_EQ(Listed(), all);

    for (const auto& path : odd) {
        EXPECT_NO_THROW(DeleteStartupFile(path)) << Utf8Of(path);
        EXPECT_FALSE(Exists(path)) << Utf8Of(path);
        // The file without the dot or blank, beside it, is never touched.
        EXPECT_EQ(ReadBytes(scratch.File("app.bat")), Utf8Of(plain));
    }
    EXPECT_EQ(Listed(), std::vector<std::wstring>{plain});
}

TEST_F(StartupFileRefusalTest, APathLongerThanMaxPathIsListedAndDeleted) {
    std::wstring deep = folder;
    while (deep.size() < MAX_PATH + 40) {
        deep += std::wstring(60, L'd') + L"\\";
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + deep).c_str(), nullptr)) << GetLastError();
    }
    const std::wstring path = deep + L"Tool.lnk";
    Make(path, FILE_ATTRIBUTE_HIDDEN);
    SetStringValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                   "Startup", AnsiOf(deep));
    const auto files = ReadStartupFolder("Startup", RootKey::CurrentUser).files;
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].path, path);
    EXPECT_EQ(files[0].caption, L"Tool.lnk");
    EXPECT_NO_THROW(DeleteStartupFile(path));
    EXPECT_FALSE(Exists(path));
    while (deep.size() > folder.size()) {
        RemoveDirectoryW((L"\\\\?\\" + deep).c_str());
        deep.erase(deep.find_last_of(L'\\', deep.size() - 2) + 1);
    }
}

TEST_F(StartupFileRefusalTest, AFileHeldOpenIsRefusedAsInUseAndKeepsItsAttributes) {
    const std::wstring path = folder + L"held.lnk.";
    Make(path, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM);
    Make(folder + L"held.lnk");
    const DWORD attributes = ExactAttributes(path);
    {
        const UniqueFile held(CreateFileW((L"\\\\?\\" + path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        const auto refusal = RefusalOf([&] { DeleteStartupFile(path); });
        ASSERT_TRUE(refusal.has_value());
        EXPECT_EQ(refusal->reason, "it is in use by another program");
        EXPECT_EQ(refusal->code, static_cast<unsigned long>(ERROR_SHARING_VIOLATION));
        EXPECT_TRUE(Exists(path));
        EXPECT_EQ(ExactAttributes(path), attributes);
    }
    EXPECT_NO_THROW(DeleteStartupFile(path));
    EXPECT_FALSE(Exists(path));
    EXPECT_TRUE(Exists(folder + L"held.lnk"));
    EXPECT_EQ(ExactAttributes(folder + L"held.lnk") & FILE_ATTRIBUTE_READONLY, 0u);
}

// The host refuses to remove the file although the system reports it deleted: the file is
// still there, so the deletion is refused, and the attributes it cleared are back.
TEST_F(StartupFileRefusalTest, AFileReportedDeletedButStillThereIsRefused) {
    const std::string why = ImmutableFile::Unavailable();
    if (!why.empty())
        GTEST_SKIP() << why;
    const std::wstring path = folder + L"Tool.lnk";
    Make(path, FILE_ATTRIBUTE_HIDDEN);
    const DWORD attributes = ExactAttributes(path);
    {
        ImmutableFile immutable(scratch.File("Tool.lnk"));
        const auto refusal = RefusalOf([&] { DeleteStartupFile(path); });
        ASSERT_TRUE(refusal.has_value()) << "told as deleted";
        EXPECT_EQ(refusal->reason, "access is denied");
        EXPECT_TRUE(Exists(path));
        EXPECT_EQ(ExactAttributes(path), attributes);
    }
    EXPECT_NO_THROW(DeleteStartupFile(path));
    EXPECT_FALSE(Exists(path));
}

// Another program holds the file open, sharing its deletion: the system marks it for deletion
// but removes it only when that program closes it. Not gone, so not done.
TEST_F(StartupFileRefusalTest, AFileWhoseDeletionWaitsForAnotherProgramIsNotTakenAsDeleted) {
    const std::wstring path = folder + L"pending.lnk";
    Make(path);
    {
        const UniqueFile held(CreateFileW(path.c_str(), GENERIC_READ,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(held);
        const auto refusal = RefusalOf([&] { DeleteStartupFile(path); });
        // Where the system removes the name at once (Windows 10 and later) the file is gone and
        // the deletion done; where the name stays until the other program closes the file (Wine,
        // earlier Windows), the deletion is refused.
        if (Exists(path)) {
            ASSERT_TRUE(refusal.has_value()) << "told as deleted, but still there";
            EXPECT_TRUE(refusal->code == ERROR_ACCESS_DENIED || refusal->code == ERROR_DELETE_PENDING) << refusal->code;
            EXPECT_EQ(refusal->reason, ReasonOfError(refusal->code));
        } else {
            EXPECT_FALSE(refusal.has_value()) << refusal->reason;
        }
    }
    // Closed, it is gone; a deletion now has nothing to do.
    EXPECT_FALSE(Exists(path));
    EXPECT_NO_THROW(DeleteStartupFile(path));
}
} // namespace
