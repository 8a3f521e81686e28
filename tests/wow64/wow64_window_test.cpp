// The window on a 64-bit system, where the 32-bit program's default view of the local machine's
// SOFTWARE key is the 32-bit programs' Wow6432Node and the 64-bit program's is the native key:
// for both, sections 9 to 11 show the native keys their titles name, sections 12 to 14 the
// 32-bit programs' keys, and each toggle acts on its own view only. On a 32-bit system the
// window keeps its eleven sections.
//
// The 32-bit build runs in the test session's 64-bit prefix and in its 32-bit one, the 64-bit
// build in the 64-bit prefix; each CTest entry runs the suites of its system (OnA64BitSystem*
// or OnA32BitSystem*). The registry
// sandbox holds a SOFTWARE\Wow6432Node key: Wine then splits the sandbox into the two views
// exactly as it splits the real local machine (checked by each test before it relies on it).
#include "FormDriving.h"
#include "TestSupport.h"
#include "ThrowawayPrefix.h"
#include "WideRegistry.h"

#include "ui/Dawnroll.h"
#include "ui/Resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
constexpr const char* kCurrentVersion = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
constexpr const char* kNodeCurrentVersion = "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\";
const char* const kLocalKeys[] = {"Run", "RunOnce", "RunServices"};

std::string NativeTitle(const std::string& root, const std::string& key) {
    return "My Computer\\" + root + "\\" + kCurrentVersion + key;
}
std::string NodeTitle(const std::string& key) {
    return std::string("My Computer\\HKEY_LOCAL_MACHINE\\") + kNodeCurrentVersion + key;
}

// The two views of the local machine, as the registry calls ask for them.
enum class View { Native, Wow32 };
REGSAM Flag(View view) {
    return view == View::Native ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
}

void PutValue(View view, const std::string& key, const std::string& name, const std::string& data) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kCurrentVersion + key).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS | Flag(view), nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    const LONG status = RegSetValueExA(handle, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>(data.size() + 1));
    RegCloseKey(handle);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

void PutNumber(View view, const std::string& key, const std::string& name, DWORD number) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kCurrentVersion + key).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS | Flag(view), nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    const LONG status =
        RegSetValueExA(handle, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
    RegCloseKey(handle);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

void RemoveValue(View view, const std::string& key, const std::string& name) {
    HKEY handle = nullptr;
    ASSERT_EQ(
        RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kCurrentVersion + key).c_str(), 0, KEY_ALL_ACCESS | Flag(view), &handle),
        ERROR_SUCCESS);
    RegDeleteValueA(handle, name.c_str());
    RegCloseKey(handle);
}

// A value of a key below HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion in one
// view: its text, or "(none)" when the value or its key is missing.
std::string ValueIn(View view, const std::string& key, const std::string& name, DWORD* type = nullptr) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kCurrentVersion + key).c_str(), 0, KEY_READ | Flag(view), &handle) !=
        ERROR_SUCCESS)
        return "(none)";
    char data[512] = {};
    DWORD size = sizeof data - 1;
    DWORD found = 0;
    const LONG status = RegQueryValueExA(handle, name.c_str(), nullptr, &found, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(handle);
    if (type)
        *type = found;
    return status == ERROR_SUCCESS ? std::string(data) : "(none)";
}

// The system's records of switched-off entries (StartupApproved), below the local machine's
// SOFTWARE\Microsoft\Windows\CurrentVersion\Explorer in one view: the first byte odd when
// switched off; 02 and eleven zeros is what switching one on writes.
const Bytes kSwitchedOff = {0x03, 0, 0, 0, 0x10, 0x5F, 0x3C, 0x8E, 0x2A, 0x4B, 0xDA, 0x01};
const Bytes kSwitchedOn = {0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

std::string ApprovedPath(const std::string& subkey) {
    return kCurrentVersion + std::string("Explorer\\StartupApproved\\") + subkey;
}

void PutRecord(View view, const std::string& subkey, const std::wstring& name, const Bytes& bytes) {
    HKEY handle = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, ApprovedPath(subkey).c_str(), 0, nullptr, 0,
                              KEY_ALL_ACCESS | Flag(view), nullptr, &handle, nullptr),
              ERROR_SUCCESS);
    const LONG status =
        RegSetValueExW(handle, name.c_str(), 0, REG_BINARY, bytes.data(), static_cast<DWORD>(bytes.size()));
    RegCloseKey(handle);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

// A record's bytes in one view; empty when it or its key is missing (or it is no binary value).
Bytes RecordIn(View view, const std::string& subkey, const std::wstring& name) {
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, ApprovedPath(subkey).c_str(), 0, KEY_READ | Flag(view), &handle) !=
        ERROR_SUCCESS)
        return {};
    Bytes bytes(64);
    DWORD size = static_cast<DWORD>(bytes.size());
    DWORD type = 0;
    const LONG status = RegQueryValueExW(handle, name.c_str(), nullptr, &type, bytes.data(), &size);
    RegCloseKey(handle);
    bytes.resize(status == ERROR_SUCCESS && type == REG_BINARY ? size : 0);
    return bytes;
}

// The value names of a key in one view, in the registry's own order.
std::vector<std::string> NamesIn(View view, const std::string& key) {
    return ValueNames(HKEY_LOCAL_MACHINE, kCurrentVersion + key, Flag(view));
}

std::vector<std::string> Captions(EntryListView& list) {
    std::vector<std::string> captions;
    for (int row = 0; row < list.Count(); ++row)
        captions.push_back(list.Caption(row));
    return captions;
}

std::vector<std::string> Sorted(std::vector<std::string> names) {
    std::sort(names.begin(), names.end());
    return names;
}

int RowOf(EntryListView& list, const std::string& caption) {
    for (int row = 0; row < list.Count(); ++row) {
        if (list.Caption(row) == caption)
            return row;
    }
    ADD_FAILURE() << "no row '" << caption << "'";
    return -1;
}

void ExpectNoDialog(const std::function<void()>& action) {
    const DialogSeen seen = RunExpectingErrorDialog(action);
    EXPECT_FALSE(seen.shown) << "unexpected error dialog: " << seen.text;
}

// "Display" is the first menu; its items are "Hide empty startups", "Show empty startups".
void ChooseShowEmptyWithKeys(HWND window) {
    ExpectNoDialog([&] { PressKeys(window, {VK_MENU, VK_DOWN, VK_DOWN, VK_RETURN}); });
    ASSERT_TRUE(MenuItemChecked(window, IDM_SHOWEMPTYSTARTUPS));
}

// The main window's direct children in their order (the order the system keeps them in).
std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

struct IdSearch {
    int id;
    bool found;
};

BOOL CALLBACK MatchId(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<IdSearch*>(data);
    if (GetDlgCtrlID(child) == search->id)
        search->found = true;
    return !search->found;
}

// Whether any window inside parent, at any depth, has the control ID.
bool AnyWindowWithId(HWND parent, int id) {
    IdSearch search{id, false};
    EnumChildWindows(parent, MatchId, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::string ColumnHeading(HWND list, int column) {
    char text[64] = {};
    LVCOLUMNA heading = {};
    heading.mask = LVCF_TEXT;
    heading.pszText = text;
    heading.cchTextMax = sizeof text;
    if (!SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&heading)))
        return "(none)";
    return text;
}

class WindowOnEitherSystem : public FormTest {
  protected:
    WindowOnEitherSystem() {
        // The local machine's SOFTWARE of a 64-bit system has the 32-bit programs' node.
        CreateKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node");
    }

    // The sandbox is split into the two views as the real local machine is: a value written
    // in the 32-bit view is in its Wow6432Node and not in the native key, and the program's
    // plain default view is its own kind's: the 32-bit one for the 32-bit program, the native
    // one for the 64-bit program.
    void CheckTheViewsAreSplit() {
        PutValue(View::Wow32, "Run", "ViewProbe", "32");
        const std::string native = ValueIn(View::Native, "Run", "ViewProbe");
        const std::string node =
            GetValue(HKEY_LOCAL_MACHINE, kNodeCurrentVersion + std::string("Run"), "ViewProbe").bytes;
        const std::string plain = GetValue(HKEY_LOCAL_MACHINE, kCurrentVersion + std::string("Run"), "ViewProbe").bytes;
        RemoveValue(View::Wow32, "Run", "ViewProbe");
        ASSERT_EQ(native, "(none)");
        ASSERT_EQ(node, std::string("32", 3));
        if (sizeof(void*) == 4)
            ASSERT_EQ(plain, std::string("32", 3));
        else
            ASSERT_NE(plain, std::string("32", 3));
    }

    void Open() {
        ExpectNoDialog([this] { form->Create(); });
    }

    // Sections 9 to 11 hold ListView5 to ListView7, sections 12 to 14 ListView8 to ListView10.
    EntryListView& List(int section) { return form->ListViewN(section - 4); }
    Section& Box(int section) { return form->GroupBoxN(section); }
    // The sections the window shows (or would show on the screen), in order.
    std::vector<int> ShownSections() {
        std::vector<int> numbers;
        for (int number = 1; number <= form->SectionCount(); ++number) {
            if (Box(number).IsVisible())
                numbers.push_back(number);
        }
        return numbers;
    }
    int FilledHeight(int section, int rows) {
        const int h = TextExtentIn(List(section).Handle(), "REM").cy;
        return (h + 4) * (rows + 1) + 42;
    }

    // A real click on the check box of a row, then a pause long enough that the next click on
    // it is no double click.
    void ClickCheckBox(int section, int row) {
        HWND list = List(section).Handle();
        ASSERT_TRUE(IsWindowVisible(list)) << section;
        const POINT box = RowPoint(list, row, LVHT_ONITEMSTATEICON);
        ASSERT_GE(box.x, 0);
        ExpectNoDialog([&] { ClickAt(list, box.x, box.y); });
        WaitPastDoubleClickTime();
    }
};

using OnA64BitSystem = WindowOnEitherSystem;
using OnA32BitSystem = WindowOnEitherSystem;

TEST_F(OnA64BitSystem, TheWindowKnowsTheSystemIs64BitAndHasFourteenSections) {
    EXPECT_TRUE(form->OnA64BitSystem());
    EXPECT_EQ(form->SectionCount(), 14);
}

// Section 9 lists exactly the native key's values; the section titled with the Wow6432Node
// lists the 32-bit view's. Real clicks on their check boxes delete and write each value in its
// own view only, also where both views hold a value of the same name.
TEST_F(OnA64BitSystem, EachViewsRunKeyIsListedAndToggledInItsOwnSection) {
    CheckTheViewsAreSplit();
    PutValue(View::Native, "Run", "Native64", "C:\\Program Files\\Native\\native64.exe /tray");
    PutValue(View::Native, "Run", "Shared", "C:\\Program Files\\Shared\\shared.exe");
    PutValue(View::Wow32, "Run", "Wow32", "C:\\Program Files (x86)\\Wow\\wow32.exe");
    PutValue(View::Wow32, "Run", "Shared", "C:\\Program Files (x86)\\Shared\\shared.exe");
    Open();
    ShowForInput(form->Handle());

    EXPECT_EQ(Box(9).Title(), NativeTitle("HKEY_LOCAL_MACHINE", "Run"));
    EXPECT_EQ(Box(12).Title(), NodeTitle("Run"));
    EXPECT_EQ(Captions(List(9)), NamesIn(View::Native, "Run"));
    EXPECT_EQ(Sorted(Captions(List(9))), (std::vector<std::string>{"Native64", "Shared"}));
    EXPECT_EQ(Captions(List(12)), NamesIn(View::Wow32, "Run"));
    EXPECT_EQ(Sorted(Captions(List(12))), (std::vector<std::string>{"Shared", "Wow32"}));
    EXPECT_EQ(List(9).Fullname(RowOf(List(9), "Shared")), "C:\\Program Files\\Shared\\shared.exe");
    EXPECT_EQ(List(12).Fullname(RowOf(List(12), "Shared")), "C:\\Program Files (x86)\\Shared\\shared.exe");
    EXPECT_EQ(Box(9).Height(), FilledHeight(9, 2));
    EXPECT_EQ(Box(12).Height(), FilledHeight(12, 2));
    // Only sections with entries show while empty ones are hidden.
    EXPECT_EQ(VisibleSections(*form), (std::vector<int>{9, 12}));
    SaveScreenshot("wow64-run-keys-of-both-views");

    // Section 9: the native view only.
    const int native = RowOf(List(9), "Shared");
    ClickCheckBox(9, native);
    EXPECT_TRUE(WaitUntil([] { return ValueIn(View::Native, "Run", "Shared") == "(none)"; }, 3000));
    EXPECT_FALSE(List(9).Checked(native));
    EXPECT_EQ(ValueIn(View::Wow32, "Run", "Shared"), "C:\\Program Files (x86)\\Shared\\shared.exe");
    EXPECT_EQ(ValueIn(View::Native, "Run", "Native64"), "C:\\Program Files\\Native\\native64.exe /tray");
    ClickCheckBox(9, native);
    EXPECT_TRUE(WaitUntil([] { return ValueIn(View::Native, "Run", "Shared") != "(none)"; }, 3000));
    DWORD type = 0;
    EXPECT_EQ(ValueIn(View::Native, "Run", "Shared", &type), "C:\\Program Files\\Shared\\shared.exe");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(ValueIn(View::Wow32, "Run", "Shared"), "C:\\Program Files (x86)\\Shared\\shared.exe");
    EXPECT_EQ(Sorted(NamesIn(View::Wow32, "Run")), (std::vector<std::string>{"Shared", "Wow32"}));

    // Section 12: the 32-bit view only.
    const int wow = RowOf(List(12), "Shared");
    ClickCheckBox(12, wow);
    EXPECT_TRUE(WaitUntil([] { return ValueIn(View::Wow32, "Run", "Shared") == "(none)"; }, 3000));
    EXPECT_FALSE(List(12).Checked(wow));
    EXPECT_EQ(ValueIn(View::Native, "Run", "Shared"), "C:\\Program Files\\Shared\\shared.exe");
    const int wowOnly = RowOf(List(12), "Wow32");
    ClickCheckBox(12, wowOnly);
    EXPECT_TRUE(WaitUntil([] { return ValueIn(View::Wow32, "Run", "Wow32") == "(none)"; }, 3000));
    EXPECT_EQ(Sorted(NamesIn(View::Native, "Run")), (std::vector<std::string>{"Native64", "Shared"}));
    SaveScreenshot("wow64-32-bit-values-unchecked");
    ClickCheckBox(12, wow);
    ClickCheckBox(12, wowOnly);
    EXPECT_TRUE(WaitUntil([] { return ValueIn(View::Wow32, "Run", "Wow32") != "(none)"; }, 3000));
    EXPECT_EQ(ValueIn(View::Wow32, "Run", "Shared"), "C:\\Program Files (x86)\\Shared\\shared.exe");
    EXPECT_EQ(ValueIn(View::Wow32, "Run", "Wow32"), "C:\\Program Files (x86)\\Wow\\wow32.exe");
    EXPECT_EQ(ValueIn(View::Native, "Run", "Wow32"), "(none)");
    EXPECT_EQ(Sorted(NamesIn(View::Native, "Run")), (std::vector<std::string>{"Native64", "Shared"}));
}

// Windows' own switch of a value of the 32-bit programs' run key is its "Run32" record, kept in
// the native view; the native key's values have their "Run" records. Section 12 reads and turns
// on its own records only, and section 9 its own; the 32-bit view's keys of those names hold no
// record of the system's.
TEST_F(OnA64BitSystem, TheSwitchOfA32BitRunValueIsItsRun32RecordInTheNativeView) {
    CheckTheViewsAreSplit();
    PutValue(View::Wow32, "Run", "WowTray", "C:\\Program Files (x86)\\Tray\\tray.exe /quiet");
    PutValue(View::Wow32, "Run", "WowPlain", "C:\\Program Files (x86)\\Plain\\plain.exe");
    PutValue(View::Native, "Run", "NativeTray", "C:\\Program Files\\Tray\\tray64.exe");
    PutValue(View::Native, "Run", "NativePlain", "C:\\Program Files\\Plain\\plain64.exe");
    PutRecord(View::Native, "Run32", L"WowTray", kSwitchedOff);
    PutRecord(View::Native, "Run", L"NativeTray", kSwitchedOff);
    // Each key's records are no switches of the other key's values of those names.
    PutRecord(View::Native, "Run", L"WowPlain", kSwitchedOff);
    PutRecord(View::Native, "Run32", L"NativePlain", kSwitchedOff);
    // Nor are the 32-bit view's keys of the same names.
    PutRecord(View::Wow32, "Run32", L"WowPlain", kSwitchedOff);
    PutRecord(View::Wow32, "Run", L"WowPlain", kSwitchedOff);
    ASSERT_TRUE(RecordIn(View::Native, "Run32", L"WowPlain").empty()) << "the records' keys are split too";
    Open();
    ShowForInput(form->Handle());

    ASSERT_EQ(List(12).Count(), 2);
    ASSERT_EQ(List(9).Count(), 2);
    const int wowTray = RowOf(List(12), "WowTray");
    const int wowPlain = RowOf(List(12), "WowPlain");
    const int nativeTray = RowOf(List(9), "NativeTray");
    const int nativePlain = RowOf(List(9), "NativePlain");
    EXPECT_FALSE(List(12).Checked(wowTray));
    EXPECT_TRUE(List(12).Checked(wowPlain));
    EXPECT_FALSE(List(9).Checked(nativeTray));
    EXPECT_TRUE(List(9).Checked(nativePlain));
    SaveScreenshot("wow64-run32-switched-off");

    // Selecting the switched-off row deletes nothing.
    const POINT label = RowPoint(List(12).Handle(), wowTray, LVHT_ONITEMLABEL);
    ASSERT_GE(label.x, 0);
    ExpectNoDialog([&] { ClickAt(List(12).Handle(), label.x, label.y); });
    EXPECT_TRUE(WaitUntil([&] { return ListView_GetItemState(List(12).Handle(), wowTray, LVIS_SELECTED) != 0; }));
    WaitPastDoubleClickTime();
    EXPECT_EQ(ValueIn(View::Wow32, "Run", "WowTray"), "C:\\Program Files (x86)\\Tray\\tray.exe /quiet");
    EXPECT_EQ(RecordIn(View::Native, "Run32", L"WowTray"), kSwitchedOff);

    // A check turns on the Run32 record in the native view, and nothing else.
    ClickCheckBox(12, wowTray);
    EXPECT_TRUE(WaitUntil([] { return RecordIn(View::Native, "Run32", L"WowTray") == kSwitchedOn; }, 3000));
    EXPECT_TRUE(List(12).Checked(wowTray));
    DWORD type = 0;
    EXPECT_EQ(ValueIn(View::Wow32, "Run", "WowTray", &type), "C:\\Program Files (x86)\\Tray\\tray.exe /quiet");
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(RecordIn(View::Native, "Run", L"NativeTray"), kSwitchedOff);
    EXPECT_EQ(RecordIn(View::Native, "Run32", L"NativePlain"), kSwitchedOff);
    EXPECT_EQ(RecordIn(View::Wow32, "Run32", L"WowPlain"), kSwitchedOff);
    EXPECT_TRUE(RecordIn(View::Wow32, "Run32", L"WowTray").empty()) << "a record was made in the 32-bit view";
    EXPECT_FALSE(List(9).Checked(nativeTray));
    // Then it is an ordinary row: unchecking deletes the value in its own view only.
    ClickCheckBox(12, wowTray);
    EXPECT_TRUE(WaitUntil([] { return ValueIn(View::Wow32, "Run", "WowTray") == "(none)"; }, 3000));
    EXPECT_EQ(Sorted(NamesIn(View::Native, "Run")), (std::vector<std::string>{"NativePlain", "NativeTray"}));

    // Section 9's switched-off value has its Run record turned on; the Run32 records stay.
    ClickCheckBox(9, nativeTray);
    EXPECT_TRUE(WaitUntil([] { return RecordIn(View::Native, "Run", L"NativeTray") == kSwitchedOn; }, 3000));
    EXPECT_TRUE(List(9).Checked(nativeTray));
    EXPECT_EQ(ValueIn(View::Native, "Run", "NativeTray"), "C:\\Program Files\\Tray\\tray64.exe");
    EXPECT_EQ(RecordIn(View::Native, "Run32", L"NativePlain"), kSwitchedOff);
    EXPECT_EQ(RecordIn(View::Native, "Run", L"WowPlain"), kSwitchedOff);
}

// RunOnce and RunServices of both views, each in its own section, toggled in its own view.
TEST_F(OnA64BitSystem, RunOnceAndRunServicesOfBothViewsHaveTheirOwnSections) {
    CheckTheViewsAreSplit();
    PutValue(View::Native, "RunOnce", "NativeOnce", "n1.exe");
    PutValue(View::Native, "RunServices", "NativeService", "ns.exe");
    PutValue(View::Native, "RunServices", "NativeService2", "ns2.exe");
    PutValue(View::Wow32, "RunOnce", "WowOnce", "w1.exe");
    PutValue(View::Wow32, "RunOnce", "WowOnce2", "w2.exe");
    PutValue(View::Wow32, "RunOnce", "WowOnce3", "w3.exe");
    PutValue(View::Wow32, "RunServices", "WowService", "ws.exe");
    Open();
    const struct {
        int section;
        View view;
        const char* key;
    } sections[] = {{10, View::Native, "RunOnce"},
                    {11, View::Native, "RunServices"},
                    {13, View::Wow32, "RunOnce"},
                    {14, View::Wow32, "RunServices"}};
    for (const auto& s : sections) {
        SCOPED_TRACE("section " + std::to_string(s.section));
        EXPECT_EQ(Box(s.section).Title(), s.section < 12 ? NativeTitle("HKEY_LOCAL_MACHINE", s.key) : NodeTitle(s.key));
        const auto names = NamesIn(s.view, s.key);
        EXPECT_EQ(Captions(List(s.section)), names);
        EXPECT_EQ(Box(s.section).Height(), FilledHeight(s.section, static_cast<int>(names.size())));
    }
    EXPECT_EQ(Sorted(Captions(List(13))), (std::vector<std::string>{"WowOnce", "WowOnce2", "WowOnce3"}));
    EXPECT_EQ(ShownSections(), (std::vector<int>{10, 11, 13, 14}));

    ExpectNoDialog([&] { List(14).SetChecked(0, false); });
    EXPECT_EQ(ValueIn(View::Wow32, "RunServices", "WowService"), "(none)");
    EXPECT_EQ(Sorted(NamesIn(View::Native, "RunServices")),
              (std::vector<std::string>{"NativeService", "NativeService2"}));
    ExpectNoDialog([&] { List(11).SetChecked(RowOf(List(11), "NativeService2"), false); });
    EXPECT_EQ(ValueIn(View::Native, "RunServices", "NativeService2"), "(none)");
    ExpectNoDialog([&] { List(14).SetChecked(0, true); });
    EXPECT_EQ(ValueIn(View::Wow32, "RunServices", "WowService"), "ws.exe");
    EXPECT_EQ(NamesIn(View::Native, "RunServices"), (std::vector<std::string>{"NativeService"}));
    ExpectNoDialog([&] { List(10).SetChecked(0, false); });
    EXPECT_EQ(ValueIn(View::Native, "RunOnce", "NativeOnce"), "(none)");
    EXPECT_EQ(NamesIn(View::Wow32, "RunOnce").size(), 3u);
}

// The current user's keys are one key in both views: a value of the user's Run key is listed
// once, in section 7, and the added sections are the local machine's only.
TEST_F(OnA64BitSystem, TheCurrentUsersRunValueIsListedOnce) {
    SetStringValue(HKEY_CURRENT_USER, kRunKeyBase + std::string("Run"), "UserTool", "C:\\user\\tool.exe");
    Open();
    const HWND window = CreateAndShow();
    ChooseShowEmptyWithKeys(window);
    int listed = 0;
    for (int section = 5; section <= 14; ++section) {
        for (const auto& caption : Captions(List(section))) {
            if (caption == "UserTool") {
                ++listed;
                EXPECT_EQ(section, 7);
            }
        }
    }
    EXPECT_EQ(listed, 1);
    for (int section = 12; section <= 14; ++section)
        EXPECT_EQ(Box(section).Title().find("HKEY_CURRENT_USER"), std::string::npos) << section;
}

// "Show empty startups" shows all fourteen sections in their order with their titles, stacked
// without gaps; the added ones are the window's direct children after GroupBox11, each holding
// one report list made as ListView5 to ListView7 are.
TEST_F(OnA64BitSystem, ShowEmptyStartupsShowsFourteenSectionsInOrder) {
    PointStartupFolders();
    // The all-users folder as a 64-bit system keeps it: in the native view.
    PutValue(View::Native, "Explorer\\Shell Folders", "Common Startup", CommonStartup());
    const HWND window = CreateAndShow();
    EXPECT_TRUE(VisibleSections(*form).empty());
    ChooseShowEmptyWithKeys(window);
    EXPECT_EQ(VisibleSections(*form), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14}));
    const char* const runKeys[] = {"Run", "RunOnce"};
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(Box(7 + i).Title(), NativeTitle("HKEY_CURRENT_USER", runKeys[i]));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(Box(9 + i).Title(), NativeTitle("HKEY_LOCAL_MACHINE", kLocalKeys[i]));
        EXPECT_EQ(Box(12 + i).Title(), NodeTitle(kLocalKeys[i]));
        EXPECT_EQ(Box(12 + i).Height(), 57);
        EXPECT_EQ(List(12 + i).Count(), 0);
    }
    EXPECT_EQ(Box(6).Title(), CommonStartup());
    // Stacked in the table's order, each right below the one before.
    int top = RectInParent(Box(1).Handle()).top;
    for (int section = 1; section <= 14; ++section) {
        const RECT rect = RectInParent(Box(section).Handle());
        EXPECT_EQ(rect.top, top) << section;
        EXPECT_EQ(rect.bottom - rect.top, Box(section).Height()) << section;
        top = rect.bottom;
    }
    SaveScreenshot("wow64-show-empty-startups");

    std::vector<int> ids;
    for (HWND child : Children(window)) {
        EXPECT_EQ(ClassOf(child), "Button");
        ids.push_back(GetDlgCtrlID(child));
    }
    EXPECT_EQ(ids, (std::vector<int>{101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111, 112, 113, 114}));
    const HWND model = GetDlgItem(GetDlgItem(window, 109), 305);
    ASSERT_TRUE(model);
    // ListView5 to ListView7 are made alike.
    for (int number = 6; number <= 7; ++number)
        EXPECT_EQ(GetWindowLongA(form->ListViewN(number).Handle(), GWL_STYLE), GetWindowLongA(model, GWL_STYLE));
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE("GroupBox" + std::to_string(12 + i));
        const HWND box = GetDlgItem(window, 112 + i);
        ASSERT_TRUE(box);
        EXPECT_EQ(box, Box(12 + i).Handle());
        char caption[256] = {};
        GetWindowTextA(box, caption, sizeof caption);
        EXPECT_EQ(caption, NodeTitle(kLocalKeys[i]));
        const auto inside = Children(box);
        ASSERT_EQ(inside.size(), 1u);
        const HWND list = inside[0];
        EXPECT_EQ(GetDlgCtrlID(list), 308 + i);
        EXPECT_EQ(ClassOf(list), "SysListView32");
        EXPECT_EQ(list, List(12 + i).Handle());
        EXPECT_EQ(GetWindowLongA(list, GWL_STYLE), GetWindowLongA(model, GWL_STYLE));
        EXPECT_EQ(GetWindowLongA(list, GWL_EXSTYLE), GetWindowLongA(model, GWL_EXSTYLE));
        EXPECT_EQ(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0),
                  SendMessageA(model, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
        EXPECT_EQ(ColumnHeading(list, 0), "Displayname");
        EXPECT_EQ(ColumnHeading(list, 1), "Fullname");
        EXPECT_EQ(ColumnHeading(list, 2), "(none)");
        EXPECT_EQ(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0), 0) << "no icons, as ListView5";
    }
}

// The all-users Startup folder is the one the native view's Shell Folders names, at the first
// refresh (read beside the window's making) and at a later one.
TEST_F(OnA64BitSystem, TheAllUsersStartupFolderIsTheNativeViewsCommonStartup) {
    CheckTheViewsAreSplit();
    const std::string nativeFolder = folder.File("NativeCommon");
    const std::string wowFolder = folder.File("WowCommon");
    CreateDirectoryA(nativeFolder.c_str(), nullptr);
    CreateDirectoryA(wowFolder.c_str(), nullptr);
    WriteBytes(nativeFolder + "\\native.txt", "n");
    WriteBytes(wowFolder + "\\wow.txt", "w");
    PutValue(View::Native, "Explorer\\Shell Folders", "Common Startup", nativeFolder);
    PutValue(View::Wow32, "Explorer\\Shell Folders", "Common Startup", wowFolder);
    ASSERT_EQ(ValueIn(View::Wow32, "Explorer\\Shell Folders", "Common Startup"), wowFolder);
    Open();
    EXPECT_EQ(Box(6).Title(), nativeFolder);
    ASSERT_EQ(form->ListViewN(2).Count(), 1);
    EXPECT_EQ(form->ListViewN(2).Fullname(0), nativeFolder + "\\native.txt");
    ExpectNoDialog([&] { SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDM_HIDEEMPTYSTARTUPS, 0), 0); });
    EXPECT_EQ(Box(6).Title(), nativeFolder);
    ASSERT_EQ(form->ListViewN(2).Count(), 1);
    EXPECT_EQ(form->ListViewN(2).Fullname(0), nativeFolder + "\\native.txt");
}

// A number value in a 32-bit run key ends the refresh at its section, as in any run key: the
// sections after it keep what they showed.
TEST_F(OnA64BitSystem, ANumberValueInA32BitKeyStopsOnlyItsSection) {
    CheckTheViewsAreSplit();
    PutValue(View::Wow32, "Run", "Fine", "fine.exe");
    PutValue(View::Wow32, "RunOnce", "Before", "before.exe");
    PutNumber(View::Wow32, "RunOnce", "Counter", 7);
    PutValue(View::Wow32, "RunServices", "After", "after.exe");
    const DialogLook look = RunLookingAtErrorDialog([&] { form->Create(); });
    EXPECT_TRUE(look.shown);
    EXPECT_EQ(look.text, "Invalid data type for 'Counter'");
    EXPECT_EQ(Captions(List(12)), std::vector<std::string>{"Fine"});
    EXPECT_EQ(Box(13).Title(), NodeTitle("RunOnce"));
    EXPECT_EQ(Captions(List(13)), std::vector<std::string>{"Before"});
    EXPECT_EQ(Box(13).Height(), 57) << "neither resized nor hidden";
    EXPECT_TRUE(Box(13).IsVisible());
    // The section after it loads all the same.
    EXPECT_EQ(Box(14).Title(), NodeTitle("RunServices"));
    EXPECT_EQ(Captions(List(14)), std::vector<std::string>{"After"});
    EXPECT_EQ(Box(14).Height(), FilledHeight(14, 1));

    RemoveValue(View::Wow32, "RunOnce", "Counter");
    ExpectNoDialog([&] { SendMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDM_HIDEEMPTYSTARTUPS, 0), 0); });
    EXPECT_EQ(Box(14).Title(), NodeTitle("RunServices"));
    EXPECT_EQ(Captions(List(14)), std::vector<std::string>{"After"});
    EXPECT_EQ(Box(13).Height(), FilledHeight(13, 1));
}

// The same on the test prefix's own local machine, without the sandbox: the 64-bit prefix is
// made for the test run and thrown away after it, and carries the scripts' mark of such a
// prefix (InThrowawayPrefix); anywhere else the test does not run, so that it never writes a real
// machine's run keys. The values added have names of their own and are removed again from both
// views.
class OnA64BitSystemRealRegistry : public testing::Test {
  protected:
    void SetUp() override {
        if (!InThrowawayPrefix())
            GTEST_SKIP() << "writes the local machine's own run keys: only in the test run's throwaway prefix; "
                         << NotAThrowawayPrefixMessage();
    }
    OnA64BitSystemRealRegistry() : tag_("DawnrollTest" + std::to_string(GetCurrentProcessId())) {
        SourceLocators locators;
        locators.configSys = folder_.File("CONFIG.SYS");
        locators.autoexecBat = folder_.File("AUTOEXEC.BAT");
        locators.windowsFolder = [this] { return folder_.Path(); };
        form_ = std::make_unique<TFormDawnroll>(locators);
    }
    void TearDown() override {
        form_.reset();
        PumpMessages();
        for (View view : {View::Native, View::Wow32}) {
            HKEY handle = nullptr;
            if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, (kCurrentVersion + std::string("Run")).c_str(), 0,
                              KEY_ALL_ACCESS | Flag(view), &handle) == ERROR_SUCCESS) {
                for (const char* which : {"-native", "-wow"})
                    RegDeleteValueA(handle, (tag_ + which).c_str());
                RegCloseKey(handle);
            }
        }
    }
    ScratchFolder folder_;
    std::string tag_;
    std::unique_ptr<TFormDawnroll> form_;
};

TEST_F(OnA64BitSystemRealRegistry, TheLocalMachinesRunKeysOfBothViewsAreListedAndToggledApart) {
    // Whether a row lies inside the window's client area.
    const auto RowInSight = [&](EntryListView& list, int row) {
        RECT rect = {};
        ListView_GetItemRect(list.Handle(), row, &rect, LVIR_BOUNDS);
        MapWindowPoints(list.Handle(), form_->Handle(), reinterpret_cast<POINT*>(&rect), 2);
        RECT client = {};
        GetClientRect(form_->Handle(), &client);
        return rect.top >= 0 && rect.bottom <= client.bottom;
    };
    const std::string native = tag_ + "-native";
    const std::string wow = tag_ + "-wow";
    PutValue(View::Native, "Run", native, "C:\\native.exe");
    PutValue(View::Wow32, "Run", wow, "C:\\wow.exe");
    ASSERT_EQ(ValueIn(View::Native, "Run", wow), "(none)") << "the prefix keeps two views";
    ExpectNoDialog([&] { form_->Create(); });
    ShowForInput(form_->Handle());
    EntryListView& section9 = form_->ListViewN(5);
    EntryListView& section12 = form_->ListViewN(8);
    EXPECT_EQ(Captions(section9), NamesIn(View::Native, "Run"));
    EXPECT_EQ(Captions(section12), NamesIn(View::Wow32, "Run"));
    EXPECT_EQ(form_->GroupBoxN(12).Title(), NodeTitle("Run"));

    for (auto* list : {&section9, &section12}) {
        const bool isNative = list == &section9;
        const std::string name = isNative ? native : wow;
        const View own = isNative ? View::Native : View::Wow32;
        const View other = isNative ? View::Wow32 : View::Native;
        SCOPED_TRACE(name);
        const int row = RowOf(*list, name);
        ASSERT_GE(row, 0);
        // The prefix's own sources may hold other programs' entries, which push section 12
        // below the window's edge: the mouse wheel brings it into sight, as a user scrolls.
        for (int notch = 0; notch < 30 && !RowInSight(*list, row); ++notch)
            TurnWheelOver(form_->Handle(), -1);
        ASSERT_TRUE(RowInSight(*list, row));
        const POINT box = RowPoint(list->Handle(), row, LVHT_ONITEMSTATEICON);
        ASSERT_GE(box.x, 0);
        const auto otherBefore = NamesIn(other, "Run");
        ExpectNoDialog([&] { ClickAt(list->Handle(), box.x, box.y); });
        EXPECT_TRUE(WaitUntil([&] { return ValueIn(own, "Run", name) == "(none)"; }, 3000));
        EXPECT_EQ(NamesIn(other, "Run"), otherBefore);
        WaitPastDoubleClickTime();
        ExpectNoDialog([&] { ClickAt(list->Handle(), box.x, box.y); });
        EXPECT_TRUE(WaitUntil([&] { return ValueIn(own, "Run", name) != "(none)"; }, 3000));
        EXPECT_EQ(ValueIn(own, "Run", name), isNative ? "C:\\native.exe" : "C:\\wow.exe");
        EXPECT_EQ(NamesIn(other, "Run"), otherBefore);
        WaitPastDoubleClickTime();
    }
}

TEST_F(OnA32BitSystem, TheWindowKnowsTheSystemIs32Bit) {
    EXPECT_FALSE(form->OnA64BitSystem());
    EXPECT_EQ(form->SectionCount(), 11);
}

// On a 32-bit system there is one view and no sections for another: exactly eleven group boxes
// exist, also with "Show empty startups", and a key named Wow6432Node is nobody's 32-bit view.
TEST_F(OnA32BitSystem, ElevenGroupBoxesAlsoWithShowEmptyStartups) {
    PointStartupFolders();
    PutValue(View::Native, "Run", "Tool", "tool.exe");
    SetStringValue(HKEY_LOCAL_MACHINE, kNodeCurrentVersion + std::string("Run"), "NodeValue", "node.exe");
    const HWND window = CreateAndShow();
    EXPECT_EQ(Captions(List(9)), std::vector<std::string>{"Tool"});
    ChooseShowEmptyWithKeys(window);
    EXPECT_EQ(VisibleSections(*form), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    std::vector<int> ids;
    for (HWND child : Children(window)) {
        EXPECT_EQ(ClassOf(child), "Button");
        ids.push_back(GetDlgCtrlID(child));
    }
    EXPECT_EQ(ids, (std::vector<int>{101, 102, 103, 104, 105, 106, 107, 108, 109, 110, 111}));
    for (int id : {112, 113, 114, 308, 309, 310})
        EXPECT_FALSE(AnyWindowWithId(window, id)) << id;
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Box(9 + i).Title(), NativeTitle("HKEY_LOCAL_MACHINE", kLocalKeys[i]));
    for (int section = 5; section <= 11; ++section) {
        for (const auto& caption : Captions(List(section)))
            EXPECT_NE(caption, "NodeValue") << section;
    }
    SaveScreenshot("win32-show-empty-startups");
}
} // namespace
