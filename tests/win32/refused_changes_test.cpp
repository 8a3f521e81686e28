// Changes the sources refuse, made through the real window with real input: a click on a check
// box or the space bar. A change that is not made is told in the error dialog, naming the entry
// and the reason in words, and the row's mark is set back to show the source as it is, so that
// no failed change waits in the window to be tried again; a change that is made stays silent.
// Every test looks at the source afterwards, at the marks the window shows and at the dialog.
#include "FormDriving.h"
#include "HeldFile.h"
#include "ImmutableFile.h"
#include "TestSupport.h"

#include "sources/WideText.h"
#include "sources/Win32Handles.h"
#include "ui/Dawnroll.h"
#include "ui/GdiObjects.h"
#include "ui/SectionLayout.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <thread>
#include <vector>

namespace {
using namespace std::string_literals;

const auto* const iniMapping = testing::AddGlobalTestEnvironment(new IniMapping);

constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kUserRunTitle =
    "My Computer\\HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// One error dialog as it showed.
struct Dialog {
    std::string title;
    std::wstring text;
};

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

struct DialogSearch {
    std::set<HWND> known;
    HWND found = nullptr;
};

BOOL CALLBACK FindNewDialog(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<DialogSearch*>(data);
    if (ClassOf(window) == "#32770" && IsWindowVisible(window) && !search->known.count(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// Runs an action on this thread and answers every error dialog it brought, in order; each is read
// and closed with OK. The messages the action posted are handled before it returns, so that a
// dialog coming from one of them is counted too. `screenshot` names a picture taken of the first
// dialog while it shows.
std::vector<Dialog> DialogsDuring(const std::function<void()>& action, const std::string& screenshot = "") {
    std::vector<Dialog> dialogs;
    std::atomic<bool> done{false};
    const DWORD thread = GetCurrentThreadId();
    std::thread watcher([&] {
        DialogSearch search;
        while (!done) {
            search.found = nullptr;
            EnumThreadWindows(thread, &FindNewDialog, reinterpret_cast<LPARAM>(&search));
            if (!search.found) {
                Sleep(20);
                continue;
            }
            const HWND dialog = search.found;
            search.known.insert(dialog);
            // Shown once its controls are made; read once it has painted them.
            WaitUntilPainted(dialog);
            char title[256] = {};
            GetWindowTextA(dialog, title, sizeof title);
            wchar_t text[4096] = {};
            GetDlgItemTextW(dialog, 0xFFFF, text, 4096);
            dialogs.push_back({title, text});
            if (dialogs.size() == 1 && !screenshot.empty())
                SaveScreenshot(screenshot);
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        }
    });
    action();
    // Everything the action posted is handled (a dialog it brings is answered meanwhile).
    if (HWND window = VisibleThreadWindow(thread, TFormDawnroll::kClassName))
        WaitForInputHandled(window);
    done = true;
    watcher.join();
    return dialogs;
}

// The one dialog an action must bring: its text in UTF-8 ("" when none or more than one came,
// which fails the test).
std::string OneDialog(const std::function<void()>& action, const std::string& screenshot = "") {
    const auto dialogs = DialogsDuring(action, screenshot);
    EXPECT_EQ(dialogs.size(), 1u) << "error dialogs seen: " << dialogs.size();
    if (dialogs.size() != 1)
        return "";
    EXPECT_EQ(dialogs[0].title, ThisProgramTitle());
    return Utf8Of(dialogs[0].text);
}

// An action that must bring no dialog at all.
void NoDialog(const std::function<void()>& action) {
    for (const Dialog& dialog : DialogsDuring(action))
        ADD_FAILURE() << "unexpected error dialog: " << Utf8Of(dialog.text);
}

// Waits longer than the double-click time, so that the next click on the same place is a click
// of its own.
void PauseBetweenClicks() {
    WaitPastDoubleClickTime();
}

// The list box's own copy of a line, as it shows it.
std::wstring ListBoxText(HWND list, int index) {
    const auto length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length < 0)
        return L"<none>";
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

// Files by their exact names (through the \\?\ form): "app.bat." is not "app.bat".
std::wstring Exact(const std::wstring& path) {
    return L"\\\\?\\" + path;
}
void MakeExactFile(const std::wstring& path, const std::string& bytes, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    const UniqueFile file(CreateFileW(Exact(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, attributes, nullptr));
    ASSERT_TRUE(file) << Utf8Of(path) << ": " << GetLastError();
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}
DWORD ExactAttributes(const std::wstring& path) {
    return GetFileAttributesW(Exact(path).c_str());
}
std::string ExactBytes(const std::wstring& path) {
    const UniqueFile file(CreateFileW(Exact(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return "<cannot open>";
    std::string bytes(4096, '\0');
    DWORD read = 0;
    ReadFile(file.Get(), &bytes[0], static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}
void RemoveExact(const std::wstring& path) {
    SetFileAttributesW(Exact(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(Exact(path).c_str());
}

class RefusedChangeTest : public FormTest {
  protected:
    // Boot files and WIN.INI lists: sections 1 to 4.
    CheckListBox& Lines(int section) { return form->CheckListBoxN(section); }
    // A real click on a line's check box.
    void ClickLineBox(int section, int index) {
        const POINT box = PointOnLine(Lines(section), index, ScaledPixels(7, SystemDpi()));
        ClickAt(Lines(section).Handle(), box.x, box.y);
    }

    // Startup folders and run keys: sections 5 to 11.
    EntryListView& Rows(int section) { return form->ListViewN(section - 4); }
    int RowNamed(int section, const std::string& fullname) {
        for (int row = 0; row < Rows(section).Count(); ++row) {
            if (Rows(section).Fullname(row) == fullname)
                return row;
        }
        return -1;
    }
    int RowCaptioned(int section, const std::string& caption) {
        for (int row = 0; row < Rows(section).Count(); ++row) {
            if (Rows(section).Caption(row) == caption)
                return row;
        }
        return -1;
    }
    // A real click on the part of a row where the list reports `hit` (its check box, its label).
    void ClickRow(int section, int row, UINT hit) {
        const HWND list = Rows(section).Handle();
        SendMessageW(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
        const POINT point = RowPoint(list, row, hit);
        ASSERT_GE(point.x, 0) << "no such part found on row " << row;
        ClickAt(list, point.x, point.y);
    }
    bool Selected(int section, int row) {
        return ListView_GetItemState(Rows(section).Handle(), row, LVIS_SELECTED) != 0;
    }
};

// 1. The host refuses every change of CONFIG.SYS.
TEST_F(RefusedChangeTest, AnImmutableBootFileIsToldNamingTheLineAndItsMarksAreSetBack) {
    const std::string why = ImmutableFile::Unavailable();
    if (!why.empty())
        GTEST_SKIP() << why;
    const std::string original = "DEVICE=a.sys\r\nFILES=30\r\nrem BUFFERS=20\r\n";
    WriteBytes(ConfigSys(), original);
    CreateAndShow();
    ASSERT_EQ(Lines(1).Count(), 3);
    {
        ImmutableFile immutable(ConfigSys());
        const std::string unchecked = OneDialog([&] { ClickLineBox(1, 0); }, "refused-immutable-config-sys");
        EXPECT_EQ(unchecked, "\"DEVICE=a.sys\" in " + ConfigSys() + " was not switched off: access is denied.");
        EXPECT_EQ(ReadBytes(ConfigSys()), original);
        EXPECT_TRUE(Lines(1).Checked(0)) << "the line is still on: its mark must say so";
        EXPECT_TRUE(Lines(1).Checked(1));
        EXPECT_FALSE(Lines(1).Checked(2));
        EXPECT_EQ(Lines(1).Line(0), "DEVICE=a.sys");

        // Checking a line that is off: the other way round.
        PauseBetweenClicks();
        const std::string checked = OneDialog([&] { ClickLineBox(1, 2); });
        EXPECT_EQ(checked, "\"rem BUFFERS=20\" in " + ConfigSys() + " was not switched on: access is denied.");
        EXPECT_EQ(ReadBytes(ConfigSys()), original);
        EXPECT_FALSE(Lines(1).Checked(2));
        EXPECT_TRUE(Lines(1).Checked(0));
        SaveScreenshot("refused-immutable-config-sys-after");
    }
    // Once the file may change, the next click makes only its own change: nothing refused earlier
    // is written with it.
    PauseBetweenClicks();
    NoDialog([&] { ClickLineBox(1, 1); });
    EXPECT_EQ(ReadBytes(ConfigSys()), "DEVICE=a.sys\r\nREM FILES=30\r\nrem BUFFERS=20\r\n");
    EXPECT_TRUE(Lines(1).Checked(0));
    EXPECT_FALSE(Lines(1).Checked(1));
    EXPECT_FALSE(Lines(1).Checked(2));
}

// 2. Another program holds the boot file open without sharing it; the line is changed with the
// space bar.
TEST_F(RefusedChangeTest, ABootFileHeldByAnotherProgramIsToldAsInUseAndItsMarkIsSetBack) {
    const std::string original = "DEVICE=a.sys\r\nFILES=30\r\n";
    WriteBytes(ConfigSys(), original);
    ASSERT_TRUE(SetFileAttributesA(ConfigSys().c_str(), FILE_ATTRIBUTE_HIDDEN));
    const DWORD attributes = GetFileAttributesA(ConfigSys().c_str());
    CreateAndShow();
    ASSERT_EQ(Lines(1).Count(), 2);
    const HWND list = Lines(1).Handle();
    // A click on the first line's text selects it and changes no mark.
    const POINT text = PointOnLine(Lines(1), 0, ScaledPixels(40, SystemDpi()));
    NoDialog([&] { ClickAt(list, text.x, text.y); });
    ASSERT_EQ(SendMessageW(list, LB_GETCARETINDEX, 0, 0), 0);
    ASSERT_TRUE(Lines(1).Checked(0));
    ASSERT_EQ(ReadBytes(ConfigSys()), original);
    {
        HeldFile held(ConfigSys());
        const std::string told = OneDialog([&] { PressKey(list, VK_SPACE); });
        EXPECT_EQ(told,
                  "\"DEVICE=a.sys\" in " + ConfigSys() + " was not switched off: it is in use by another program.");
        EXPECT_TRUE(Lines(1).Checked(0));
        EXPECT_TRUE(Lines(1).Checked(1));
        EXPECT_EQ(held.Release(), 0u);
    }
    EXPECT_EQ(ReadBytes(ConfigSys()), original);
    EXPECT_EQ(GetFileAttributesA(ConfigSys().c_str()), attributes);

    // Let go, the same key press switches the line off, silently.
    NoDialog([&] { PressKey(list, VK_SPACE); });
    EXPECT_EQ(ReadBytes(ConfigSys()), "REM DEVICE=a.sys\r\nFILES=30\r\n");
    EXPECT_FALSE(Lines(1).Checked(0));
    EXPECT_EQ(GetFileAttributesA(ConfigSys().c_str()), attributes);
    SetFileAttributesA(ConfigSys().c_str(), FILE_ATTRIBUTE_NORMAL);
}

// 3. A Startup file held open without sharing its deletion.
TEST_F(RefusedChangeTest, AStartupFileThatIsNotDeletedStaysCheckedAndListedAndIsNotTriedAgain) {
    PointStartupFolders();
    const std::string held = UserStartup() + "\\Held tool.bat";
    const std::string other = UserStartup() + "\\other.txt";
    WriteBytes(held, "@echo held\r\n");
    WriteBytes(other, "x");
    ASSERT_TRUE(SetFileAttributesA(held.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    const DWORD attributes = GetFileAttributesA(held.c_str());
    CreateAndShow();
    ASSERT_EQ(Rows(5).Count(), 2);
    const int row = RowNamed(5, held);
    ASSERT_GE(row, 0);
    {
        HeldFile holder(held);
        const std::string told = OneDialog([&] { ClickRow(5, row, LVHT_ONITEMSTATEICON); }, "refused-startup-file");
        EXPECT_EQ(told, "The file " + held + " was not deleted: it is in use by another program.");
        EXPECT_TRUE(FileExists(held));
        EXPECT_EQ(GetFileAttributesA(held.c_str()), attributes) << "a file not deleted keeps its attributes";
        ASSERT_EQ(Rows(5).Count(), 2);
        EXPECT_EQ(RowNamed(5, held), row) << "the row is still listed";
        EXPECT_TRUE(Rows(5).Checked(row)) << "the file will start: its row shows it checked";
        EXPECT_TRUE(Rows(5).Checked(RowNamed(5, other)));

        // A later selection of the row (a click on its label) does not try again.
        PauseBetweenClicks();
        NoDialog([&] { ClickRow(5, row, LVHT_ONITEMLABEL); });
        EXPECT_TRUE(Selected(5, row));
        EXPECT_TRUE(FileExists(held));
        EXPECT_TRUE(Rows(5).Checked(row));
        EXPECT_EQ(Rows(5).Count(), 2);
        SaveScreenshot("refused-startup-file-after");

        // The space bar on the selected row: told the same way, and set back the same way.
        const std::string byKey = OneDialog([&] { PressKey(Rows(5).Handle(), VK_SPACE); });
        EXPECT_EQ(byKey, "The file " + held + " was not deleted: it is in use by another program.");
        EXPECT_TRUE(FileExists(held));
        EXPECT_TRUE(Rows(5).Checked(row));
        EXPECT_EQ(Rows(5).Count(), 2);
        EXPECT_EQ(holder.Release(), 0u);
    }
    // Let go, the file is still not deleted behind the user's back: selecting other rows and the
    // row again changes nothing.
    PauseBetweenClicks();
    NoDialog([&] { ClickRow(5, RowNamed(5, other), LVHT_ONITEMLABEL); });
    PauseBetweenClicks();
    NoDialog([&] { ClickRow(5, row, LVHT_ONITEMLABEL); });
    EXPECT_TRUE(FileExists(held));
    EXPECT_EQ(GetFileAttributesA(held.c_str()), attributes);
    EXPECT_EQ(Rows(5).Count(), 2);

    // The user's own change of the mark now deletes it, silently, and its row goes: the space
    // bar on the selected row.
    ASSERT_TRUE(Selected(5, row));
    NoDialog([&] { PressKey(Rows(5).Handle(), VK_SPACE); });
    EXPECT_TRUE(WaitUntil([&] { return RowNamed(5, held) < 0; }, 3000));
    EXPECT_FALSE(FileExists(held));
    EXPECT_TRUE(FileExists(other));
    ASSERT_EQ(Rows(5).Count(), 1);
    EXPECT_TRUE(Rows(5).Checked(0));
}

// 4. Names the ordinary path would change: each row deletes exactly its own file.
TEST_F(RefusedChangeTest, AStartupRowDeletesExactlyItsOwnFileBesideOneWithANearName) {
    PointStartupFolders();
    const std::wstring folder = WideOfAnsi(UserStartup()) + L"\\";
    const std::wstring plain = folder + L"app.bat";
    const std::wstring dotted = folder + L"app.bat.";
    const std::wstring device = folder + L"nul";
    const std::wstring deviceLink = folder + L"CON.lnk";
    // Names the scratch folder's own removal cannot reach are removed by their exact names, also
    // when the test fails.
    struct RemovedAtEnd {
        std::vector<std::wstring> paths;
        ~RemovedAtEnd() {
            for (const auto& path : paths)
                RemoveExact(path);
        }
    } removed{{plain, dotted, device, deviceLink}};
    MakeExactFile(plain, "plain", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    MakeExactFile(dotted, "dotted");
    MakeExactFile(device, "device", FILE_ATTRIBUTE_READONLY);
    MakeExactFile(deviceLink, "link");
    const DWORD plainAttributes = ExactAttributes(plain);
    ASSERT_EQ(plainAttributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    CreateAndShow();
    ASSERT_EQ(Rows(5).Count(), 4);
    for (const auto& path : {plain, dotted, device, deviceLink})
        ASSERT_GE(RowNamed(5, AnsiOf(path)), 0) << Utf8Of(path) << " is not listed";

    for (const auto& path : {dotted, device, deviceLink}) {
        SCOPED_TRACE(Utf8Of(path));
        const int row = RowNamed(5, AnsiOf(path));
        ASSERT_GE(row, 0);
        const int before = Rows(5).Count();
        PauseBetweenClicks();
        NoDialog([&] { ClickRow(5, row, LVHT_ONITEMSTATEICON); });
        EXPECT_TRUE(WaitUntil([&] { return RowNamed(5, AnsiOf(path)) < 0; }, 3000)) << "the row stays";
        EXPECT_EQ(Rows(5).Count(), before - 1);
        EXPECT_EQ(ExactAttributes(path), INVALID_FILE_ATTRIBUTES) << "the file is still there";
        // The file with the near name is untouched, with its attributes, and still listed checked.
        EXPECT_EQ(ExactBytes(plain), "plain");
        EXPECT_EQ(ExactAttributes(plain), plainAttributes);
        const int plainRow = RowNamed(5, AnsiOf(plain));
        ASSERT_GE(plainRow, 0);
        EXPECT_TRUE(Rows(5).Checked(plainRow));
    }
}

// 5. The run key goes between the user's two clicks.
TEST_F(RefusedChangeTest, ARunKeyDeletedByAnotherProgramIsNotCreatedAgainAndTheRowShowsOff) {
    SetStringValue(HKEY_CURRENT_USER, kRun, "Foo", "C:\\foo.exe /tray");
    SetStringValue(HKEY_CURRENT_USER, kRun, "Bar", "C:\\bar.exe");
    CreateAndShow();
    ASSERT_EQ(Rows(7).Count(), 2);
    const int row = RowCaptioned(7, "Foo");
    ASSERT_GE(row, 0);
    NoDialog([&] { ClickRow(7, row, LVHT_ONITEMSTATEICON); });
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, kRun, "Foo").exists);
    EXPECT_FALSE(Rows(7).Checked(row));

    DeleteKeyTree(HKEY_CURRENT_USER, kRun);
    PauseBetweenClicks();
    const std::string told = OneDialog([&] { ClickRow(7, row, LVHT_ONITEMSTATEICON); }, "refused-run-key-gone");
    EXPECT_EQ(told, "The value \"Foo\" of "s + kUserRunTitle + " was not written back: the key no longer exists.");
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRun, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND)
        << "the key was made again";
    if (key)
        RegCloseKey(key);
    EXPECT_FALSE(Rows(7).Checked(row)) << "the value is not there: the row shows it off";
    EXPECT_EQ(Rows(7).Fullname(row), "C:\\foo.exe /tray");
    EXPECT_TRUE(Rows(7).Checked(RowCaptioned(7, "Bar")));

    // A selection of the row afterwards asks nothing and tells nothing.
    PauseBetweenClicks();
    NoDialog([&] { ClickRow(7, row, LVHT_ONITEMLABEL); });
    EXPECT_FALSE(Rows(7).Checked(row));
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, kRun, 0, KEY_READ, &key), ERROR_FILE_NOT_FOUND);
    if (key)
        RegCloseKey(key);
}

// 6. Another program writes the value again between the user's two clicks.
TEST_F(RefusedChangeTest, AValueWrittenAgainByAnotherProgramIsKeptAndShownWithoutADialog) {
    SetStringValue(HKEY_CURRENT_USER, kRun, "Foo", "old.exe");
    CreateAndShow();
    const int row = RowCaptioned(7, "Foo");
    ASSERT_GE(row, 0);
    EXPECT_EQ(Rows(7).Fullname(row), "old.exe");
    NoDialog([&] { ClickRow(7, row, LVHT_ONITEMSTATEICON); });
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, kRun, "Foo").exists);

    SetStringValue(HKEY_CURRENT_USER, kRun, "Foo", "new.exe --updated", REG_EXPAND_SZ);
    PauseBetweenClicks();
    NoDialog([&] { ClickRow(7, row, LVHT_ONITEMSTATEICON); });
    const RegistryData value = GetValue(HKEY_CURRENT_USER, kRun, "Foo");
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(value.bytes, "new.exe --updated"s + '\0');
    EXPECT_TRUE(Rows(7).Checked(row));
    EXPECT_EQ(Rows(7).Fullname(row), "new.exe --updated");

    // The row now stands for the other program's value: switching it off and on again with the
    // space bar brings that value back, not the one first loaded.
    PauseBetweenClicks();
    NoDialog([&] { ClickRow(7, row, LVHT_ONITEMLABEL); });
    ASSERT_TRUE(Selected(7, row));
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kRun, "Foo").bytes, "new.exe --updated"s + '\0') << "a selection wrote";
    NoDialog([&] { PressKey(Rows(7).Handle(), VK_SPACE); });
    EXPECT_FALSE(Rows(7).Checked(row));
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, kRun, "Foo").exists);
    NoDialog([&] { PressKey(Rows(7).Handle(), VK_SPACE); });
    EXPECT_TRUE(Rows(7).Checked(row));
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kRun, "Foo").bytes, "new.exe --updated"s + '\0');
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kRun, "Foo").type, static_cast<DWORD>(REG_EXPAND_SZ));
}

// 7. One section's value cannot be read: the others all load, and one dialog tells it.
TEST_F(RefusedChangeTest, ANumberValueInTheUsersRunIsToldOnceAndEverySectionLoadsItsEntries) {
    FillEverySection(*this);
    SetDwordValue(HKEY_CURRENT_USER, kRun, "Number", 7);
    const auto names = ValueNames(HKEY_CURRENT_USER, kRun);
    const auto number = std::find(names.begin(), names.end(), "Number");
    ASSERT_NE(number, names.end());
    const int before = static_cast<int>(number - names.begin());

    const auto dialogs = DialogsDuring([&] { Create(); });
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(Utf8Of(dialogs[0].text), "Invalid data type for 'Number'");
    EXPECT_EQ(dialogs[0].title, ThisProgramTitle());
    ASSERT_NE(Window(), nullptr);
    ShowForInput(Window());

    // Sections 1 to 4 (boot files, WIN.INI), 5 and 6 (Startup folders) before it, 8 to 11 (run
    // keys) after it: every one lists its entries.
    const int counts[] = {6, 6, 3, 3, 6, 6, 0, 5, 5, 5, 5};
    for (int section = 1; section <= 11; ++section) {
        if (section == 7)
            continue;
        SCOPED_TRACE("section " + std::to_string(section));
        EXPECT_TRUE(form->GroupBoxN(section).IsVisible());
        const int count = section <= 4 ? Lines(section).Count() : Rows(section).Count();
        EXPECT_EQ(count, counts[section - 1]);
    }
    EXPECT_EQ(Lines(1).Line(0), "DEVICE=C:\\DRIVERS\\DRIVER1.SYS");
    EXPECT_EQ(Rows(11).Caption(4), "RunServices5");
    EXPECT_EQ(Rows(6).Count(), 6);
    // The failing section keeps the rows read before the number value, and shows itself.
    EXPECT_TRUE(form->GroupBoxN(7).IsVisible());
    ASSERT_EQ(Rows(7).Count(), before);
    for (int row = 0; row < before; ++row)
        EXPECT_EQ(Rows(7).Caption(row), names[static_cast<std::size_t>(row)]);
    EXPECT_EQ(VisibleSections(*form), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));

    // Two sections fail at a refresh chosen from the menu: both are told in one dialog, in the
    // sections' order, and every other section is read again.
    SetDwordValue(HKEY_CURRENT_USER, kShellFoldersKey, "Startup", 1);
    WriteBytes(CommonStartup() + "\\shared file 7.txt", "x");
    SetStringValue(HKEY_LOCAL_MACHINE, std::string(kRunKeyBase) + "RunServices", "RunServices6", "C:\\six.exe");
    const auto refreshed = DialogsDuring([&] { ChooseMenuItemWithMouse(Window(), 0, 0); });
    ASSERT_EQ(refreshed.size(), 1u);
    EXPECT_EQ(Utf8Of(refreshed[0].text), "Invalid data type for 'Startup'\nInvalid data type for 'Number'");
    EXPECT_EQ(Rows(6).Count(), 7);
    EXPECT_EQ(Rows(11).Count(), 6);
    for (int section = 1; section <= 4; ++section)
        EXPECT_EQ(Lines(section).Count(), counts[section - 1]) << section;
    for (int section = 8; section <= 10; ++section)
        EXPECT_EQ(Rows(section).Count(), 5) << section;
}

// 8. A boot file saved as UTF-16 text: shown exactly, never rewritten.
TEST_F(RefusedChangeTest, AUtf16BootFileIsShownExactlyAndItsLinesAreNotRewritten) {
    const std::vector<std::wstring> lines = {L"@ECHO OFF", L"SET NAME=\u041F\u0451\u0442\u0440",
                                             L"rem \u65E5\u672C\u8A9E tool", L"PATH C:\\DOS;C:\\\u00C9T\u00C9"};
    std::string bytes = "\xFF\xFE";
    for (const auto& line : lines) {
        for (const wchar_t c : line + L"\r\n") {
            bytes += static_cast<char>(c & 0xFF);
            bytes += static_cast<char>((c >> 8) & 0xFF);
        }
    }
    WriteBytes(AutoexecBat(), bytes);
    // CONFIG.SYS big-endian, with a character beyond the first 65536 (a pair of UTF-16 units).
    const std::vector<std::wstring> configLines = {L"DEVICE=C:\\\u00DCBER.SYS", L"rem \U0001F600 smile"};
    std::string configBytes = "\xFE\xFF";
    for (const auto& line : configLines) {
        for (const wchar_t c : line + L"\r\n") {
            configBytes += static_cast<char>((c >> 8) & 0xFF);
            configBytes += static_cast<char>(c & 0xFF);
        }
    }
    WriteBytes(ConfigSys(), configBytes);
    CreateAndShow();
    ASSERT_EQ(Lines(1).Count(), 2);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(Lines(1).WideLine(i), configLines[static_cast<std::size_t>(i)]) << i;
        EXPECT_EQ(ListBoxText(Lines(1).Handle(), i), configLines[static_cast<std::size_t>(i)]) << i;
    }
    EXPECT_TRUE(Lines(1).Checked(0));
    EXPECT_FALSE(Lines(1).Checked(1));
    ASSERT_EQ(Lines(2).Count(), 4);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Lines(2).WideLine(i), lines[static_cast<std::size_t>(i)]);
        EXPECT_EQ(ListBoxText(Lines(2).Handle(), i), lines[static_cast<std::size_t>(i)]);
        EXPECT_EQ(Lines(2).Checked(i), i != 2);
    }

    const std::wstring reason = L": it is saved as Unicode (UTF-16) text, which Dawnroll does not rewrite.";
    auto dialogs = DialogsDuring([&] { ClickLineBox(2, 1); }, "refused-utf16-autoexec");
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].text, L"\"SET NAME=\u041F\u0451\u0442\u0440\" in " + WideOfAnsi(AutoexecBat()) +
                                   L" was not switched off" + reason);
    EXPECT_EQ(ReadBytes(AutoexecBat()), bytes);
    EXPECT_TRUE(Lines(2).Checked(1));

    PauseBetweenClicks();
    dialogs = DialogsDuring([&] { ClickLineBox(2, 2); });
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].text,
              L"\"rem \u65E5\u672C\u8A9E tool\" in " + WideOfAnsi(AutoexecBat()) + L" was not switched on" + reason);
    EXPECT_EQ(ReadBytes(AutoexecBat()), bytes);
    EXPECT_FALSE(Lines(2).Checked(2));
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(Lines(2).Checked(i), i != 2) << i;
        EXPECT_EQ(ListBoxText(Lines(2).Handle(), i), lines[static_cast<std::size_t>(i)]) << i;
    }

    // The space bar on the big-endian file's second line: told the same way, nothing written.
    const POINT text = PointOnLine(Lines(1), 1, ScaledPixels(40, SystemDpi()));
    NoDialog([&] { ClickAt(Lines(1).Handle(), text.x, text.y); });
    dialogs = DialogsDuring([&] { PressKey(Lines(1).Handle(), VK_SPACE); });
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].text,
              L"\"rem \U0001F600 smile\" in " + WideOfAnsi(ConfigSys()) + L" was not switched on" + reason);
    EXPECT_EQ(ReadBytes(ConfigSys()), configBytes);
    EXPECT_FALSE(Lines(1).Checked(1));
    EXPECT_TRUE(Lines(1).Checked(0));
    EXPECT_EQ(ReadBytes(AutoexecBat()), bytes);
}

// 8b. Boot files that hold NUL bytes: UTF-16 saved without its mark, and a binary file put in
// CONFIG.SYS's place, with a lone carriage return. Their lines are shown; a click is told and
// writes nothing.
TEST_F(RefusedChangeTest, ABootFileHoldingNulBytesIsShownAndNeverRewritten) {
    std::string unmarked;
    for (const wchar_t c : std::wstring(L"@ECHO OFF\r\nrem SET X=\u00C9\r\n")) {
        unmarked += static_cast<char>(c & 0xFF);
        unmarked += static_cast<char>((c >> 8) & 0xFF);
    }
    WriteBytes(AutoexecBat(), unmarked);
    const std::string binary = "MZ\x01\0\x03\rrem \0\0x\r\nDEVICE=a.sys\r\n"s;
    WriteBytes(ConfigSys(), binary);
    CreateAndShow();
    const struct {
        int section;
        std::string path, bytes;
        std::vector<std::wstring> lines;
        int click; // a line that is on
        std::wstring reason;
    } files[] = {{2,
                  AutoexecBat(),
                  unmarked,
                  {L"@ECHO OFF", L"rem SET X=\u00C9"},
                  0,
                  L"it is saved as Unicode (UTF-16) text, which Dawnroll does not rewrite"},
                 {1,
                  ConfigSys(),
                  binary,
                  {L"MZ\u0001\u2400\u0003", L"rem \u2400\u2400x", L"DEVICE=a.sys"},
                  2,
                  L"it holds NUL bytes, so it is no text Dawnroll rewrites"}};
    for (const auto& file : files) {
        SCOPED_TRACE(file.path);
        ASSERT_EQ(Lines(file.section).Count(), static_cast<int>(file.lines.size()));
        for (int i = 0; i < Lines(file.section).Count(); ++i) {
            EXPECT_EQ(ListBoxText(Lines(file.section).Handle(), i), file.lines[static_cast<std::size_t>(i)]) << i;
            EXPECT_EQ(Lines(file.section).Checked(i), i != 1) << i;
        }
        PauseBetweenClicks();
        const auto dialogs = DialogsDuring([&] { ClickLineBox(file.section, file.click); });
        ASSERT_EQ(dialogs.size(), 1u);
        EXPECT_EQ(dialogs[0].text, L"\"" + file.lines[static_cast<std::size_t>(file.click)] + L"\" in " +
                                       WideOfAnsi(file.path) + L" was not switched off: " + file.reason + L".");
        EXPECT_EQ(ReadBytes(file.path), file.bytes);
        EXPECT_TRUE(Lines(file.section).Checked(file.click));
    }
}

// 9. Rows in sight at every width: the window at a set resolution runs in a process of its own,
// as the system reads its resolution when a program starts.
constexpr const char* kChildDpi = "DAWNROLL_REFUSED_CHANGES_DPI";

int ChildDpi() {
    char text[16] = {};
    return GetEnvironmentVariableA(kChildDpi, text, sizeof text) ? std::atoi(text) : 0;
}

// A program aware of the system's resolution gets it unscaled; the process at a set resolution
// says so before any window exists.
const bool awareOfResolution = [] {
    if (ChildDpi() != 0)
        SetProcessDPIAware();
    return true;
}();

class RowsInSightChild : public RefusedChangeTest {
  protected:
    // Every row of section 5's list lies whole in the list's client area: below its header,
    // above its horizontal scroll bar, which the client area leaves out.
    void ExpectRowsInSight(const std::string& when) {
        SCOPED_TRACE(when + " at " + std::to_string(ChildDpi()) + " dots per inch");
        PumpMessages();
        const HWND list = Rows(5).Handle();
        RECT client = {};
        GetClientRect(list, &client);
        RECT header = {};
        GetWindowRect(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), &header);
        EXPECT_FALSE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL) << "the list scrolls by itself";
        ASSERT_EQ(Rows(5).Count(), 2);
        for (int row = 0; row < 2; ++row) {
            RECT bounds = {};
            bounds.left = LVIR_BOUNDS;
            ASSERT_TRUE(
                SendMessageW(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&bounds)));
            EXPECT_GE(bounds.top, header.bottom - header.top) << "row " << row << " is under the header";
            EXPECT_LE(bounds.bottom, client.bottom) << "row " << row << " is cut by the scroll bar or the frame";
        }
        EXPECT_GE(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0), 2);
        const RECT place = RectInParent(list);
        RECT box = {};
        GetClientRect(form->GroupBoxN(5).Handle(), &box);
        EXPECT_LE(place.bottom, box.bottom);
        EXPECT_EQ(box.bottom, form->GroupBoxN(5).Height());
    }
    bool HorizontalScrollBar() { return (GetWindowLongW(Rows(5).Handle(), GWL_STYLE) & WS_HSCROLL) != 0; }
    void ResizeWindow(int width, int height) {
        SetWindowPos(Window(), nullptr, 0, 0, width, height, SWP_NOZORDER | SWP_NOMOVE);
        PumpMessages();
    }
};

// Runs only in the process the test below starts at a set resolution.
TEST_F(RowsInSightChild, DISABLED_TwoLongPathsStayAboveTheScrollBarAtEveryWidth) {
    const int dpi = ChildDpi();
    ASSERT_NE(dpi, 0) << "runs in the process started at a set resolution";
    {
        const HDC screen = GetDC(nullptr);
        ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), dpi) << "the system did not take the set resolution";
        ReleaseDC(nullptr, screen);
    }
    PointStartupFolders();
    const std::string stem = "Long name of a program started with the session ";
    WriteBytes(UserStartup() + "\\" + stem + "one.bat", "@echo one\r\n");
    WriteBytes(UserStartup() + "\\" + stem + "two.bat", "@echo two\r\n");
    Create();

    // Loaded while the window is wide enough for both columns: no scroll bar, and the section
    // as tall as its rows need without one.
    RECT work = {};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(Window(), nullptr, work.left, work.top, work.right - work.left, (work.bottom - work.top) / 2,
                 SWP_NOZORDER);
    ShowForInput(Window());
    NoDialog([&] { ChooseMenuItemWithMouse(Window(), 0, 0); }); // Display, Hide empty startups
    ASSERT_EQ(VisibleSections(*form), std::vector<int>{5});
    ASSERT_EQ(Rows(5).Count(), 2);
    const int columns = Rows(5).ColumnWidth(0) + Rows(5).ColumnWidth(1);
    RECT listClient = {};
    GetClientRect(Rows(5).Handle(), &listClient);
    ASSERT_LT(columns, listClient.right) << "the columns do not fit the widest window; shorten the names";
    EXPECT_FALSE(HorizontalScrollBar());
    ExpectRowsInSight("wide");
    const int wideHeight = form->GroupBoxN(5).Height();

    // Narrow: the columns need a horizontal scroll bar, and the section grows by it.
    ResizeWindow(ScaledPixels(360, dpi), ScaledPixels(400, dpi));
    ASSERT_TRUE(HorizontalScrollBar());
    ExpectRowsInSight("narrow");
    EXPECT_GT(form->GroupBoxN(5).Height(), wideHeight);
    SaveScreenshot("rows-in-sight-narrow-" + std::to_string(dpi));

    // Narrower still, and back to wide.
    ResizeWindow(ScaledPixels(220, dpi), ScaledPixels(400, dpi));
    EXPECT_TRUE(HorizontalScrollBar());
    ExpectRowsInSight("narrower");
    ResizeWindow(work.right - work.left, (work.bottom - work.top) / 2);
    EXPECT_FALSE(HorizontalScrollBar());
    ExpectRowsInSight("wide again");
    EXPECT_EQ(form->GroupBoxN(5).Height(), wideHeight);
}

// Starts this program again at a resolution, running the test above; answers its exit code.
DWORD RunChildAt(DWORD dpi) {
    return RunThisProgramAt(dpi, "RowsInSightChild.*", kChildDpi);
}

TEST(RowsInSight, TwoLongStartupPathsStayAboveTheScrollBarAt96And120DotsPerInch) {
    for (DWORD dpi : {96u, 120u})
        EXPECT_EQ(RunChildAt(dpi), 0u) << "at " << dpi << " dots per inch (its failures are printed above)";
}
} // namespace
