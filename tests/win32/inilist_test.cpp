// Sections 3 and 4, the Load and Run entries of the [Windows] section of WIN.INI, through the
// real profile-file calls.
//
// Where the entries live under Wine: the [windows] section of any file named WIN.INI is mapped
// to the registry (the IniFileMapping key of HKLM says so), to the values of the same names
// under the key HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows; the file's text is
// not consulted. The mapping opens HKEY_CURRENT_USER on every call, so under a RegistrySandbox
// those entries land in the sandbox. The IniFileMapping key itself is opened once per process
// and kept: the environment below opens it before any sandbox exists (with the sandbox's HKLM
// in place it would not be found, and WIN.INI would be a plain file). The toggle rules are
// tested on an unmapped file name (TEST.INI) in a scratch folder; WIN.INI is used where the
// window builds its path, always inside a sandbox, and the real entries are checked and
// restored at the end.
#include "FormDriving.h"
#include "ImmutableFile.h"
#include "ImportPatch.h"
#include "TestSupport.h"

#include "sources/AppError.h"
#include "sources/IniList.h"
#include "sources/IniListText.h"
#include "sources/SystemInformation.h"
#include "sources/WideText.h"
#include "ui/Dawnroll.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {
constexpr const char* kMappedKey = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows";
constexpr const char* kSentinel = "<no such entry>";
constexpr int kCheckListItemHeight = 13;

// The entry as the profile call reads it whole; the sentinel when the key does not exist.
std::string ProfileEntry(const std::string& file, const std::string& key) {
    std::string buffer(4u << 20, '\0');
    const DWORD length = GetPrivateProfileStringA("Windows", key.c_str(), kSentinel, &buffer[0],
                                                  static_cast<DWORD>(buffer.size()), file.c_str());
    buffer.resize(length);
    return buffer;
}

std::wstring Widened(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(length > 0 ? length - 1 : 0);
    return wide;
}

// Seeds an entry through the profile call. The wide call is used so that values of any length
// arrive whole (the ANSI call cannot carry 32,767 characters or more).
void SeedEntry(const std::string& file, const std::string& key, const std::string& value) {
    ASSERT_TRUE(
        WritePrivateProfileStringW(L"Windows", Widened(key).c_str(), Widened(value).c_str(), Widened(file).c_str()))
        << file;
    ASSERT_EQ(ProfileEntry(file, key), value);
}

// `count` distinct program command lines, each named by its index.
std::vector<std::string> Programs(int count) {
    std::vector<std::string> programs;
    programs.reserve(count);
    for (int i = 0; i < count; ++i)
        programs.push_back("C:\\PROGRA~1\\TOOL" + std::to_string(i) + "\\P" + std::to_string(i) + ".EXE /q");
    return programs;
}

std::vector<std::string> LinesOf(const CheckListBox& list) {
    std::vector<std::string> lines;
    for (int i = 0; i < list.Count(); ++i)
        lines.push_back(list.Line(i));
    return lines;
}

std::vector<bool> MarksOf(const CheckListBox& list) {
    std::vector<bool> marks;
    for (int i = 0; i < list.Count(); ++i)
        marks.push_back(list.Checked(i));
    return marks;
}

// Keeps the machine's own WIN.INI entries as they were: records them before any test and, at
// the end, fails if any changed and puts them back.
class RealEntriesGuard : public testing::Environment {
  public:
    void SetUp() override {
        // Opens the IniFileMapping key once for this process, while no sandbox is in place.
        OpenIniFileMappingOnce();
        for (const char* name : {"Load", "Run"})
            before_.push_back(GetValue(HKEY_CURRENT_USER, kMappedKey, name));
    }
    void TearDown() override {
        const char* names[] = {"Load", "Run"};
        for (int i = 0; i < 2; ++i) {
            const RegistryData now = GetValue(HKEY_CURRENT_USER, kMappedKey, names[i]);
            EXPECT_TRUE(now.exists == before_[i].exists && now.bytes == before_[i].bytes)
                << "the real " << names[i] << " entry was changed";
            if (now.exists == before_[i].exists && now.bytes == before_[i].bytes)
                continue;
            HKEY key = nullptr;
            if (RegOpenKeyExA(HKEY_CURRENT_USER, kMappedKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
                continue;
            if (before_[i].exists)
                RegSetValueExA(key, names[i], 0, before_[i].type,
                               reinterpret_cast<const BYTE*>(before_[i].bytes.data()),
                               static_cast<DWORD>(before_[i].bytes.size()));
            else
                RegDeleteValueA(key, names[i]);
            RegCloseKey(key);
        }
    }

  private:
    std::vector<RegistryData> before_;
};
const auto* const realEntriesGuard = testing::AddGlobalTestEnvironment(new RealEntriesGuard);

class IniListTest : public FormTest {
  protected:
    // An unmapped profile file: a real file in the scratch folder.
    std::string TestIni() const { return folder.File("TEST.INI"); }
    // The WIN.INI the window reads: mapped, so its entries live in the sandbox's HKCU.
    std::string WinIni() const { return folder.File("WIN.INI"); }

    // Loads section 3 with the entry `key` of `file`, creating the window the first time.
    CheckListBox& Load(const std::string& file, const std::string& key = "Load") {
        if (!form->Handle())
            form->Create();
        IniListSection& section = form->SectionN<IniListSection>(3);
        section.PointAt(WideOfAnsi(key), WideOfAnsi(file));
        section.LoadIniList();
        return section.List();
    }
    IniListSection& SectionOf(const CheckListBox& list) {
        for (int number = 3; number <= 4; ++number) {
            if (&form->CheckListBoxN(number) == &list)
                return form->SectionN<IniListSection>(number);
        }
        throw std::logic_error("not a WIN.INI section's list");
    }
    void Toggle(CheckListBox& list, int index, bool checked) {
        list.SetChecked(index, checked);
        SectionOf(list).WinIniClickCheck();
    }
};

TEST_F(IniListTest, WinIniEntriesLiveInTheSandboxedUserKey) {
    SeedEntry(WinIni(), "Load", "mapped.exe");
    EXPECT_FALSE(FileExists(WinIni())) << "the [windows] section of WIN.INI is mapped, no file is written";
    const RegistryData value = GetValue(HKEY_CURRENT_USER, kMappedKey, "Load");
    EXPECT_TRUE(value.exists);
    EXPECT_EQ(value.bytes, std::string("mapped.exe", 11));
    // Any file named WIN.INI is mapped, whatever its folder; another name is a file.
    EXPECT_EQ(ProfileEntry("C:\\DAWNROLL-NONE\\WIN.INI", "Load"), "mapped.exe");
    SeedEntry(TestIni(), "Load", "file.exe");
    EXPECT_EQ(ReadBytes(TestIni()), "[Windows]\r\nLoad=file.exe\r\n");
    EXPECT_EQ(ProfileEntry(WinIni(), "Load"), "mapped.exe");
}

TEST_F(IniListTest, ExampleValueListsItsProgramsAndTogglesRewriteTheEntry) {
    // A blank, a.exe, a blank, a semicolon, a blank, a semicolon, b.exe, a final semicolon. The
    // mapped entry keeps the leading blank; a file's entry is seeded as text, since the profile
    // call drops blanks in front of a value it writes to a file.
    const std::string example = " a.exe ; ;b.exe;";
    SeedEntry(WinIni(), "Load", example);
    WriteBytes(TestIni(), "[Windows]\r\nLoad=" + example + "\r\nRun=r.exe\r\n");
    for (const std::string& file : {WinIni(), TestIni()}) {
        SCOPED_TRACE(file);
        CheckListBox& list = Load(file);
        EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"a.exe", "b.exe"}));
        EXPECT_EQ(MarksOf(list), (std::vector<bool>{true, true}));
        EXPECT_EQ(form->GroupBoxN(3).Title(), file + ", [Windows], Load=");
        EXPECT_TRUE(form->GroupBoxN(3).IsVisible());

        Toggle(list, 1, false);
        EXPECT_EQ(ProfileEntry(file, "Load"), "a.exe");
        Toggle(list, 1, true);
        EXPECT_EQ(ProfileEntry(file, "Load"), "a.exe;b.exe");
        // An unchecked line stays listed and goes back in at its place.
        Toggle(list, 0, false);
        EXPECT_EQ(ProfileEntry(file, "Load"), "b.exe");
        EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"a.exe", "b.exe"}));
        Toggle(list, 0, true);
        EXPECT_EQ(ProfileEntry(file, "Load"), "a.exe;b.exe");
    }
    // Only the toggled key changes.
    EXPECT_EQ(ProfileEntry(WinIni(), "Run"), kSentinel);
    EXPECT_EQ(ReadBytes(TestIni()), "[Windows]\r\nLoad=a.exe;b.exe\r\nRun=r.exe\r\n");
}

TEST_F(IniListTest, UncheckingEveryLineWritesAnEmptyValueAndKeepsTheKey) {
    SeedEntry(TestIni(), "Load", "a.exe;b.exe;c.exe");
    SeedEntry(WinIni(), "Load", "x.exe;y.exe");
    for (const std::string& file : {TestIni(), WinIni()}) {
        CheckListBox& list = Load(file);
        for (int i = 0; i < list.Count(); ++i)
            Toggle(list, i, false);
        EXPECT_EQ(ProfileEntry(file, "Load"), "") << file;
        EXPECT_EQ(MarksOf(list), std::vector<bool>(list.Count(), false));
    }
    EXPECT_EQ(ReadBytes(TestIni()), "[Windows]\r\nLoad=\r\n");
    const RegistryData value = GetValue(HKEY_CURRENT_USER, kMappedKey, "Load");
    EXPECT_TRUE(value.exists);
    EXPECT_EQ(value.bytes, std::string(1, '\0'));

    // The empty entry loads as an empty section.
    EXPECT_EQ(Load(TestIni()).Count(), 0);
}

// Programs of plain ASCII joined as an entry holds them.
std::string Joined(const std::vector<std::string>& programs) {
    std::vector<std::wstring> wide;
    for (const auto& program : programs)
        wide.push_back(WideOfAnsi(program));
    return AnsiOf(JoinProgramList(wide));
}

TEST_F(IniListTest, ValueOfOneHundredThousandCharactersIsReadWholeAndSurvivesToggles) {
    std::vector<std::string> programs;
    std::string value;
    for (int count = 1; value.size() < 100000; ++count) {
        programs = Programs(count * 100);
        value = Joined(programs);
    }
    ASSERT_GE(programs.size(), 3000u);
    for (const std::string& file : {TestIni(), WinIni()}) {
        SCOPED_TRACE(file);
        SeedEntry(file, "Load", value);
        CheckListBox& list = Load(file);
        ASSERT_EQ(LinesOf(list), programs);

        const int last = list.Count() - 1;
        Toggle(list, last, false);
        std::vector<std::string> withoutLast(programs.begin(), programs.end() - 1);
        EXPECT_EQ(ProfileEntry(file, "Load"), Joined(withoutLast));
        Toggle(list, last, true);
        EXPECT_EQ(ProfileEntry(file, "Load"), value);
        Toggle(list, 0, false);
        EXPECT_EQ(ProfileEntry(file, "Load"), Joined(std::vector<std::string>(programs.begin() + 1, programs.end())));

        // Reloaded, every program still there but the first.
        EXPECT_EQ(LinesOf(Load(file)), (std::vector<std::string>{programs.begin() + 1, programs.end()}));
    }
}

TEST_F(IniListTest, ValuesAroundTheProfileCallLimitsSurviveAToggle) {
    // 2,047 characters fill the first buffer exactly; 32,766 is the longest the ANSI call carries.
    for (std::size_t length : {2046u, 2047u, 2048u, 32766u, 32767u, 32768u}) {
        SCOPED_TRACE(length);
        std::string value = "first.exe;" + std::string(length - 19, 'm') + ";last.exe";
        ASSERT_EQ(value.size(), length);
        SeedEntry(TestIni(), "Load", value);
        CheckListBox& list = Load(TestIni());
        ASSERT_EQ(list.Count(), 3);
        EXPECT_EQ(list.Line(2), "last.exe");
        Toggle(list, 0, false);
        EXPECT_EQ(ProfileEntry(TestIni(), "Load"), value.substr(10));
        Toggle(list, 0, true);
        EXPECT_EQ(ProfileEntry(TestIni(), "Load"), value);
    }
}

TEST_F(IniListTest, MissingFileSectionOrKeyGivesAnEmptySection) {
    form->Create();
    // No file at all, a file without the section, a section without the key; mapped, no value.
    const std::string otherSection = folder.File("OTHER.INI");
    WriteBytes(otherSection, "[Other]\r\nLoad=a.exe\r\n");
    SeedEntry(TestIni(), "Run", "r.exe");
    for (const std::string& file :
         {folder.File("NONE.INI"), otherSection, TestIni(), WinIni(), std::string("C:\\DAWNROLL-NONE\\TEST.INI")}) {
        SCOPED_TRACE(file);
        CheckListBox& list = Load(file);
        EXPECT_EQ(list.Count(), 0);
        EXPECT_EQ(form->GroupBoxN(3).Title(), file + ", [Windows], Load=");
        EXPECT_FALSE(form->GroupBoxN(3).IsVisible()) << "hide-empty is on at start";
    }
    form->Showemptystartups1Click();
    CheckListBox& list = Load(TestIni());
    EXPECT_EQ(list.Count(), 0);
    EXPECT_TRUE(form->GroupBoxN(3).IsVisible());
    // Nothing was written by loading.
    EXPECT_FALSE(FileExists(folder.File("NONE.INI")));
    EXPECT_EQ(ReadBytes(otherSection), "[Other]\r\nLoad=a.exe\r\n");
    EXPECT_EQ(ProfileEntry(WinIni(), "Load"), kSentinel);
}

TEST_F(IniListTest, RefusedWriteRaisesUnableToWriteAndSetsTheMarkBack) {
    if (!ImmutableFile::Unavailable().empty())
        GTEST_SKIP() << ImmutableFile::Unavailable();
    // A profile file that the file system refuses to change, whoever asks.
    SeedEntry(TestIni(), "Load", "a.exe;b.exe");
    CheckListBox& list = Load(TestIni());
    const ImmutableFile refusing(TestIni());

    list.SetChecked(0, false);
    try {
        SectionOf(list).WinIniClickCheck();
        ADD_FAILURE() << "the write was not refused";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), ("Unable to write to " + TestIni()).c_str());
    }
    EXPECT_EQ(MarksOf(list), (std::vector<bool>{true, true})) << "the marks show the entry as it is";
    EXPECT_EQ(ProfileEntry(TestIni(), "Load"), "a.exe;b.exe");

    // As the user meets it: the error dialog, and the mark the click set is taken back.
    const DialogSeen seen = RunExpectingErrorDialog([&] { list.ToggleByUser(1); });
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.text, "Unable to write to " + TestIni() + ".");
    EXPECT_EQ(seen.title, ThisProgramTitle());
    EXPECT_EQ(MarksOf(list), (std::vector<bool>{true, true}));
    EXPECT_EQ(ProfileEntry(TestIni(), "Load"), "a.exe;b.exe");
}

// The section writes to the file it read, whatever another program makes its title say.
TEST_F(IniListTest, ATitleChangedByAnotherProgramRedirectsNoWrite) {
    const std::string other = folder.File("OTHER.INI");
    SeedEntry(TestIni(), "Load", "a.exe;b.exe");
    SeedEntry(other, "Load", "x.exe;y.exe");
    CheckListBox& list = Load(TestIni());
    const std::wstring forged = IniListTitle(WideOfAnsi(other), L"Load");
    SendMessageW(form->GroupBoxN(3).Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(forged.c_str()));
    ASSERT_EQ(form->GroupBoxN(3).WideTitle(), forged);

    ExpectNoDialog([&] { list.ToggleByUser(0); });
    EXPECT_EQ(ProfileEntry(TestIni(), "Load"), "b.exe");
    EXPECT_EQ(ProfileEntry(other, "Load"), "x.exe;y.exe");
}

TEST_F(IniListTest, WindowsFolderWithAndWithoutTrailingBackslashGivesTheSameFile) {
    char directory[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryA(directory, sizeof directory);
    ASSERT_GT(length, 0u);
    std::string bare(directory, length);
    while (bare.size() > 3 && bare.back() == '\\')
        bare.pop_back();
    const std::string folderPath = GetWindowsFolder();
    EXPECT_EQ(folderPath, bare + "\\");
    EXPECT_EQ(WithTrailingBackslash(bare), folderPath);
    EXPECT_EQ(WithTrailingBackslash(bare + "\\"), folderPath);

    // A scratch folder named both ways reaches the same real file.
    std::string scratch = folder.Path();
    scratch.pop_back();
    SeedEntry(WithTrailingBackslash(scratch) + "TEST.INI", "Load", "one.exe");
    EXPECT_EQ(ProfileEntry(WithTrailingBackslash(folder.Path()) + "TEST.INI", "Load"), "one.exe");

    // The window on the system's own Windows folder names its WIN.INI with one backslash.
    TFormDawnroll systemForm;
    systemForm.Create();
    EXPECT_EQ(systemForm.GroupBoxN(3).Title(), bare + "\\WIN.INI, [Windows], Load=");
    EXPECT_EQ(systemForm.GroupBoxN(4).Title(), bare + "\\WIN.INI, [Windows], Run=");
}

TEST_F(IniListTest, FolderWithCommaBlankStillNamesTheRightFileAndKey) {
    const std::string odd = folder.File("Tools, [Windows], Old=");
    ASSERT_TRUE(CreateDirectoryA(odd.c_str(), nullptr));
    const std::string file = odd + "\\A, B.INI";
    SeedEntry(file, "Run", "a.exe;b.exe");
    form->Create();
    form->SectionN<IniListSection>(4).PointAt(L"Run", WideOfAnsi(file));
    form->SectionN<IniListSection>(4).LoadIniList();
    CheckListBox& list = form->CheckListBoxN(4);
    EXPECT_EQ(form->GroupBoxN(4).Title(), file + ", [Windows], Run=");
    ASSERT_EQ(LinesOf(list), (std::vector<std::string>{"a.exe", "b.exe"}));
    Toggle(list, 0, false);
    EXPECT_EQ(ProfileEntry(file, "Run"), "b.exe");
    EXPECT_EQ(ProfileEntry(file, "Old"), kSentinel);
    EXPECT_EQ(ReadBytes(file), "[Windows]\r\nRun=b.exe\r\n");
}

// The window on its WIN.INI, driven as the user does.
class IniListWindowTest : public IniListTest {
  protected:
    void ShowWith(const std::string& load, const char* run) {
        SeedEntry(WinIni(), "Load", load);
        if (run)
            SeedEntry(WinIni(), "Run", run);
        form->Create();
        ShowForInput(form->Handle());
    }
};

TEST_F(IniListWindowTest, WithoutRunKeyHideEmptyHidesSectionFourAndShowsSectionThree) {
    ShowWith("a.exe;b.exe", nullptr);
    EXPECT_TRUE(form->GroupBoxN(3).IsVisible());
    EXPECT_TRUE(IsWindowVisible(form->GroupBoxN(3).Handle()));
    EXPECT_FALSE(form->GroupBoxN(4).IsVisible());
    EXPECT_FALSE(IsWindowVisible(form->GroupBoxN(4).Handle()));
    EXPECT_EQ(LinesOf(form->CheckListBoxN(3)), (std::vector<std::string>{"a.exe", "b.exe"}));
    EXPECT_EQ(form->GroupBoxN(4).Title(), WinIni() + ", [Windows], Run=");
    SaveScreenshot("inilist-hide-empty-run");

    // Shown again with the other option, and hidden again by a refresh once it is back on.
    form->Showemptystartups1Click();
    EXPECT_TRUE(IsWindowVisible(form->GroupBoxN(4).Handle()));
    form->Hideemptystartups1Click();
    EXPECT_FALSE(IsWindowVisible(form->GroupBoxN(4).Handle()));
    EXPECT_TRUE(IsWindowVisible(form->GroupBoxN(3).Handle()));

    // An empty Run value is empty too.
    SeedEntry(WinIni(), "Run", " ; ");
    form->RefreshAll();
    EXPECT_FALSE(IsWindowVisible(form->GroupBoxN(4).Handle()));
}

TEST_F(IniListWindowTest, ClickOnALinesCheckBoxRewritesTheEntry) {
    ShowWith(" a.exe ; ;b.exe;", "r1.exe;r2.exe");
    CheckListBox& load = form->CheckListBoxN(3);
    CheckListBox& run = form->CheckListBoxN(4);
    ASSERT_EQ(load.Count(), 2);
    ASSERT_EQ(run.Count(), 2);
    const int middle = kCheckListItemHeight / 2;

    ClickAt(load.Handle(), 7, kCheckListItemHeight + middle);
    EXPECT_EQ(MarksOf(load), (std::vector<bool>{true, false}));
    EXPECT_EQ(ProfileEntry(WinIni(), "Load"), "a.exe");
    SaveScreenshot("inilist-click-unchecked");

    // A click on the text, away from the check box, changes nothing.
    ClickAt(load.Handle(), 60, middle);
    EXPECT_EQ(MarksOf(load), (std::vector<bool>{true, false}));
    EXPECT_EQ(ProfileEntry(WinIni(), "Load"), "a.exe");

    ClickAt(load.Handle(), 7, kCheckListItemHeight + middle);
    EXPECT_EQ(ProfileEntry(WinIni(), "Load"), "a.exe;b.exe");
    ClickAt(run.Handle(), 7, middle);
    EXPECT_EQ(ProfileEntry(WinIni(), "Run"), "r2.exe");
    EXPECT_EQ(ProfileEntry(WinIni(), "Load"), "a.exe;b.exe");

    // A double click writes twice and ends as it was.
    DoubleClickAt(run.Handle(), 7, kCheckListItemHeight + middle);
    EXPECT_EQ(MarksOf(run), (std::vector<bool>{false, true}));
    EXPECT_EQ(ProfileEntry(WinIni(), "Run"), "r2.exe");

    // After a refresh only the programs still in the entries are listed.
    form->RefreshAll();
    EXPECT_EQ(LinesOf(run), (std::vector<std::string>{"r2.exe"}));
    EXPECT_EQ(LinesOf(load), (std::vector<std::string>{"a.exe", "b.exe"}));
}

TEST_F(IniListWindowTest, ProgramAddedByAnotherProgramIsNotLostByAClick) {
    ShowWith("a.exe;b.exe", nullptr);
    CheckListBox& load = form->CheckListBoxN(3);
    ASSERT_EQ(LinesOf(load), (std::vector<std::string>{"a.exe", "b.exe"}));
    const int middle = kCheckListItemHeight / 2;

    // Another program adds c.exe while the window is open; then the user unchecks b.exe.
    SeedEntry(WinIni(), "Load", "a.exe;b.exe;c.exe");
    const DialogLook look = RunLookingAtErrorDialog([&] { ClickAt(load.Handle(), 7, kCheckListItemHeight + middle); });
    ASSERT_TRUE(look.shown);
    EXPECT_EQ(look.text, "The Load= entry of " + WinIni() +
                             " was changed by another program; it has been read again and nothing was written.");
    EXPECT_EQ(look.title, ThisProgramTitle());
    EXPECT_TRUE(look.stopIcon);
    // Nothing is lost; the window lists the entry as it now is.
    EXPECT_EQ(ProfileEntry(WinIni(), "Load"), "a.exe;b.exe;c.exe");
    EXPECT_EQ(LinesOf(load), (std::vector<std::string>{"a.exe", "b.exe", "c.exe"}));
    EXPECT_EQ(MarksOf(load), (std::vector<bool>{true, true, true}));
    SaveScreenshot("inilist-changed-by-another-program");

    // The next click works as usual on the entry as it now is.
    EXPECT_FALSE(
        RunLookingAtErrorDialog([&] { ClickAt(load.Handle(), 7, kCheckListItemHeight + middle); }, 3000).shown);
    EXPECT_EQ(MarksOf(load), (std::vector<bool>{true, false, true}));
    EXPECT_EQ(ProfileEntry(WinIni(), "Load"), "a.exe;c.exe");
    ClickAt(load.Handle(), 7, kCheckListItemHeight + middle);
    EXPECT_EQ(ProfileEntry(WinIni(), "Load"), "a.exe;b.exe;c.exe");
}

TEST_F(IniListTest, EntryChangedByAnotherProgramInAFileIsReadAgainAndNotWritten) {
    WriteBytes(TestIni(), "[Windows]\r\nLoad=\"a.exe\" ; b.exe\r\nRun=r.exe\r\n");
    CheckListBox& list = Load(TestIni());
    ASSERT_EQ(LinesOf(list), (std::vector<std::string>{"\"a.exe\"", "b.exe"}));
    // What the section wrote itself is what the next toggle expects.
    // The profile call reads a value written as "a.exe" back without its quotes: what it gives
    // back is what the section keeps, so this is no change by another program.
    Toggle(list, 1, false);
    EXPECT_EQ(ProfileEntry(TestIni(), "Load"), "a.exe");
    EXPECT_EQ(ReadBytes(TestIni()), "[Windows]\r\nLoad=\"a.exe\"\r\nRun=r.exe\r\n");
    Toggle(list, 1, true);
    EXPECT_EQ(ProfileEntry(TestIni(), "Load"), "\"a.exe\";b.exe");

    // Another program removes b.exe: the user's toggle of a.exe writes nothing.
    WriteBytes(TestIni(), "[Windows]\r\nLoad=\"a.exe\"\r\nRun=r.exe\r\n");
    try {
        Toggle(list, 0, false);
        ADD_FAILURE() << "the change of the other program went unnoticed";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), ("The Load= entry of " + TestIni() +
                                    " was changed by another program; it has been read again and nothing was written")
                                       .c_str());
    }
    EXPECT_EQ(ReadBytes(TestIni()), "[Windows]\r\nLoad=\"a.exe\"\r\nRun=r.exe\r\n");
    EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"a.exe"}));
    EXPECT_EQ(MarksOf(list), (std::vector<bool>{true}));
    Toggle(list, 0, false);
    EXPECT_EQ(ProfileEntry(TestIni(), "Load"), "");
}

// Another program that writes the entry in the moment after the section's own write, made
// inside this process: the profile write writes what it is given, then the other program's value.
struct ProfileWriteRace {
    static inline ImportReplacement* write = nullptr;
    static inline std::wstring other;
    static BOOL WINAPI WriteThenOther(LPCWSTR section, LPCWSTR key, LPCWSTR value, LPCWSTR file) {
        const auto original = write->Original<decltype(&WritePrivateProfileStringW)>();
        const BOOL written = original(section, key, value, file);
        if (!other.empty())
            original(section, key, other.c_str(), file);
        other.clear();
        return written;
    }
};

// The section keeps what it wrote, not what the entry holds a moment later: a change another
// program makes right after the section's write is found when the section reads the entry
// after its change, in a file and in the mapped WIN.INI; the section is read again and told.
TEST_F(IniListTest, AnotherProgramsWriteRightAfterTheSectionsOwnIsNotTakenAsItsOwn) {
    for (const std::string& file : {TestIni(), WinIni()}) {
        SCOPED_TRACE(file);
        SeedEntry(file, "Load", "a.exe;b.exe");
        CheckListBox& list = Load(file);
        ASSERT_EQ(LinesOf(list), (std::vector<std::string>{"a.exe", "b.exe"}));
        {
            ImportReplacement replace("kernel32.dll", "WritePrivateProfileStringW",
                                      reinterpret_cast<void*>(&ProfileWriteRace::WriteThenOther));
            ProfileWriteRace::write = &replace;
            ProfileWriteRace::other = L"a.exe;b.exe;installer.exe";
            try {
                Toggle(list, 1, false);
                ADD_FAILURE() << "the other program's change was taken as the section's own";
            } catch (const AppError& error) {
                EXPECT_NE(std::string(error.what()).find("was changed by another program; it has been read again"),
                          std::string::npos)
                    << error.what();
            }
        }
        EXPECT_EQ(ProfileEntry(file, "Load"), "a.exe;b.exe;installer.exe");
        EXPECT_EQ(LinesOf(list), (std::vector<std::string>{"a.exe", "b.exe", "installer.exe"}));
        EXPECT_TRUE(list.Checked(1));
        // Read again, the next toggle is the section's own.
        Toggle(list, 0, false);
        EXPECT_EQ(ProfileEntry(file, "Load"), "b.exe;installer.exe");
    }
}

// WIN.INI's [Windows] section lives in the registry, which gives a value back exactly, quotes
// and all: a program in quotes left alone in the entry is no change by another program.
TEST_F(IniListTest, AQuotedProgramLeftAloneInTheMappedWinIniReadsBackAsWritten) {
    SeedEntry(WinIni(), "Load", "\"C:\\Program Files\\x.exe\";b.exe");
    CheckListBox& list = Load(WinIni());
    ASSERT_EQ(LinesOf(list), (std::vector<std::string>{"\"C:\\Program Files\\x.exe\"", "b.exe"}));
    Toggle(list, 1, false);
    EXPECT_EQ(ProfileEntry(WinIni(), "Load"), "\"C:\\Program Files\\x.exe\"");
    Toggle(list, 1, true);
    EXPECT_EQ(ProfileEntry(WinIni(), "Load"), "\"C:\\Program Files\\x.exe\";b.exe");
}
} // namespace
