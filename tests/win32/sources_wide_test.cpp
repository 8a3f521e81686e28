// The sources on their own, without a window, on a real (redirected) registry and real files:
// names, data, paths and program lists in any script are read and written back exactly, and a
// value whose name holds a zero character is never mistaken for another.
#include "FormDriving.h"
#include "TestSupport.h"
#include "ThrowawayPrefix.h"
#include "WideRegistry.h"

#include "sources/AppError.h"
#include "sources/IniList.h"
#include "sources/IniListText.h"
#include "sources/RunKey.h"
#include "sources/StartupFolder.h"
#include "sources/WideText.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {
const auto* const iniMapping = testing::AddGlobalTestEnvironment(new IniMapping);

constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const RunKeyLocator kUserRun{RootKey::CurrentUser, kRun};

struct Seeded {
    std::wstring name;
    DWORD type;
    Bytes bytes;
};

// Values in several scripts, one outside the basic plane, and data no string call would keep.
std::vector<Seeded> ManyScripts() {
    Bytes zeroInside = BytesOf(std::wstring(L"%\0w\0i\0n%\\tool.exe", 18));
    Bytes odd = BytesOf(L"C:\\odd.exe", false);
    odd.push_back(0x41);
    return {
        {L"Андрей", REG_SZ, BytesOf(L"C:\\Программы\\андрей.exe /тихо")},
        {L"工具", REG_EXPAND_SZ, BytesOf(L"%ProgramFiles%\\工具\\tool.exe /x")},
        {L"Ελληνικά", REG_SZ, BytesOf(L"C:\\Ελλάδα\\πρόγραμμα.exe")},
        {L"Smile \U0001F600", REG_SZ, BytesOf(L"C:\\\U0001F600\\smile.exe")},
        {L"ZeroInside", REG_EXPAND_SZ, zeroInside},
        {L"NoTerminator", REG_SZ, BytesOf(L"C:\\plain.exe", false)},
        {L"OddCount", REG_SZ, odd},
        {L"Empty", REG_SZ, {}},
    };
}

std::vector<RunValue> ReadAll() {
    std::vector<RunValue> values;
    ReadRunKey(RunKeyLocator{RootKey::CurrentUser, RunKeyPath("Run")},
               [&](RunValue&& value) { values.push_back(std::move(value)); });
    return values;
}

const RunValue* Find(const std::vector<RunValue>& values, const std::wstring& name) {
    for (const auto& value : values) {
        if (value.name == name)
            return &value;
    }
    return nullptr;
}

class SourcesWideTest : public testing::Test {
  protected:
    RegistrySandbox registry;
    ScratchFolder folder;
};

TEST_F(SourcesWideTest, RunValuesAreReadDeletedAndWrittenBackByteForByte) {
    const auto seeded = ManyScripts();
    for (const auto& value : seeded)
        SetWideValue(HKEY_CURRENT_USER, kRun, value.name, value.type, value.bytes);
    const auto values = ReadAll();
    ASSERT_EQ(values.size(), seeded.size());
    for (const auto& expected : seeded) {
        SCOPED_TRACE(Printable(expected.name));
        const RunValue* value = Find(values, expected.name);
        ASSERT_TRUE(value);
        EXPECT_EQ(value->type, expected.type);
        EXPECT_EQ(value->data, expected.bytes);
        EXPECT_EQ(ShownName(*value), expected.name);

        const auto taken = DeleteRunValue(kUserRun, value->name);
        ASSERT_TRUE(taken);
        EXPECT_EQ(taken->type, expected.type);
        EXPECT_EQ(taken->data, expected.bytes);
        EXPECT_FALSE(GetWideValue(HKEY_CURRENT_USER, kRun, expected.name).exists);
        EXPECT_FALSE(RestoreRunValue(kUserRun, *taken));
        const WideValue back = GetWideValue(HKEY_CURRENT_USER, kRun, expected.name);
        EXPECT_TRUE(back.exists);
        EXPECT_EQ(back.type, expected.type);
        EXPECT_EQ(back.bytes, expected.bytes);
    }
    // What a row shows: the text cut at its first zero, never expanded; the odd byte is no unit.
    EXPECT_EQ(ShownData(*Find(values, L"工具")), L"%ProgramFiles%\\工具\\tool.exe /x");
    EXPECT_EQ(ShownData(*Find(values, L"ZeroInside")), L"%");
    EXPECT_EQ(ShownData(*Find(values, L"NoTerminator")), L"C:\\plain.exe");
    EXPECT_EQ(ShownData(*Find(values, L"OddCount")), L"C:\\odd.exe");
    EXPECT_EQ(ShownData(*Find(values, L"Smile \U0001F600")), L"C:\\\U0001F600\\smile.exe");
    EXPECT_EQ(ShownData(*Find(values, L"Empty")), L"");
    for (const auto& value : AllValues(HKEY_CURRENT_USER, kRun))
        EXPECT_EQ(value.name.find(L'?'), std::wstring::npos) << Printable(value.name);
}

TEST_F(SourcesWideTest, DeletingAnswersTheValueAsItStandsNowAndAGoneValueIsNoError) {
    SetWideValue(HKEY_CURRENT_USER, kRun, L"A", REG_SZ, BytesOf(L"a.exe"));
    const auto loaded = ReadAll();
    ASSERT_EQ(loaded.size(), 1u);
    // Another program changes the value after the load.
    const Bytes updated = BytesOf(L"a2.exe --updated");
    SetWideValue(HKEY_CURRENT_USER, kRun, L"A", REG_EXPAND_SZ, updated);
    const auto taken = DeleteRunValue(kUserRun, L"A");
    ASSERT_TRUE(taken);
    EXPECT_EQ(taken->type, static_cast<unsigned long>(REG_EXPAND_SZ));
    EXPECT_EQ(taken->data, updated);
    EXPECT_FALSE(GetWideValue(HKEY_CURRENT_USER, kRun, L"A").exists);
    // Already gone: nothing to answer, no error.
    EXPECT_FALSE(DeleteRunValue(kUserRun, L"A"));
    // A key that cannot be opened changes nothing.
    EXPECT_FALSE(DeleteRunValue(RunKeyLocator{RootKey::CurrentUser, std::string(kRun) + "Missing"}, L"A"));
}

TEST_F(SourcesWideTest, ANameHoldingAZeroIsListedWithItsDataAndNeverTouched) {
    const std::wstring hidden(L"Tool\0Hidden", 11);
    SetWideValue(HKEY_CURRENT_USER, kRun, L"Tool", REG_SZ, BytesOf(L"C:\\visible.exe"));
    SetValueWithCountedName(HKEY_CURRENT_USER, kRun, hidden, REG_SZ, BytesOf(L"C:\\hidden.exe"));
    const auto before = AllValues(HKEY_CURRENT_USER, kRun);
    ASSERT_EQ(before.size(), 2u);

    const auto values = ReadAll();
    ASSERT_EQ(values.size(), 2u);
    const RunValue* value = Find(values, hidden);
    ASSERT_TRUE(value) << "the name is read whole, by index";
    EXPECT_FALSE(NameIsReachable(value->name));
    EXPECT_EQ(ShownName(*value), L"Tool");
    EXPECT_EQ(ShownData(*value), L"C:\\hidden.exe");
    EXPECT_TRUE(NameIsReachable(Find(values, L"Tool")->name));

    const std::string message = "The name of value 'Tool\\0Hidden' holds a zero character; it cannot be changed";
    try {
        DeleteRunValue(kUserRun, value->name);
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()), message);
    }
    try {
        RestoreRunValue(kUserRun, *value);
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()), message);
    }
    EXPECT_EQ(AllValues(HKEY_CURRENT_USER, kRun), before) << "every value of the key stays as it was";
}

TEST_F(SourcesWideTest, MessagesNameAValueExactly) {
    SetWideValue(HKEY_CURRENT_USER, kRun, L"Число", REG_DWORD, {1, 0, 0, 0});
    try {
        ReadAll();
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(WideOfUtf8(error.what()), L"Invalid data type for 'Число'");
        EXPECT_EQ(WideOfMessage(error.what()), L"Invalid data type for 'Число'");
    }
    // A message holding bytes of the ANSI code page (a boot file's path) still reads as text.
    EXPECT_EQ(WideOfMessage("C:\\caf\xe9"), L"C:\\café");
}

TEST_F(SourcesWideTest, ProfileEntriesKeepEveryProgramExactly) {
    const std::wstring value = L"C:\\工具\\a.exe;plain.exe; C:\\Программы\\b.exe ;\U0001F600.exe";
    // A real profile file in UTF-16 (the only form that can hold these names) and the mapped WIN.INI.
    const std::wstring testIni = WideOf(folder.File("TEST.INI"));
    const Bytes unicodeFile = BytesOf(L"\xFEFF[Windows]\r\nLoad=x.exe\r\n", false);
    WriteBytes(folder.File("TEST.INI"), std::string(unicodeFile.begin(), unicodeFile.end()));
    for (const std::wstring& file : {testIni, WideOf(folder.File("WIN.INI"))}) {
        SCOPED_TRACE(Printable(file));
        ASSERT_TRUE(WritePrivateProfileStringW(L"Windows", L"Load", value.c_str(), file.c_str()));
        EXPECT_EQ(ReadIniEntry(file, L"Load"), value);
        WriteIniEntry(file, L"Load", L"C:\\工具\\a.exe;\U0001F600.exe");
        wchar_t buffer[256] = {};
        GetPrivateProfileStringW(L"Windows", L"Load", L"", buffer, 256, file.c_str());
        EXPECT_EQ(std::wstring(buffer), L"C:\\工具\\a.exe;\U0001F600.exe");
        EXPECT_EQ(ReadIniEntry(file, L"Missing"), L"");
    }
    // The file itself holds the programs exactly.
    const std::string bytes = ReadBytes(folder.File("TEST.INI"));
    const Bytes wanted = BytesOf(L"Load=C:\\工具\\a.exe;\U0001F600.exe", false);
    EXPECT_NE(bytes.find(std::string(wanted.begin(), wanted.end())), std::string::npos);
    // A value longer than the first buffer is read whole.
    const std::wstring longValue(100000, L'д');
    WriteIniEntry(testIni, L"Run", longValue);
    EXPECT_EQ(ReadIniEntry(testIni, L"Run"), longValue);
    // The error names the file exactly.
    const std::wstring unwritable = WideOf(folder.Path()) + L"Нет\\TEST.INI";
    try {
        WriteIniEntry(unwritable, L"Load", L"x.exe");
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        EXPECT_EQ(WideOfUtf8(error.what()), L"Unable to write to " + unwritable);
    }
}

// What the profile calls give back of a written value is what the write answered, at once and
// after the system's profile cache is flushed, in a profile file and in the mapped WIN.INI.
TEST_F(SourcesWideTest, AWrittenValueReadsBackAsTheWriteAnswered) {
    const std::wstring winIni = WideOf(folder.File("WIN.INI"));
    EXPECT_TRUE(IniEntryKeptInRegistry(winIni, L"Load"));
    EXPECT_TRUE(IniEntryKeptInRegistry(L"win.ini", L"Run"));
    EXPECT_FALSE(IniEntryKeptInRegistry(WideOf(folder.File("TEST.INI")), L"Load"));
    const Bytes unicodeFile = BytesOf(L"\xFEFF[Windows]\r\nLoad=x.exe\r\n", false);
    WriteBytes(folder.File("TEST.INI"), std::string(unicodeFile.begin(), unicodeFile.end()));
    const std::wstring values[] = {L"\"C:\\Program Files\\a.exe\"",
                                   L"'a.exe'",
                                   L"\"a b.exe\";\"c.exe\"",
                                   L"\"\"",
                                   L"\"",
                                   L"\"a.exe'",
                                   L"\" a.exe \"",
                                   L"  a.exe;b.exe  ",
                                   L"\t\"x.exe\" ",
                                   L"",
                                   L"   ",
                                   L"C:\\Программы\\b.exe;\"\U0001F600.exe\"",
                                   L"a.exe\x1A"};
    for (const std::wstring& file : {WideOf(folder.File("TEST.INI")), winIni}) {
        for (const std::wstring& value : values) {
            SCOPED_TRACE(Printable(file) + " [" + Printable(value) + "]");
            const std::wstring answered = WriteIniEntry(file, L"Load", value);
            EXPECT_EQ(ReadIniEntry(file, L"Load"), answered);
            WritePrivateProfileStringW(nullptr, nullptr, nullptr, file.c_str());
            EXPECT_EQ(ReadIniEntry(file, L"Load"), answered);
            // A file's read takes blanks and enclosing quotes away; WIN.INI's [Windows] section,
            // which the system keeps in the registry, gives back exactly what was written.
            EXPECT_EQ(answered, file == winIni ? value : ProfileReadBack(value));
        }
    }
}

TEST_F(SourcesWideTest, StartupFolderInCyrillicIsListedAndItsFileDeleted) {
    const std::wstring startup = WideOf(folder.Path()) + L"Автозагрузка";
    ASSERT_TRUE(CreateDirectoryW(startup.c_str(), nullptr));
    const std::wstring file = startup + L"\\Программа.txt";
    {
        HANDLE handle =
            CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_READONLY, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        CloseHandle(handle);
    }
    ASSERT_TRUE(CreateDirectoryW((startup + L"\\Папка").c_str(), nullptr));
    SetWideValue(HKEY_CURRENT_USER, kShellFolders, L"Startup", REG_SZ, BytesOf(startup));
    const StartupFolderListing listing = ReadStartupFolder("Startup", RootKey::CurrentUser);
    ASSERT_TRUE(listing.folder);
    EXPECT_EQ(*listing.folder, startup);
    ASSERT_EQ(listing.files.size(), 1u) << "the subfolder is no entry";
    EXPECT_EQ(listing.files[0].path, file);
    EXPECT_EQ(listing.files[0].caption.find(L"Программа"), 0u) << Printable(listing.files[0].caption);
    DeleteStartupFile(file);
    EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES);
    // Gone already: nothing to do, nothing to tell.
    EXPECT_NO_THROW(DeleteStartupFile(file));
    RemoveDirectoryW((startup + L"\\Папка").c_str());
    RemoveDirectoryW(startup.c_str());
}

// The scratch places the tests and the benchmark share. WIN.INI's [windows] entries land in the
// sandbox's user key (the benchmark stops when they do not); those of another profile file do
// not; the probe leaves nothing behind.
TEST(SharedScratchPlaces, TheSandboxHoldsTheEntriesOfAMappedWinIniOnly) {
    RegistrySandbox registry;
    ScratchFolder folder;
    EXPECT_TRUE(registry.HoldsWinIniEntriesOf(folder.File("WIN.INI")));
    EXPECT_FALSE(registry.HoldsWinIniEntriesOf(folder.File("TEST.INI")));
    EXPECT_TRUE(ValueNames(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows").empty());
    EXPECT_FALSE(FileExists(folder.File("WIN.INI")));
    EXPECT_EQ(ReadBytes(folder.File("TEST.INI")).find("DawnrollProbe"), std::string::npos);
}

// Only a file of the marker's name marks a prefix as one the scripts made; this test session's
// prefix is one.
TEST(SharedScratchPlaces, OnlyTheMarkerFileMarksAThrowawayPrefix) {
    EXPECT_TRUE(InThrowawayPrefix()) << ThrowawayMarkerPath();
    ScratchFolder folder;
    const std::string marker = folder.File(kThrowawayMarkerName);
    EXPECT_FALSE(InThrowawayPrefix(marker));
    ASSERT_TRUE(CreateDirectoryA(marker.c_str(), nullptr));
    EXPECT_FALSE(InThrowawayPrefix(marker)) << "a folder of that name";
    ASSERT_TRUE(RemoveDirectoryA(marker.c_str()));
    WriteBytes(marker, "");
    EXPECT_TRUE(InThrowawayPrefix(marker));
}
} // namespace
