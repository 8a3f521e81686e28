// The Startup-folder sections on real folders and files of the Wine drive. The Shell Folders
// values of the redirected registry roots point at scratch folders.
#include "HeldFile.h"
#include "FormDriving.h"
#include "TestSupport.h"

#include "sources/StartupFolder.h"
#include "ui/Dawnroll.h"
#include "ui/Resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <set>
#include <vector>

namespace {
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kUserRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr DWORD kHiddenReadOnly = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY;

// What the shell itself answers for a file, asked the way the section asks.
struct ShellAnswer {
    std::string displayName;
    int icon = -1;
};
ShellAnswer AskShell(const std::string& path) {
    SHFILEINFOA info = {};
    SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME | SHGFI_SMALLICON);
    return {info.szDisplayName, info.iIcon};
}

HIMAGELIST SystemSmallImages() {
    SHFILEINFOA info = {};
    return reinterpret_cast<HIMAGELIST>(
        SHGetFileInfoA("C:\\", 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON));
}

std::wstring Wide(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(length > 0 ? length - 1 : 0);
    return wide;
}

// A real shortcut, written by the shell's own link object.
void MakeShortcut(const std::string& path, const std::string& target) {
    IShellLinkA* link = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      reinterpret_cast<void**>(&link));
    ASSERT_TRUE(SUCCEEDED(result)) << std::hex << result;
    link->SetPath(target.c_str());
    link->SetDescription("Editor");
    IPersistFile* file = nullptr;
    result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(result)) {
        result = file->Save(Wide(path).c_str(), TRUE);
        file->Release();
    }
    link->Release();
    ASSERT_TRUE(SUCCEEDED(result)) << std::hex << result;
    ASSERT_TRUE(FileExists(path));
}

void MakeFile(const std::string& path, DWORD attributes = 0) {
    WriteBytes(path, "@echo off\r\n");
    if (attributes) {
        ASSERT_TRUE(SetFileAttributesA(path.c_str(), attributes)) << path;
    }
}

// Text width in a control's own font, measured here rather than by the program's helper.
SIZE TextSize(HWND control, const std::string& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

int RowImage(HWND list, int row) {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.iImage;
}

void SelectRow(HWND list, int row, bool selected) {
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = selected ? LVIS_SELECTED | LVIS_FOCUSED : 0;
    SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

// The middle of a row's check box, found by asking the list what lies under each point.
POINT CheckBoxPoint(HWND list, int row) {
    SendMessageA(list, LVM_ENSUREVISIBLE, row, FALSE);
    return RowPoint(list, row, LVHT_ONITEMSTATEICON);
}

std::string Padded(int number) {
    char text[16];
    std::snprintf(text, sizeof text, "%05d", number);
    return text;
}

class StartupFolderTest : public testing::Test {
  protected:
    void SetUp() override { form = NewForm(); }
    void TearDown() override {
        form.reset();
        PumpMessages();
    }
    std::unique_ptr<TFormDawnroll> NewForm() {
        // The other sources are looked for where nothing is: their sections stay hidden.
        SourceLocators locators;
        locators.configSys = nowhere.File("CONFIG.SYS");
        locators.autoexecBat = nowhere.File("AUTOEXEC.BAT");
        locators.windowsFolder = [this] { return nowhere.Path(); };
        return std::make_unique<TFormDawnroll>(locators);
    }
    void PointUserStartupAt(const std::string& folder, DWORD type = REG_SZ) {
        SetStringValue(HKEY_CURRENT_USER, kShellFolders, "Startup", folder, type);
    }
    void PointCommonStartupAt(const std::string& folder) {
        SetStringValue(HKEY_LOCAL_MACHINE, kShellFolders, "Common Startup", folder);
    }
    // The Startup folder value without its trailing backslash, as the shell writes it.
    std::string UserFolder() const { return startup.Path().substr(0, startup.Path().size() - 1); }

    // Creates the window the first time (FormCreate runs the whole refresh), then reloads
    // section 5 alone.
    void LoadUser() {
        if (!form->Handle())
            form->Create();
        else
            form->SectionN<StartupFolderSection>(5).LoadStartupFolder();
    }
    EntryListView& List() { return form->ListViewN(1); }
    HWND ListHandle() { return List().Handle(); }
    int RowOf(const std::string& path) {
        for (int row = 0; row < List().Count(); ++row) {
            if (List().Fullname(row) == path)
                return row;
        }
        return -1;
    }
    std::set<std::string> Fullnames() {
        std::set<std::string> names;
        for (int row = 0; row < List().Count(); ++row)
            names.insert(List().Fullname(row));
        return names;
    }
    // Unchecks a row the way the list reports it; the file should be gone at once and the
    // row once the posted removal has been handled.
    void UncheckAndExpectDeleted(const std::string& path) {
        const int row = RowOf(path);
        ASSERT_GE(row, 0) << path;
        const int before = List().Count();
        List().SetChecked(row, false);
        EXPECT_FALSE(FileExists(path)) << path;
        EXPECT_EQ(List().Count(), before) << "the row goes only after the list's report is over";
        PumpMessages();
        EXPECT_EQ(List().Count(), before - 1);
        EXPECT_EQ(RowOf(path), -1) << path;
    }
    // Rows with small icons are taller than the text height h the rule h x (n + 1) + 42
    // counts with: the section is then as tall as the list's frame (2 + 2), its header and its
    // rows (and a horizontal scroll bar, when the list shows one) need inside the 15 pixels
    // above and 2 below the list.
    int ExpectedHeight(int rows, HWND list = nullptr) {
        list = list ? list : ListHandle();
        const int rule = TextSize(list, "REM").cy * (rows + 1) + 42;
        RECT header = {};
        GetWindowRect(reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)), &header);
        RECT row = {};
        row.left = LVIR_BOUNDS;
        SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row));
        const bool scrollBar = (GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL) != 0;
        const int needed = 15 + 2 + 4 + (header.bottom - header.top) + rows * (row.bottom - row.top) +
                           (scrollBar ? GetSystemMetrics(SM_CYHSCROLL) : 0);
        return std::max(rule, needed);
    }
    // Every row lies whole inside the list, which needs no scroll bar of its own.
    void ExpectEveryRowInside(HWND list) {
        EXPECT_FALSE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL) << "the list scrolls by itself";
        const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        ASSERT_GT(count, 0);
        RECT last = {};
        last.left = LVIR_BOUNDS;
        SendMessageA(list, LVM_GETITEMRECT, count - 1, reinterpret_cast<LPARAM>(&last));
        RECT client = {};
        GetClientRect(list, &client);
        EXPECT_LE(last.bottom, client.bottom) << "the last row is cut";
        EXPECT_GE(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0), count);
    }
    int ShownHeight(int section) {
        RECT box = {};
        GetWindowRect(form->GroupBoxN(section).Handle(), &box);
        return box.bottom - box.top;
    }

    RegistrySandbox registry;
    ScratchFolder startup;
    ScratchFolder common;
    ScratchFolder nowhere;
    std::unique_ptr<TFormDawnroll> form;
};

// A folder the shell needs long to read does not hold the window back: it comes without the
// folder's rows, and they arrive when the reading ends, each with its own file's name and icon.
TEST_F(StartupFolderTest, RowsArrivingAfterTheWindowAreEachTheirFilesOwn) {
    constexpr int kFiles = 150;
    const char* kinds[] = {".lnk", ".txt", ".msi"};
    for (int i = 0; i < kFiles; ++i) {
        const std::string path = startup.File("Program" + Padded(i) + kinds[i % 3]);
        if (i % 3 == 0)
            MakeShortcut(path, "C:\\windows\\notepad.exe");
        else
            MakeFile(path);
    }
    PointUserStartupAt(UserFolder());
    MakeFile(common.File("shared.txt"));
    PointCommonStartupAt(common.Path());

    form->LetStartupFoldersFollow();
    form->Create();
    if (List().Count() != 0)
        GTEST_SKIP() << "the shell read the folders before the window was made";
    ASSERT_TRUE(WaitUntil([&] { return List().Count() == kFiles && form->ListViewN(2).Count() == 1; }, 60000));
    EXPECT_EQ(form->GroupBoxN(5).Title(), UserFolder());
    EXPECT_EQ(Fullnames().size(), static_cast<std::size_t>(kFiles));
    for (int row = 0; row < kFiles; ++row) {
        const ShellAnswer shell = AskShell(List().Fullname(row));
        EXPECT_EQ(List().Caption(row), shell.displayName) << row;
        EXPECT_EQ(RowImage(ListHandle(), row), shell.icon) << List().Fullname(row);
        EXPECT_TRUE(List().Checked(row)) << row;
    }
    EXPECT_EQ(ShownHeight(5), ExpectedHeight(kFiles)) << "the section takes its rows' height when they arrive";
}

TEST_F(StartupFolderTest, ListsFilesWithTheShellsNameIconAndFullPath) {
    const std::string editor = startup.File("Editor.lnk");
    MakeShortcut(editor, "C:\\windows\\notepad.exe");
    MakeFile(startup.File("notes.txt"));
    MakeFile(startup.File("setup.msi")); // an icon of its own: the installer's, not the document's
    MakeFile(startup.File("a rather long name of a batch file that widens the column.bat"));
    MakeFile(startup.File("hidden.txt"), FILE_ATTRIBUTE_HIDDEN); // the shell lists these only when asked to
    MakeFile(startup.File("desktop.ini"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    PointUserStartupAt(UserFolder());
    MakeFile(common.File("shared.txt"));
    PointCommonStartupAt(common.Path());

    LoadUser();
    EXPECT_EQ(form->GroupBoxN(5).Title(), UserFolder()) << "the title is the value exactly as read";
    EXPECT_EQ(form->GroupBoxN(6).Title(), common.Path());
    ASSERT_EQ(List().Count(), 6);
    EXPECT_EQ(Fullnames(), (std::set<std::string>{
                               UserFolder() + "\\Editor.lnk", startup.File("notes.txt"), startup.File("setup.msi"),
                               startup.File("a rather long name of a batch file that widens the column.bat"),
                               startup.File("hidden.txt"), startup.File("desktop.ini")}));
    ASSERT_EQ(form->ListViewN(2).Count(), 1);
    EXPECT_EQ(form->ListViewN(2).Fullname(0), common.File("shared.txt"));

    const int row = RowOf(UserFolder() + "\\Editor.lnk");
    ASSERT_GE(row, 0);
    EXPECT_EQ(List().Caption(row), AskShell(editor).displayName);
    EXPECT_EQ(List().Caption(row), "Editor") << "the shell shows shortcuts without their extension";

    // Every row: checked, the shell's name and the shell's icon in the system's list.
    ASSERT_EQ(SendMessageA(ListHandle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0),
              reinterpret_cast<LRESULT>(SystemSmallImages()));
    std::set<int> icons;
    for (int i = 0; i < List().Count(); ++i) {
        const ShellAnswer shell = AskShell(List().Fullname(i));
        EXPECT_TRUE(List().Checked(i)) << i;
        EXPECT_EQ(List().Caption(i), shell.displayName) << i;
        EXPECT_GE(shell.icon, 0);
        EXPECT_EQ(RowImage(ListHandle(), i), shell.icon) << List().Fullname(i);
        icons.insert(shell.icon);
    }
    EXPECT_GE(icons.size(), 2u) << "an installer package and a text file have different icons";
    EXPECT_EQ(RowImage(form->ListViewN(2).Handle(), 0), AskShell(common.File("shared.txt")).icon);

    // Height h x (n + 1) + 42 or what the rows need, as recorded and as placed on the window.
    EXPECT_EQ(form->GroupBoxN(5).Height(), ExpectedHeight(6));
    EXPECT_EQ(ShownHeight(5), ExpectedHeight(6));
    EXPECT_EQ(form->GroupBoxN(6).Height(), ExpectedHeight(1, form->ListViewN(2).Handle()));
    ExpectEveryRowInside(ListHandle());
    ExpectEveryRowInside(form->ListViewN(2).Handle());

    // Columns widened to the widest caption + 41 and the widest full path + 21.
    int caption = 100;
    int fullname = 100;
    for (int i = 0; i < List().Count(); ++i) {
        caption = std::max(caption, static_cast<int>(TextSize(ListHandle(), List().Caption(i)).cx) + 41);
        fullname = std::max(fullname, static_cast<int>(TextSize(ListHandle(), List().Fullname(i)).cx) + 21);
    }
    EXPECT_GT(fullname, 100);
    EXPECT_EQ(List().ColumnWidth(0), caption);
    EXPECT_EQ(List().ColumnWidth(1), fullname);

    // A reload with only short names starts the columns again from 100.
    DeleteFileA(startup.File("a rather long name of a batch file that widens the column.bat").c_str());
    DeleteFileA(editor.c_str());
    DeleteFileA(startup.File("setup.msi").c_str());
    DeleteFileA(startup.File("hidden.txt").c_str());
    DeleteFileA(startup.File("desktop.ini").c_str());
    WriteBytes(startup.File("notes.txt"), "x");
    LoadUser();
    ASSERT_EQ(List().Count(), 1);
    EXPECT_EQ(List().ColumnWidth(1),
              std::max(100, static_cast<int>(TextSize(ListHandle(), startup.File("notes.txt")).cx) + 21));
    EXPECT_EQ(form->GroupBoxN(5).Height(), ExpectedHeight(1));
}

// The window's first refresh takes the Startup folders as read while the window was made;
// every later one reads them anew.
TEST_F(StartupFolderTest, RefreshesAfterTheFirstReadTheFoldersAnew) {
    MakeFile(startup.File("first.txt"));
    PointUserStartupAt(UserFolder());
    MakeFile(common.File("shared.txt"));
    PointCommonStartupAt(common.Path());
    form->Create();
    ASSERT_EQ(Fullnames(), std::set<std::string>{startup.File("first.txt")});
    ASSERT_EQ(form->ListViewN(2).Count(), 1);

    DeleteFileA(startup.File("first.txt").c_str());
    MakeFile(startup.File("second.txt"));
    MakeFile(common.File("another.txt"));
    for (const UINT command : {IDM_SHOWEMPTYSTARTUPS, IDM_HIDEEMPTYSTARTUPS}) {
        SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
        EXPECT_EQ(Fullnames(), std::set<std::string>{startup.File("second.txt")}) << command;
        EXPECT_EQ(form->ListViewN(2).Count(), 2) << command;
    }

    // A second window made while the first is open reads for itself, with the same icons.
    auto other = NewForm();
    other->Create();
    ASSERT_EQ(other->ListViewN(1).Count(), 1);
    EXPECT_EQ(other->ListViewN(1).Fullname(0), startup.File("second.txt"));
    EXPECT_EQ(RowImage(other->ListViewN(1).Handle(), 0), RowImage(ListHandle(), 0));
    EXPECT_EQ(SendMessageA(other->ListViewN(2).Handle(), LVM_GETIMAGELIST, LVSIL_SMALL, 0),
              reinterpret_cast<LRESULT>(SystemSmallImages()));
}

TEST_F(StartupFolderTest, FolderValueIsReadAsWrittenAndSubFoldersAreSkipped) {
    MakeFile(startup.File("one.bat"));
    MakeFile(startup.File("two.txt"));
    ASSERT_TRUE(CreateDirectoryA(startup.File("Programs").c_str(), nullptr));
    MakeFile(startup.File("Programs\\inner.txt"));
    ASSERT_TRUE(CreateDirectoryA(startup.File("Hidden folder").c_str(), nullptr));
    SetFileAttributesA(startup.File("Hidden folder").c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_DIRECTORY);
    const std::set<std::string> expected = {startup.File("one.bat"), startup.File("two.txt")};

    PointUserStartupAt(UserFolder());
    LoadUser();
    EXPECT_EQ(Fullnames(), expected);
    EXPECT_EQ(form->GroupBoxN(5).Title(), UserFolder());

    PointUserStartupAt(startup.Path());
    LoadUser();
    EXPECT_EQ(Fullnames(), expected) << "with or without the trailing backslash, the same paths";
    EXPECT_EQ(form->GroupBoxN(5).Title(), startup.Path());

    // An expandable value is taken as it is: the folder literally named with percent signs.
    const std::string literal = startup.File("%DAWNROLL_STARTUP%");
    ASSERT_TRUE(CreateDirectoryA(literal.c_str(), nullptr));
    MakeFile(literal + "\\literal.txt");
    MakeFile(common.File("expanded.txt"));
    ASSERT_TRUE(SetEnvironmentVariableA("DAWNROLL_STARTUP", UserFolder().c_str()));
    PointUserStartupAt(literal, REG_EXPAND_SZ);
    LoadUser();
    SetEnvironmentVariableA("DAWNROLL_STARTUP", nullptr);
    EXPECT_EQ(form->GroupBoxN(5).Title(), literal);
    EXPECT_EQ(Fullnames(), std::set<std::string>{literal + "\\literal.txt"});

    // The value is cut at its first zero character.
    SetStringValue(HKEY_CURRENT_USER, kShellFolders, "Startup", startup.Path() + std::string("\0C:\\", 4));
    LoadUser();
    EXPECT_EQ(form->GroupBoxN(5).Title(), startup.Path());
    EXPECT_EQ(Fullnames(), expected);
}

TEST_F(StartupFolderTest, HiddenSystemAndReadOnlyFilesAreListedAndDeletedOnUncheck) {
    MakeFile(startup.File("plain.txt"));
    MakeFile(startup.File("hidden.txt"), FILE_ATTRIBUTE_HIDDEN);
    MakeFile(startup.File("system.bat"), FILE_ATTRIBUTE_SYSTEM);
    MakeFile(startup.File("readonly.txt"), FILE_ATTRIBUTE_READONLY);
    MakeFile(startup.File("desktop.ini"), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    MakeFile(startup.File("everything.cmd"), kHiddenReadOnly | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(CreateDirectoryA(startup.File("Sub").c_str(), nullptr));
    MakeFile(startup.File("Sub\\inside.txt"));
    // The drive keeps the attributes (else the cases below would prove nothing).
    ASSERT_EQ(GetFileAttributesA(startup.File("hidden.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN, FILE_ATTRIBUTE_HIDDEN);
    ASSERT_EQ(GetFileAttributesA(startup.File("system.bat").c_str()) & FILE_ATTRIBUTE_SYSTEM, FILE_ATTRIBUTE_SYSTEM);
    ASSERT_NE(GetFileAttributesA(startup.File("readonly.txt").c_str()) & FILE_ATTRIBUTE_READONLY, 0u);

    PointUserStartupAt(UserFolder());
    LoadUser();
    EXPECT_EQ(Fullnames(), (std::set<std::string>{startup.File("plain.txt"), startup.File("hidden.txt"),
                                                  startup.File("system.bat"), startup.File("readonly.txt"),
                                                  startup.File("desktop.ini"), startup.File("everything.cmd")}));

    for (const char* name : {"hidden.txt", "system.bat", "readonly.txt", "desktop.ini", "everything.cmd"}) {
        SCOPED_TRACE(name);
        UncheckAndExpectDeleted(startup.File(name));
    }
    ASSERT_EQ(List().Count(), 1);
    EXPECT_EQ(List().Fullname(0), startup.File("plain.txt"));
    EXPECT_TRUE(List().Checked(0));
    EXPECT_TRUE(FileExists(startup.File("plain.txt")));
    EXPECT_TRUE(FileExists(startup.File("Sub\\inside.txt")));
    EXPECT_EQ(form->GroupBoxN(5).Height(), ExpectedHeight(6)) << "the height follows at the next refresh only";
}

TEST_F(StartupFolderTest, FileHeldByAnotherProcessStaysWithItsAttributesAndItsRowIsCheckedAgain) {
    const std::string held = startup.File("held.bat");
    MakeFile(held, kHiddenReadOnly);
    MakeFile(startup.File("other.txt"));
    const DWORD original = GetFileAttributesA(held.c_str());
    ASSERT_EQ(original & kHiddenReadOnly, kHiddenReadOnly);
    PointUserStartupAt(UserFolder());
    LoadUser();
    ASSERT_EQ(List().Count(), 2);

    HeldFile holder(held);
    const int row = RowOf(held);
    ASSERT_GE(row, 0);
    const DialogSeen refused = RunExpectingErrorDialog([&] { List().SetChecked(row, false); }, 3000);
    EXPECT_EQ(refused.text, "The file " + held + " was not deleted: it is in use by another program.");
    PumpMessages();
    EXPECT_EQ(List().Count(), 2);
    EXPECT_EQ(RowOf(held), row);
    EXPECT_TRUE(List().Checked(row)) << "the file will start: its row is checked again";
    EXPECT_TRUE(FileExists(held));
    EXPECT_EQ(GetFileAttributesA(held.c_str()), original) << "a file not deleted keeps its attributes";

    // The refused change does not wait in the window: a later report of the row changes nothing.
    EXPECT_FALSE(RunExpectingErrorDialog([&] { SelectRow(ListHandle(), row, true); }, 3000).shown);
    PumpMessages();
    EXPECT_EQ(RowOf(held), row);
    EXPECT_EQ(GetFileAttributesA(held.c_str()), original);
    // Unchecking it again while it is held is refused again.
    EXPECT_TRUE(RunExpectingErrorDialog([&] { List().SetChecked(row, false); }, 3000).shown);
    PumpMessages();
    EXPECT_TRUE(FileExists(held));
    EXPECT_TRUE(List().Checked(row));

    // Once let go, unchecking deletes the file and its row goes.
    EXPECT_EQ(holder.Release(), 0u);
    EXPECT_TRUE(FileExists(held));
    SelectRow(ListHandle(), row, false);
    EXPECT_TRUE(FileExists(held)) << "a selection alone deletes nothing";
    ExpectNoDialog([&] { List().SetChecked(row, false); });
    EXPECT_FALSE(FileExists(held));
    PumpMessages();
    EXPECT_EQ(RowOf(held), -1);
    EXPECT_EQ(List().Count(), 1);
    EXPECT_TRUE(FileExists(startup.File("other.txt")));
}

// The row of a file another program removed stays, unchecked: the entry is gone and nothing
// started it. A check cannot bring the file back: it is told, and the mark stays off.
TEST_F(StartupFolderTest, FileRemovedBehindTheProgramsBackKeepsItsRowUnchecked) {
    const std::string gone = startup.File("gone.txt");
    MakeFile(gone);
    MakeFile(startup.File("kept.txt"));
    PointUserStartupAt(UserFolder());
    LoadUser();
    ShowForInput(form->Handle());
    ASSERT_EQ(List().Count(), 2);

    ASSERT_TRUE(DeleteFileA(gone.c_str()));
    const int row = RowOf(gone);
    const POINT box = CheckBoxPoint(ListHandle(), row);
    ASSERT_GE(box.x, 0) << "no check box found on the row";
    EXPECT_FALSE(RunExpectingErrorDialog([&] { ClickAt(ListHandle(), box.x, box.y); }, 2000).shown);
    PumpMessages();
    ASSERT_EQ(RowOf(gone), row);
    EXPECT_FALSE(List().Checked(row));
    ASSERT_EQ(List().Count(), 2);
    EXPECT_TRUE(List().Checked(RowOf(startup.File("kept.txt"))));

    WaitUntil([] { return false; }, GetDoubleClickTime() + 200);
    const DialogSeen seen = RunExpectingErrorDialog([&] { ClickAt(ListHandle(), box.x, box.y); });
    EXPECT_EQ(seen.text, "The file " + gone + " no longer exists; Dawnroll cannot bring a deleted file back.");
    EXPECT_FALSE(List().Checked(row));
    EXPECT_FALSE(FileExists(gone));
    EXPECT_TRUE(FileExists(startup.File("kept.txt")));
}

TEST_F(StartupFolderTest, MissingOrEmptyLocationsGiveAnEmptySectionWithoutMessage) {
    struct Case {
        const char* what;
        std::function<void()> arrange;
        std::string title; // after "Show empty startups": a missing value reads as empty
    };
    MakeFile(common.File("common.txt"));
    const std::string missingFolder = startup.File("no such folder");
    const std::vector<Case> cases = {
        {"missing key", [] { DeleteKeyTree(HKEY_CURRENT_USER, kShellFolders); }, "GroupBox5"},
        {"missing value",
         [] {
             DeleteKeyTree(HKEY_CURRENT_USER, kShellFolders);
             SetStringValue(HKEY_CURRENT_USER, kShellFolders, "Desktop", "C:\\");
         },
         ""},
        {"empty value", [] { SetStringValue(HKEY_CURRENT_USER, kShellFolders, "Startup", ""); }, ""},
        {"missing folder", [&] { SetStringValue(HKEY_CURRENT_USER, kShellFolders, "Startup", missingFolder); },
         missingFolder},
        {"empty folder", [&] { SetStringValue(HKEY_CURRENT_USER, kShellFolders, "Startup", UserFolder()); },
         UserFolder()},
    };
    PointCommonStartupAt(common.Path());
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        test.arrange();
        auto window = NewForm();
        const DialogSeen dialog = RunExpectingErrorDialog([&] { window->Create(); }, 3000);
        EXPECT_FALSE(dialog.shown) << dialog.text;
        EXPECT_FALSE(window->GroupBoxN(5).IsVisible());
        EXPECT_EQ(window->ListViewN(1).Count(), 0);
        EXPECT_EQ(window->ListViewN(2).Count(), 1) << "the refresh went on";

        const DialogSeen shown = RunExpectingErrorDialog([&] { window->Showemptystartups1Click(); }, 3000);
        EXPECT_FALSE(shown.shown) << shown.text;
        EXPECT_TRUE(window->GroupBoxN(5).IsVisible());
        EXPECT_EQ(window->GroupBoxN(5).Height(), 57);
        EXPECT_EQ(window->GroupBoxN(5).Title(), test.title);
        EXPECT_EQ(window->ListViewN(1).Count(), 0);
    }
}

TEST_F(StartupFolderTest, NumberValueRaisesInvalidDataTypeAndOtherSectionsStillLoad) {
    SetDwordValue(HKEY_CURRENT_USER, kShellFolders, "Startup", 1);
    MakeFile(common.File("common.txt"));
    PointCommonStartupAt(common.Path());
    SetStringValue(HKEY_CURRENT_USER, kUserRunKey, "Scheduler", "C:\\sched.exe");

    const DialogSeen atStart = RunExpectingErrorDialog([&] { form->Create(); });
    ASSERT_TRUE(atStart.shown);
    EXPECT_EQ(atStart.text, "Invalid data type for 'Startup'");
    EXPECT_EQ(atStart.title, ThisProgramTitle());
    ASSERT_NE(form->Handle(), nullptr) << "the window is created all the same";
    EXPECT_EQ(form->GroupBoxN(5).Title(), "GroupBox5") << "the caption is left as it was";
    EXPECT_TRUE(form->GroupBoxN(5).IsVisible()) << "neither hidden nor resized";
    EXPECT_EQ(form->GroupBoxN(6).Title(), common.Path()) << "the sections after it load all the same";
    EXPECT_EQ(form->ListViewN(2).Count(), 1);
    EXPECT_EQ(form->GroupBoxN(7).Title(), RunKeyTitle(RootKey::CurrentUser, "Run"));
    EXPECT_EQ(form->ListViewN(3).Count(), 1);

    // The all-users value wrong at the window's creation: the user's section is loaded first.
    {
        MakeFile(startup.File("first.txt"));
        PointUserStartupAt(UserFolder());
        SetDwordValue(HKEY_LOCAL_MACHINE, kShellFolders, "Common Startup", 2);
        auto other = NewForm();
        const DialogSeen commonAtStart = RunExpectingErrorDialog([&] { other->Create(); });
        ASSERT_TRUE(commonAtStart.shown);
        EXPECT_EQ(commonAtStart.text, "Invalid data type for 'Common Startup'");
        ASSERT_EQ(other->ListViewN(1).Count(), 1);
        EXPECT_EQ(other->ListViewN(1).Fullname(0), startup.File("first.txt"));
        EXPECT_EQ(other->ListViewN(3).Count(), 1) << "the run keys load all the same";
        DeleteFileA(startup.File("first.txt").c_str());
        PointCommonStartupAt(common.Path());
    }

    // A good value and a menu command load everything.
    MakeFile(startup.File("user.txt"));
    PointUserStartupAt(UserFolder());
    const DialogSeen good = RunExpectingErrorDialog(
        [&] { SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(IDM_HIDEEMPTYSTARTUPS, 0), 0); }, 3000);
    EXPECT_FALSE(good.shown) << good.text;
    EXPECT_EQ(List().Count(), 1);
    EXPECT_EQ(form->ListViewN(2).Count(), 1);
    EXPECT_EQ(form->ListViewN(3).Count(), 1);

    // A number again: the menu command shows the error, the other sections are read again.
    SetDwordValue(HKEY_CURRENT_USER, kShellFolders, "Startup", 0);
    MakeFile(common.File("new.txt"));
    const DialogSeen again = RunExpectingErrorDialog(
        [&] { SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(IDM_SHOWEMPTYSTARTUPS, 0), 0); });
    ASSERT_TRUE(again.shown);
    EXPECT_EQ(again.text, "Invalid data type for 'Startup'");
    EXPECT_EQ(form->ListViewN(2).Count(), 2);
    EXPECT_EQ(form->GroupBoxN(6).Title(), common.Path());

    // The all-users value is named in its own message; the user's section is loaded first.
    PointUserStartupAt(UserFolder());
    SetDwordValue(HKEY_LOCAL_MACHINE, kShellFolders, "Common Startup", 7);
    const DialogSeen commonError = RunExpectingErrorDialog(
        [&] { SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(IDM_HIDEEMPTYSTARTUPS, 0), 0); });
    ASSERT_TRUE(commonError.shown);
    EXPECT_EQ(commonError.text, "Invalid data type for 'Common Startup'");
    EXPECT_EQ(List().Count(), 1);
    EXPECT_EQ(form->ListViewN(2).Count(), 0) << "the section was cleared before the value was read";
}

TEST_F(StartupFolderTest, RealWindowClickOnCheckBoxDeletesTheFile) {
    MakeShortcut(startup.File("Editor.lnk"), "C:\\windows\\notepad.exe");
    MakeFile(startup.File("notes.txt"));
    MakeFile(startup.File("start.bat"));
    MakeFile(startup.File("setup.msi"));
    CopyFileA("C:\\windows\\notepad.exe", startup.File("Notepad copy.exe").c_str(), FALSE);
    MakeShortcut(common.File("Shared editor.lnk"), "C:\\windows\\notepad.exe");
    MakeFile(common.File("readme.txt"));
    PointUserStartupAt(UserFolder());
    PointCommonStartupAt(common.Path());
    LoadUser();
    ShowForInput(form->Handle());
    ASSERT_EQ(List().Count(), 5);
    SaveScreenshot("startup_sections");

    const std::string notes = startup.File("notes.txt");
    const int row = RowOf(notes);
    ASSERT_GE(row, 0);
    const POINT box = CheckBoxPoint(ListHandle(), row);
    ASSERT_GE(box.x, 0) << "no check box found on the row";
    ClickAt(ListHandle(), box.x, box.y);
    EXPECT_TRUE(WaitUntil([&] { return RowOf(notes) == -1; }));
    EXPECT_FALSE(FileExists(notes));
    EXPECT_EQ(List().Count(), 4);
    for (int i = 0; i < List().Count(); ++i) {
        EXPECT_TRUE(List().Checked(i)) << List().Fullname(i);
        EXPECT_TRUE(FileExists(List().Fullname(i))) << List().Fullname(i);
    }
    SaveScreenshot("startup_after_uncheck");
}

TEST_F(StartupFolderTest, TwoThousandFiles) {
    for (int i = 0; i < 2000; ++i)
        WriteBytes(startup.File("entry " + Padded(i) + ".txt"), "");
    PointUserStartupAt(UserFolder());
    LoadUser();
    ASSERT_EQ(List().Count(), 2000);
    const std::set<std::string> names = Fullnames();
    EXPECT_EQ(names.size(), 2000u);
    EXPECT_EQ(*names.begin(), startup.File("entry 00000.txt"));
    EXPECT_EQ(*names.rbegin(), startup.File("entry 01999.txt"));
    EXPECT_EQ(form->GroupBoxN(5).Height(), ExpectedHeight(2000));

    UncheckAndExpectDeleted(startup.File("entry 01234.txt"));
    EXPECT_TRUE(FileExists(startup.File("entry 01233.txt")));
    EXPECT_TRUE(FileExists(startup.File("entry 01235.txt")));
}

TEST_F(StartupFolderTest, NamesAtThePathLengthLimit) {
    // The longest path the system takes: MAX_PATH characters with the terminating zero.
    const std::size_t room = MAX_PATH - 1 - startup.Path().size();
    ASSERT_LE(room, 255u);
    const std::string longest = startup.File(std::string(room - 4, 'L') + ".txt");
    const std::string shorter = startup.File(std::string(room - 5, 'S') + ".txt");
    ASSERT_EQ(longest.size(), static_cast<std::size_t>(MAX_PATH - 1));
    MakeFile(longest);
    MakeFile(shorter);
    PointUserStartupAt(UserFolder());
    LoadUser();
    ASSERT_EQ(Fullnames(), (std::set<std::string>{longest, shorter}));
    const int row = RowOf(longest);
    EXPECT_EQ(List().Caption(row), AskShell(longest).displayName);
    EXPECT_FALSE(List().Caption(row).empty());
    EXPECT_GE(List().ColumnWidth(1), TextSize(ListHandle(), longest).cx + 21);

    UncheckAndExpectDeleted(longest);
    EXPECT_TRUE(FileExists(shorter));
}

TEST_F(StartupFolderTest, NamesWithCharactersOfTheUpperHalfOfTheCodePage) {
    RecordProperty("ansi_code_page", static_cast<int>(GetACP()));
    const std::string cafe = startup.File("Caf\xe9 \xfc\xdf.txt");
    const std::string grave = startup.File("Caf\xe8 \xfc\xdf.txt");
    const std::string plain = startup.File("Cafe u.txt");
    const std::string signs = startup.File("\xa9\xae\xb1\xbd \x80\xff.txt");
    for (const std::string& path : {cafe, grave, plain, signs})
        MakeFile(path);
    PointUserStartupAt(UserFolder());
    LoadUser();
    ASSERT_EQ(Fullnames(), (std::set<std::string>{cafe, grave, plain, signs}));
    for (int i = 0; i < List().Count(); ++i)
        EXPECT_EQ(List().Caption(i), AskShell(List().Fullname(i)).displayName) << List().Fullname(i);

    UncheckAndExpectDeleted(cafe);
    UncheckAndExpectDeleted(signs);
    EXPECT_TRUE(FileExists(grave));
    EXPECT_TRUE(FileExists(plain));
    EXPECT_EQ(Fullnames(), (std::set<std::string>{grave, plain}));
}
} // namespace
