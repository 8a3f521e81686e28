// The source modules on their own, without a window: what each reads from the real (scratch)
// files, profile calls and (redirected) registry, and what it writes back.
#include "HeldFile.h"
#include "TestSupport.h"

#include "sources/AppError.h"
#include "sources/BootFile.h"
#include "sources/BootFileText.h"
#include "sources/IniList.h"
#include "sources/RunKey.h"
#include "sources/StartupFolder.h"
#include "sources/WideText.h"

#include <gtest/gtest.h>

#include <algorithm>

#include <string>
#include <vector>

namespace {
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kRunPath = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
// The attributes a rewrite or a failed deletion must keep (the file system may add "archive").
constexpr DWORD kKeptAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

// What a raised error says, or "" when none was raised.
template <typename Work> std::string ErrorOf(Work&& work) {
    try {
        work();
    } catch (const AppError& error) {
        return error.what();
    }
    return "";
}

// The tests' paths are plain ASCII; the sources take and give wide text.
std::wstring W(const std::string& text) {
    return WideOfAnsi(text);
}

// A value's data as the registry holds a string: UTF-16 with its terminating zero.
std::vector<unsigned char> StringData(const std::wstring& text) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(text.c_str());
    return std::vector<unsigned char>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
}

std::vector<RunValue> ReadAll(RootKey root, const std::string& keyName) {
    std::vector<RunValue> values;
    ReadRunKey(RunKeyLocator{root, RunKeyPath(keyName)}, [&](RunValue&& value) { values.push_back(std::move(value)); });
    return values;
}
} // namespace

// Boot files: the lines exactly as in the file, and the whole file rewritten from lines.
class BootFileSourceTest : public testing::Test {
  protected:
    ScratchFolder folder;
    std::string path = folder.File("CONFIG.SYS");
};

TEST_F(BootFileSourceTest, AFileThatCannotBeOpenedHasNoLinesAtAllAndAnEmptyOneHasNone) {
    EXPECT_FALSE(ReadBootFile(path).has_value());
    WriteBytes(path, "");
    const auto contents = ReadBootFile(path);
    ASSERT_TRUE(contents.has_value());
    EXPECT_TRUE(contents->lines.empty());
}

TEST_F(BootFileSourceTest, LinesAreReadByteForByteUpToTheFirstCtrlZ) {
    const std::string text("DEVICE=A\r\nrem \xE9\0x\r\nlone\nfeed\rLAST\x1A"
                           "after\r\n",
                           41);
    WriteBytes(path, text);
    const auto contents = ReadBootFile(path);
    ASSERT_TRUE(contents.has_value());
    EXPECT_EQ(contents->lines,
              (std::vector<std::string>{"DEVICE=A", std::string("rem \xE9\0x", 7), "lone\nfeed", "LAST"}));
    // The bytes are kept whole; only the line rules stop at the Ctrl-Z.
    EXPECT_EQ(contents->bytes, text);
}

TEST_F(BootFileSourceTest, AFileHeldOpenForWritingByAnotherProgramCannotBeRead) {
    WriteBytes(path, "A\r\n");
    HeldFile held(path);
    EXPECT_FALSE(ReadBootFile(path).has_value());
}

TEST_F(BootFileSourceTest, WritingGivesExactlyTheLinesEachEndedByALineBreakAndKeepsTheAttributes) {
    WriteBytes(path, "A\r\nB");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(RewriteTextFile(path, WriteBootLines({"REM A", "B", std::string("\0z", 2)})), RewriteResult::Written);
    EXPECT_EQ(ReadBytes(path), std::string("REM A\r\nB\r\n\0z\r\n", 14));
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & kKeptAttributes,
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(BootFileSourceTest, AFileHeldByAnotherProgramIsRefusedAndLeftAsItWas) {
    WriteBytes(path, "A\r\n");
    {
        HeldFile held(path);
        EXPECT_EQ(ErrorOf([&] { RewriteTextFile(path, WriteBootLines({"REM A"})); }),
                  "it is in use by another program");
    }
    EXPECT_EQ(ReadBytes(path), "A\r\n");
}

// WIN.INI entries through the profile calls, on a file name the system does not map to the
// registry (a file named WIN.INI is, wherever it is).
class IniEntrySourceTest : public testing::Test {
  protected:
    ScratchFolder folder;
    std::string file = folder.File("TEST.INI");
};

TEST_F(IniEntrySourceTest, AMissingFileSectionOrKeyReadsAsEmpty) {
    EXPECT_EQ(ReadIniEntry(W(file), L"Load"), L"");
    WriteBytes(file, "[Other]\r\nLoad=x.exe\r\n");
    EXPECT_EQ(ReadIniEntry(W(file), L"Load"), L"");
    WriteBytes(file, "[windows]\r\nRun=y.exe\r\n");
    EXPECT_EQ(ReadIniEntry(W(file), L"Load"), L"");
    EXPECT_EQ(ReadIniEntry(W(file), L"Run"), L"y.exe");
}

TEST_F(IniEntrySourceTest, AValueLongerThanTheFirstBufferIsReadWhole) {
    std::string value;
    for (int i = 0; value.size() < 10000; ++i)
        value += "C:\\PROGRAMS\\TOOL" + std::to_string(i) + ".EXE;";
    WriteBytes(file, "[Windows]\r\nLoad=" + value + "\r\n");
    EXPECT_EQ(ReadIniEntry(W(file), L"Load"), W(value));
}

TEST_F(IniEntrySourceTest, AWrittenValueIsReadBackAndAnEmptyOneKeepsTheKey) {
    WriteBytes(file, "[Windows]\r\nLoad=a.exe;b.exe\r\nRun=r.exe\r\n");
    WriteIniEntry(W(file), L"Load", L"a.exe");
    EXPECT_EQ(ReadIniEntry(W(file), L"Load"), L"a.exe");
    WriteIniEntry(W(file), L"Load", L"");
    EXPECT_EQ(ReadIniEntry(W(file), L"Load"), L"");
    EXPECT_EQ(ReadIniEntry(W(file), L"Run"), L"r.exe");
    EXPECT_NE(ReadBytes(file).find("Load="), std::string::npos) << ReadBytes(file);
}

TEST_F(IniEntrySourceTest, AFileThatCannotBeWrittenRaisesTheMessageNamingIt) {
    const std::string unreachable = folder.File("NO-SUCH-FOLDER\\TEST.INI");
    EXPECT_EQ(ErrorOf([&] { WriteIniEntry(W(unreachable), L"Load", L"a.exe"); }), "Unable to write to " + unreachable);
}

// Startup folders: the Shell Folders value, the folder's files with the shell's names.
class StartupFolderSourceTest : public testing::Test {
  protected:
    RegistrySandbox registry;
    ScratchFolder folder;
};

TEST_F(StartupFolderSourceTest, WithoutTheShellFoldersKeyTheFolderIsUnknown) {
    const StartupFolderListing listing = ReadStartupFolder("Startup", RootKey::CurrentUser);
    EXPECT_FALSE(listing.folder.has_value());
    EXPECT_TRUE(listing.files.empty());
}

TEST_F(StartupFolderSourceTest, FilesAreListedWithFullPathsHiddenOnesTooSubfoldersNot) {
    const std::string startup = folder.File("Startup");
    ASSERT_TRUE(CreateDirectoryA(startup.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA((startup + "\\Sub").c_str(), nullptr));
    WriteBytes(startup + "\\notes.txt", "x");
    WriteBytes(startup + "\\desktop.ini", "[.ShellClassInfo]\r\n");
    SetFileAttributesA((startup + "\\desktop.ini").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    // The value without a trailing backslash; the paths get one.
    SetStringValue(HKEY_LOCAL_MACHINE, kShellFolders, "Common Startup", startup);

    const StartupFolderListing listing = ReadStartupFolder("Common Startup", RootKey::LocalMachine);
    ASSERT_TRUE(listing.folder.has_value());
    EXPECT_EQ(*listing.folder, W(startup));
    std::vector<std::wstring> paths;
    for (const StartupFile& file : listing.files) {
        paths.push_back(file.path);
        EXPECT_FALSE(file.caption.empty()) << Utf8Of(file.path);
    }
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (std::vector<std::wstring>{W(startup + "\\desktop.ini"), W(startup + "\\notes.txt")}));
    SetFileAttributesA((startup + "\\desktop.ini").c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(StartupFolderSourceTest, AnEmptyValueNamesNoFolderToListAndANumberIsAnError) {
    SetStringValue(HKEY_CURRENT_USER, kShellFolders, "Startup", "");
    const StartupFolderListing listing = ReadStartupFolder("Startup", RootKey::CurrentUser);
    ASSERT_TRUE(listing.folder.has_value());
    EXPECT_EQ(*listing.folder, L"");
    EXPECT_TRUE(listing.files.empty());

    SetDwordValue(HKEY_CURRENT_USER, kShellFolders, "Startup", 7);
    EXPECT_EQ(ErrorOf([] { ReadStartupFolder("Startup", RootKey::CurrentUser); }), "Invalid data type for 'Startup'");
}

TEST_F(StartupFolderSourceTest, DeletingClearsReadOnlyAndAFileAlreadyGoneCountsAsDeleted) {
    const std::string path = folder.File("Tool.lnk");
    WriteBytes(path, "link");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_EQ(ErrorOf([&] { DeleteStartupFile(W(path)); }), "");
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(ErrorOf([&] { DeleteStartupFile(W(path)); }), "");
}

TEST_F(StartupFolderSourceTest, AFileThatCannotBeDeletedKeepsItsAttributes) {
    const std::string path = folder.File("Held.lnk");
    WriteBytes(path, "link");
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN);
    {
        HeldFile held(path);
        EXPECT_EQ(ErrorOf([&] { DeleteStartupFile(W(path)); }), "it is in use by another program");
    }
    EXPECT_TRUE(FileExists(path));
    EXPECT_EQ(GetFileAttributesA(path.c_str()) & kKeptAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// Run keys: values in the registry's order, deleted and written back as they were.
class RunKeySourceTest : public testing::Test {
  protected:
    RegistrySandbox registry;
    const RunKeyLocator run{RootKey::CurrentUser, kRunPath};
};

TEST_F(RunKeySourceTest, AMissingKeyHasNoValuesAndIsNotCreatedByAnyCall) {
    EXPECT_TRUE(ReadAll(RootKey::CurrentUser, "Run").empty());
    EXPECT_FALSE(DeleteRunValue(run, L"A").has_value());
    WriteRunValue(run, RunValue{L"A", REG_SZ, StringData(L"a.exe")});
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, kRunPath, 0, KEY_READ, &key), ERROR_SUCCESS);
}

TEST_F(RunKeySourceTest, ValuesComeInTheRegistrysOrderWithTheirTextTypeAndTheDefaultValue) {
    SetStringValue(HKEY_LOCAL_MACHINE, kRunPath, "Zeta", "z.exe");
    SetStringValue(HKEY_LOCAL_MACHINE, kRunPath, "", "default.exe");
    SetStringValue(HKEY_LOCAL_MACHINE, kRunPath, "Path", "%SystemRoot%\\p.exe", REG_EXPAND_SZ);
    SetStringValue(HKEY_LOCAL_MACHINE, kRunPath, "Empty", "");

    const auto values = ReadAll(RootKey::LocalMachine, "Run");
    std::vector<std::string> names;
    for (const auto& value : values)
        names.push_back(AnsiOf(value.name));
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunPath, 0, KEY_READ, &key), ERROR_SUCCESS);
    std::vector<std::string> registryOrder;
    char name[256];
    for (DWORD index = 0;; ++index) {
        DWORD length = sizeof name;
        if (RegEnumValueA(key, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        registryOrder.emplace_back(name, length);
    }
    RegCloseKey(key);
    EXPECT_EQ(names, registryOrder);
    ASSERT_EQ(values.size(), 4u);
    for (const auto& value : values) {
        if (value.name == L"Path") {
            EXPECT_EQ(ShownData(value), L"%SystemRoot%\\p.exe") << "never expanded";
            EXPECT_EQ(value.type, static_cast<unsigned long>(REG_EXPAND_SZ));
        } else if (value.name.empty()) {
            EXPECT_EQ(ShownData(value), L"default.exe");
        }
    }
}

TEST_F(RunKeySourceTest, ANumberValueRaisesItsErrorAfterTheValuesBeforeItWereHandedOver) {
    SetStringValue(HKEY_CURRENT_USER, kRunPath, "First", "first.exe");
    SetDwordValue(HKEY_CURRENT_USER, kRunPath, "Counter", 3);
    SetStringValue(HKEY_CURRENT_USER, kRunPath, "Last", "last.exe");
    std::vector<std::string> handed;
    const std::string error = ErrorOf([&] {
        ReadRunKey(RunKeyLocator{RootKey::CurrentUser, RunKeyPath("Run")},
                   [&](RunValue&& value) { handed.push_back(AnsiOf(value.name)); });
    });
    EXPECT_EQ(error, "Invalid data type for 'Counter'");
    // Whatever the registry's order, the number value ends the reading where it stands.
    EXPECT_EQ(std::find(handed.begin(), handed.end(), "Counter"), handed.end());
    EXPECT_LE(handed.size(), 2u);
}

TEST_F(RunKeySourceTest, DeletingAndWritingBackKeepTheTypeAndAValueAlreadyGoneIsNoError) {
    SetStringValue(HKEY_CURRENT_USER, kRunPath, "Path", "%WINDIR%\\x.exe", REG_EXPAND_SZ);
    const auto values = ReadAll(RootKey::CurrentUser, "Run");
    ASSERT_EQ(values.size(), 1u);
    const auto deleted = DeleteRunValue(run, L"Path");
    ASSERT_TRUE(deleted.has_value());
    EXPECT_EQ(deleted->data, values[0].data);
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, kRunPath, "Path").exists);
    EXPECT_FALSE(DeleteRunValue(run, L"Path").has_value());
    WriteRunValue(run, values[0]);
    const RegistryData back = GetValue(HKEY_CURRENT_USER, kRunPath, "Path");
    EXPECT_EQ(back.type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(back.bytes, std::string("%WINDIR%\\x.exe\0", 15));
}
