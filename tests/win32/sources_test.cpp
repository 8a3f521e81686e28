// The source modules on their own, without a window: what each reads from the real (scratch)
// files, profile calls and (redirected) registry, and what it writes back.
#include "HeldFile.h"
#include "ImportPatch.h"
#include "TestSupport.h"
#include "WideRegistry.h"

#include "sources/AppError.h"
#include "sources/BootFile.h"
#include "sources/BootFileText.h"
#include "sources/IniList.h"
#include "sources/RunKey.h"
#include "sources/StartupApproved.h"
#include "sources/StartupFolder.h"
#include "sources/WideText.h"

#include <gtest/gtest.h>

#include <sddl.h>

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

// What a raised ChangeRefused says and its code; an empty message when none was raised (any
// other error propagates and fails the test).
struct RefusalSeen {
    std::string message;
    unsigned long code = 0;
};
template <typename Work> RefusalSeen RefusalOf(Work&& work) {
    try {
        work();
    } catch (const ChangeRefused& refused) {
        return RefusalSeen{refused.what(), refused.Code()};
    }
    return RefusalSeen{};
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

// What a refusal under the local machine says when access is denied.
const std::string kMachineDenied =
    "access is denied; changing the local machine's entries needs Dawnroll started with \"Run as administrator\"";

// A key that everyone may read but no one change, as a user without administrator rights meets
// the local machine's keys; changeable again at the end, so that the sandbox can be removed.
class ReadOnlyKey {
  public:
    ReadOnlyKey(HKEY root, const std::string& path) {
        CreateKey(root, path);
        EXPECT_EQ(RegOpenKeyExA(root, path.c_str(), 0, READ_CONTROL | WRITE_DAC, &key_), ERROR_SUCCESS);
        SetAccess("D:P(A;;KRWDSD;;;WD)");
        HKEY probe = nullptr;
        enforced_ = RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE, &probe) == ERROR_ACCESS_DENIED;
        if (probe)
            RegCloseKey(probe);
    }
    ~ReadOnlyKey() {
        SetAccess("D:P(A;;KA;;;WD)");
        RegCloseKey(key_);
    }
    ReadOnlyKey(const ReadOnlyKey&) = delete;
    ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;
    // Whether the system holds to the key's security (else the test has nothing to show).
    bool Enforced() const { return enforced_; }

  private:
    void SetAccess(const char* sddl) {
        PSECURITY_DESCRIPTOR descriptor = nullptr;
        ASSERT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &descriptor, nullptr));
        EXPECT_EQ(RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, descriptor), ERROR_SUCCESS);
        LocalFree(descriptor);
    }
    HKEY key_ = nullptr;
    bool enforced_ = false;
};

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

TEST_F(StartupFolderSourceTest, AShellFoldersKeyThatMayOnlyBeReadNamesTheFolder) {
    WriteBytes(folder.File("Common.lnk"), "link");
    SetStringValue(HKEY_LOCAL_MACHINE, kShellFolders, "Common Startup", folder.Path());
    const ReadOnlyKey readOnly(HKEY_LOCAL_MACHINE, kShellFolders);
    if (!readOnly.Enforced())
        GTEST_SKIP() << "this system grants every access despite the key's security";
    const StartupFolderListing listing = ReadStartupFolder("Common Startup", RootKey::LocalMachine);
    ASSERT_TRUE(listing.folder.has_value());
    ASSERT_EQ(listing.files.size(), 1u);
    EXPECT_EQ(listing.files[0].path, W(folder.File("Common.lnk")));
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
    // The value is gone with its key: deleting it again is no error.
    EXPECT_FALSE(DeleteRunValue(run, L"A").has_value());
    // Restoring into a key that is gone is refused: the entry would not start.
    const RefusalSeen refusal = RefusalOf([&] { RestoreRunValue(run, RunValue{L"A", REG_SZ, StringData(L"a.exe")}); });
    EXPECT_EQ(refusal.message, "the key no longer exists");
    EXPECT_EQ(refusal.code, static_cast<unsigned long>(ERROR_FILE_NOT_FOUND));
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
    EXPECT_EQ(names, ValueNames(HKEY_LOCAL_MACHINE, kRunPath));
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
    // Whatever the registry's order, the number value ends the reading where it stands: every
    // value before it is handed over, in that order, and none after it.
    const auto order = ValueNames(HKEY_CURRENT_USER, kRunPath);
    ASSERT_EQ(order.size(), 3u);
    const auto counter = std::find(order.begin(), order.end(), "Counter");
    ASSERT_NE(counter, order.end());
    EXPECT_EQ(handed, std::vector<std::string>(order.begin(), counter));
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
    EXPECT_FALSE(RestoreRunValue(run, values[0]).has_value());
    const RegistryData back = GetValue(HKEY_CURRENT_USER, kRunPath, "Path");
    EXPECT_EQ(back.type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(back.bytes, std::string("%WINDIR%\\x.exe\0", 15));
}

TEST_F(RunKeySourceTest, AKeyThatMayOnlyBeReadIsListedAndEveryChangeThereIsRefusedWithTheReason) {
    SetStringValue(HKEY_LOCAL_MACHINE, kRunPath, "Machine", "m.exe");
    SetStringValue(HKEY_CURRENT_USER, kRunPath, "User", "u.exe");
    const ReadOnlyKey machineReadOnly(HKEY_LOCAL_MACHINE, kRunPath);
    const ReadOnlyKey userReadOnly(HKEY_CURRENT_USER, kRunPath);
    if (!machineReadOnly.Enforced() || !userReadOnly.Enforced())
        GTEST_SKIP() << "this system grants every access despite the key's security";

    const auto values = ReadAll(RootKey::LocalMachine, "Run");
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].name, L"Machine");
    EXPECT_EQ(ShownData(values[0]), L"m.exe");

    const RunKeyLocator machineRun{RootKey::LocalMachine, kRunPath};
    RefusalSeen refusal = RefusalOf([&] { DeleteRunValue(machineRun, L"Machine"); });
    EXPECT_EQ(refusal.message, kMachineDenied);
    EXPECT_EQ(refusal.code, static_cast<unsigned long>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, kRunPath, "Machine").bytes, std::string("m.exe", 6));
    refusal = RefusalOf([&] { RestoreRunValue(machineRun, RunValue{L"Other", REG_SZ, StringData(L"o.exe")}); });
    EXPECT_EQ(refusal.message, kMachineDenied);
    EXPECT_FALSE(GetValue(HKEY_LOCAL_MACHINE, kRunPath, "Other").exists);

    // Under the current user the reason stands alone: running as administrator is no remedy.
    refusal = RefusalOf([&] { DeleteRunValue(run, L"User"); });
    EXPECT_EQ(refusal.message, "access is denied");
    EXPECT_EQ(refusal.code, static_cast<unsigned long>(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, kRunPath, "User").exists);
}

TEST_F(RunKeySourceTest, RestoringKeepsTheValueAnotherProgramWroteAgainWritesOnceItIsGoneAndNeverMakesTheKey) {
    SetStringValue(HKEY_CURRENT_USER, kRunPath, "Tool", "C:\\tool.exe");
    const auto taken = DeleteRunValue(run, L"Tool");
    ASSERT_TRUE(taken.has_value());
    // Another program writes it again while the row is unchecked, under the name in other case.
    SetStringValue(HKEY_CURRENT_USER, kRunPath, "TOOL", "C:\\new\\tool.exe --updated", REG_EXPAND_SZ);
    const auto now = RestoreRunValue(run, *taken);
    ASSERT_TRUE(now.has_value());
    EXPECT_EQ(now->type, static_cast<unsigned long>(REG_EXPAND_SZ));
    EXPECT_EQ(ShownData(*now), L"C:\\new\\tool.exe --updated");
    RegistryData value = GetValue(HKEY_CURRENT_USER, kRunPath, "Tool");
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(value.bytes, std::string("C:\\new\\tool.exe --updated") + '\0');

    ASSERT_TRUE(DeleteRunValue(run, L"Tool").has_value());
    EXPECT_FALSE(RestoreRunValue(run, *taken).has_value());
    value = GetValue(HKEY_CURRENT_USER, kRunPath, "Tool");
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.bytes, std::string("C:\\tool.exe") + '\0');

    // Once the key itself is gone, restoring is refused and does not make it again.
    ASSERT_TRUE(DeleteRunValue(run, L"Tool").has_value());
    DeleteKeyTree(HKEY_CURRENT_USER, kRunPath);
    const RefusalSeen refusal = RefusalOf([&] { RestoreRunValue(run, *taken); });
    EXPECT_EQ(refusal.message, "the key no longer exists");
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRunPath, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    // And deleting there is no error: the entry will not start.
    EXPECT_FALSE(DeleteRunValue(run, L"Tool").has_value());
}

// The system's own switch: records of entries switched off beside the run keys and Startup
// folders, read and switched on again.
class StartupApprovedSourceTest : public testing::Test {
  protected:
    RegistrySandbox registry;
    const ApprovalPlace userRun = *ApprovalPlaceOf(RunKeyLocator{RootKey::CurrentUser, kRunPath});
    const ApprovalPlace machineRun = *ApprovalPlaceOf(RunKeyLocator{RootKey::LocalMachine, kRunPath});

    static std::vector<unsigned char> Record(unsigned char first) {
        return {first, 0, 0, 0, 0x10, 0x5F, 0x3C, 0x8E, 0x2A, 0x4B, 0xDA, 0x01};
    }
    static void Put(HKEY root, const ApprovalPlace& place, const std::wstring& name, DWORD type,
                    const std::vector<unsigned char>& bytes) {
        SetWideValue(root, place.keyPath, name, type, bytes);
    }
};

TEST_F(StartupApprovedSourceTest, EntriesRecordedOffAreReadByNameWithoutRegardToCase) {
    Put(HKEY_CURRENT_USER, userRun, L"Tool", REG_BINARY, Record(0x03));
    Put(HKEY_CURRENT_USER, userRun, L"Seven", REG_BINARY, Record(0x07));
    Put(HKEY_CURRENT_USER, userRun, L"Андрей", REG_BINARY, Record(0x03));
    Put(HKEY_CURRENT_USER, userRun, L"On", REG_BINARY, Record(0x02));
    Put(HKEY_CURRENT_USER, userRun, L"Six", REG_BINARY, Record(0x06));
    Put(HKEY_CURRENT_USER, userRun, L"Short", REG_BINARY, {0x03});
    Put(HKEY_CURRENT_USER, userRun, L"Text", REG_SZ, BytesOf(L"3"));

    const SwitchedOffNames off = ReadSwitchedOff(userRun);
    EXPECT_EQ(off.size(), 3u);
    for (const wchar_t* name : {L"Tool", L"tOOL", L"Seven", L"Андрей", L"АНДРЕЙ"})
        EXPECT_EQ(off.count(name), 1u) << Printable(name);
    for (const wchar_t* name : {L"On", L"Six", L"Short", L"Text", L"Tool2", L""})
        EXPECT_EQ(off.count(name), 0u) << Printable(name);
    // Each root keeps its own records; a missing key records nothing.
    EXPECT_TRUE(ReadSwitchedOff(machineRun).empty());
}

TEST_F(StartupApprovedSourceTest, TurningOnWritesTheOnRecordOnlyWhereTheEntryIsOff) {
    Put(HKEY_CURRENT_USER, userRun, L"Tool", REG_BINARY, Record(0x03));
    Put(HKEY_CURRENT_USER, userRun, L"On", REG_BINARY, Record(0x06));
    Put(HKEY_CURRENT_USER, userRun, L"Text", REG_SZ, BytesOf(L"3"));

    EXPECT_TRUE(TurnApprovalOn(userRun, L"TOOL"));
    WideValue tool = GetWideValue(HKEY_CURRENT_USER, userRun.keyPath, L"Tool");
    EXPECT_EQ(tool.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(tool.bytes, ApprovalOnBytes());
    EXPECT_TRUE(ReadSwitchedOff(userRun).empty());
    EXPECT_FALSE(TurnApprovalOn(userRun, L"Tool")) << "already on";

    // Records that do not say off, and missing ones, are left as they are.
    EXPECT_FALSE(TurnApprovalOn(userRun, L"On"));
    EXPECT_EQ(GetWideValue(HKEY_CURRENT_USER, userRun.keyPath, L"On").bytes, Record(0x06));
    EXPECT_FALSE(TurnApprovalOn(userRun, L"Text"));
    EXPECT_EQ(GetWideValue(HKEY_CURRENT_USER, userRun.keyPath, L"Text").bytes, BytesOf(L"3"));
    EXPECT_FALSE(TurnApprovalOn(userRun, L"Missing"));
    EXPECT_FALSE(GetWideValue(HKEY_CURRENT_USER, userRun.keyPath, L"Missing").exists);
    // Without the key there is nothing to switch, and the key is not made.
    EXPECT_FALSE(TurnApprovalOn(machineRun, L"Tool"));
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, machineRun.keyPath.c_str(), 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(StartupApprovedSourceTest, EachStartupFolderHasTheRecordsOfItsOwnRoot) {
    const ApprovalPlace user = ApprovalPlaceOf(StartupFolderPlaceOf(0));
    const ApprovalPlace common = ApprovalPlaceOf(StartupFolderPlaceOf(1));
    Put(HKEY_CURRENT_USER, user, L"Editor.lnk", REG_BINARY, Record(0x03));
    Put(HKEY_LOCAL_MACHINE, common, L"Common.lnk", REG_BINARY, Record(0x03));
    Put(HKEY_LOCAL_MACHINE, common, L"Kept.lnk", REG_BINARY, Record(0x07));

    EXPECT_EQ(ReadSwitchedOff(user), SwitchedOffNames({L"Editor.lnk"}));
    EXPECT_EQ(ReadSwitchedOff(common), SwitchedOffNames({L"Common.lnk", L"Kept.lnk"}));
    EXPECT_FALSE(TurnApprovalOn(user, L"Common.lnk"));
    EXPECT_TRUE(TurnApprovalOn(common, L"common.LNK"));
    EXPECT_EQ(ReadSwitchedOff(common), SwitchedOffNames({L"Kept.lnk"}));
    EXPECT_EQ(ReadSwitchedOff(user), SwitchedOffNames({L"Editor.lnk"}));
}

TEST_F(StartupApprovedSourceTest, RecordsThatMayOnlyBeReadAreReadAndTurningOnIsRefusedWithTheReason) {
    Put(HKEY_LOCAL_MACHINE, machineRun, L"Machine", REG_BINARY, Record(0x03));
    const ReadOnlyKey readOnly(HKEY_LOCAL_MACHINE, machineRun.keyPath);
    if (!readOnly.Enforced())
        GTEST_SKIP() << "this system grants every access despite the key's security";
    EXPECT_EQ(ReadSwitchedOff(machineRun), SwitchedOffNames({L"Machine"}));
    const RefusalSeen refusal = RefusalOf([&] { TurnApprovalOn(machineRun, L"Machine"); });
    EXPECT_EQ(refusal.message, kMachineDenied);
    EXPECT_EQ(refusal.code, static_cast<unsigned long>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(GetWideValue(HKEY_LOCAL_MACHINE, machineRun.keyPath, L"Machine").bytes, Record(0x03));
}

// RegDeleteValueW answering what the test says, as the system would for a deletion it refuses
// after the key was opened.
namespace {
LONG deletionAnswer = ERROR_SUCCESS;
LONG WINAPI AnswerDeletion(HKEY, LPCWSTR) {
    return deletionAnswer;
}
} // namespace

TEST_F(RunKeySourceTest, ADeletionRefusedAfterOpeningIsToldAndOneWhoseKeyWentIsNoError) {
    SetStringValue(HKEY_LOCAL_MACHINE, kRunPath, "Tool", "t.exe");
    const RunKeyLocator machineRun{RootKey::LocalMachine, kRunPath};
    const ImportReplacement deleteValue("advapi32.dll", "RegDeleteValueW", reinterpret_cast<void*>(&AnswerDeletion));
    deletionAnswer = ERROR_ACCESS_DENIED;
    RefusalSeen refusal = RefusalOf([&] { DeleteRunValue(machineRun, L"Tool"); });
    EXPECT_EQ(refusal.message, kMachineDenied);
    EXPECT_EQ(refusal.code, static_cast<unsigned long>(ERROR_ACCESS_DENIED));
    deletionAnswer = ERROR_LOCK_VIOLATION;
    refusal = RefusalOf([&] { DeleteRunValue(machineRun, L"Tool"); });
    EXPECT_EQ(refusal.message, "it is in use by another program");
    EXPECT_TRUE(GetValue(HKEY_LOCAL_MACHINE, kRunPath, "Tool").exists);
    // The key deleted by another program between opening and deleting: the value went with it.
    deletionAnswer = ERROR_KEY_DELETED;
    EXPECT_FALSE(DeleteRunValue(machineRun, L"Tool").has_value());
}
