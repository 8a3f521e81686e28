// The main window as a user meets it: the "Display" menu chosen with real keys and clicks, the
// sections' stacking, scrolling and resizing, the title, the error dialog at start, and the
// column widths of the entry lists.
#include "FormDriving.h"
#include "ImportPatch.h"

#include "ui/ControlMessages.h"
#include "ui/Resource.h"

#include <gtest/gtest.h>

namespace {
const char* const kRunKeyNames[] = {"Run", "RunOnce", "Run", "RunOnce", "RunServices"};

std::string RunKeyTitle(int section) {
    const char* root = section <= 8 ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
    return std::string("My Computer\\") + root + "\\" + kRunKeyBase + kRunKeyNames[section - 7];
}

HWND ListOf(TFormDawnroll& form, int section) {
    return section <= 4 ? form.CheckListBoxN(section).Handle() : form.ListViewN(section - 4).Handle();
}

// The section's list shows every line or row it holds, without a scroll bar of its own.
bool ShowsAllEntries(TFormDawnroll& form, int section) {
    const HWND list = ListOf(form, section);
    if (GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL)
        return false;
    RECT client = {};
    GetClientRect(list, &client);
    if (section <= 4) {
        const auto count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        return SendMessageA(list, LB_GETTOPINDEX, 0, 0) == 0 &&
               count * SendMessageA(list, LB_GETITEMHEIGHT, 0, 0) <= client.bottom;
    }
    return SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0) >= SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
}

bool HasVerticalScrollBar(HWND window) {
    return (GetWindowLongA(window, GWL_STYLE) & WS_VSCROLL) != 0;
}

// The visible sections lie one below the other from the top of the client area (less the
// scroll position), in the table's order, without gaps, each as tall as its own height and
// as wide as the client area; each list fills its section inside the frame.
void ExpectStacked(TFormDawnroll& form) {
    RECT client = {};
    GetClientRect(form.Handle(), &client);
    int top = -ScrollPosition(form.Handle());
    for (int number : VisibleSections(form)) {
        SCOPED_TRACE("section " + std::to_string(number));
        Section& box = form.GroupBoxN(number);
        const RECT rect = RectInParent(box.Handle());
        EXPECT_EQ(rect.top, top);
        EXPECT_EQ(rect.left, 0);
        EXPECT_EQ(rect.right, client.right);
        EXPECT_EQ(rect.bottom - rect.top, box.Height());
        const int width = rect.right - rect.left;
        const int height = rect.bottom - rect.top;
        const RECT list = RectInParent(ListOf(form, number));
        EXPECT_EQ(list.left, 2);
        EXPECT_EQ(list.top, 15);
        EXPECT_EQ(list.right, width - 2);
        EXPECT_EQ(list.bottom, height - 2);
        EXPECT_TRUE(ShowsAllEntries(form, number)) << "the list needs no scrolling of its own";
        top += height;
    }
}

int StackHeight(TFormDawnroll& form) {
    int total = 0;
    for (int number : VisibleSections(form))
        total += form.GroupBoxN(number).Height();
    return total;
}

int BootFileHeight(TFormDawnroll& form, int section, int lines) {
    const int h = TextExtentIn(form.CheckListBoxN(section).Handle(), "REM").cy;
    return (lines + 1) * h + 21;
}

void ExpectOneOptionChecked(HWND window, bool hideEmpty) {
    EXPECT_EQ(MenuItemChecked(window, IDM_HIDEEMPTYSTARTUPS), hideEmpty);
    EXPECT_EQ(MenuItemChecked(window, IDM_SHOWEMPTYSTARTUPS), !hideEmpty);
}

// "Display" is the first menu; its items are "Hide empty startups", "Show empty startups".
void ChooseWithKeys(HWND window, bool hideEmpty) {
    if (hideEmpty)
        PressKeys(window, {VK_MENU, VK_DOWN, VK_RETURN});
    else
        PressKeys(window, {VK_MENU, VK_DOWN, VK_DOWN, VK_RETURN});
}

void ChooseWithMouse(HWND window, bool hideEmpty) {
    ChooseMenuItemWithMouse(window, 0, hideEmpty ? 0 : 1);
}

class WindowTest : public FormTest {};

TEST_F(WindowTest, TitleNamesProgramAndVersion) {
    Create();
    char title[256] = {};
    GetWindowTextA(Window(), title, sizeof title);
    EXPECT_EQ(std::string(title).rfind(TitleStart(), 0), 0u) << title;
    EXPECT_GT(std::string(title).size(), TitleStart().size()) << "a maker's notice follows";
    char className[64] = {};
    GetClassNameA(Window(), className, sizeof className);
    EXPECT_STREQ(className, "TFormDawnroll");
    EXPECT_FALSE(IsWindowVisible(Window())) << "creating does not show the window";
}

// The entry lists are the list views of version 6 of the common controls, as in the program
// itself: the class's (Unicode) window procedure lies in the side-by-side assembly of the
// common controls 6.0, not in the system folder's comctl32 of version 5.
TEST_F(WindowTest, EntryListsAreListViewsOfCommonControlsVersionSix) {
    Create();
    const auto procedure = reinterpret_cast<LPCSTR>(GetClassLongPtrW(form->ListViewN(1).Handle(), GCLP_WNDPROC));
    HMODULE controls = nullptr;
    ASSERT_TRUE(GetModuleHandleExA(
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT, procedure, &controls));
    char path[MAX_PATH] = {};
    GetModuleFileNameA(controls, path, sizeof path);
    std::string lower = path;
    CharLowerBuffA(&lower[0], static_cast<DWORD>(lower.size()));
    const std::string assembly = sizeof(void*) == 8 ? "\\winsxs\\amd64_" : "\\winsxs\\x86_";
    EXPECT_NE(lower.find(assembly + "microsoft.windows.common-controls_6595b64144ccf1df_6.0."), std::string::npos)
        << path;
    EXPECT_NE(lower.rfind("\\comctl32.dll"), std::string::npos) << path;
    EXPECT_NE(GetClassLongPtrA(Window(), GCLP_HICON), 0) << "the window carries the program's icon";
}

TEST_F(WindowTest, DisplayMenuShowsAndHidesEmptySectionsByKeyboardAndMouse) {
    WriteBytes(ConfigSys(), Lines({"DEVICE=a.sys", "FILES=30"}));
    PointStartupFolders();
    const HWND window = CreateAndShow();
    ExpectOneOptionChecked(window, true);
    EXPECT_EQ(VisibleSections(*form), std::vector<int>{1});
    ExpectStacked(*form);

    ChooseWithKeys(window, false);
    ExpectOneOptionChecked(window, false);
    EXPECT_EQ(VisibleSections(*form), AllSections(*form));
    EXPECT_EQ(form->GroupBoxN(1).Title(), ConfigSys());
    EXPECT_EQ(form->GroupBoxN(1).Height(), BootFileHeight(*form, 1, 2));
    // An unopenable boot file shows its path, an empty list and its designed height.
    EXPECT_EQ(form->GroupBoxN(2).Title(), AutoexecBat());
    EXPECT_EQ(form->CheckListBoxN(2).Count(), 0);
    EXPECT_EQ(form->GroupBoxN(2).Height(), 41);
    EXPECT_EQ(form->GroupBoxN(3).Title(), folder.File("WIN.INI") + ", [Windows], Load=");
    EXPECT_EQ(form->GroupBoxN(4).Title(), folder.File("WIN.INI") + ", [Windows], Run=");
    EXPECT_EQ(form->GroupBoxN(5).Title(), UserStartup());
    EXPECT_EQ(form->GroupBoxN(6).Title(), CommonStartup());
    for (int section = 3; section <= 4; ++section)
        EXPECT_EQ(form->GroupBoxN(section).Height(), 41) << section;
    for (int section = 5; section <= 11; ++section) {
        EXPECT_EQ(form->GroupBoxN(section).Height(), 57) << section;
        EXPECT_EQ(form->ListViewN(section - 4).Count(), 0) << section;
        if (section >= 7) {
            EXPECT_EQ(form->GroupBoxN(section).Title(), RunKeyTitle(section));
        }
    }
    ExpectStacked(*form);
    SaveScreenshot("window-show-empty-startups");

    // Choosing the checked option again reloads: a line added meanwhile appears.
    WriteBytes(ConfigSys(), Lines({"DEVICE=a.sys", "FILES=30", "BUFFERS=20"}));
    ChooseWithMouse(window, false);
    ExpectOneOptionChecked(window, false);
    EXPECT_EQ(form->CheckListBoxN(1).Count(), 3);
    EXPECT_EQ(form->GroupBoxN(1).Height(), BootFileHeight(*form, 1, 3));
    EXPECT_EQ(VisibleSections(*form), AllSections(*form));
    ExpectStacked(*form);

    ChooseWithMouse(window, true);
    ExpectOneOptionChecked(window, true);
    EXPECT_EQ(VisibleSections(*form), std::vector<int>{1});
    ExpectStacked(*form);

    WriteBytes(ConfigSys(), Lines({"DEVICE=a.sys"}));
    WriteBytes(AutoexecBat(), Lines({"@ECHO OFF", "PATH C:\\DOS"}));
    ChooseWithKeys(window, true);
    ExpectOneOptionChecked(window, true);
    EXPECT_EQ(VisibleSections(*form), (std::vector<int>{1, 2}));
    EXPECT_EQ(form->CheckListBoxN(1).Count(), 1);
    EXPECT_EQ(form->CheckListBoxN(2).Count(), 2);
    EXPECT_EQ(form->GroupBoxN(2).Height(), BootFileHeight(*form, 2, 2));
    ExpectStacked(*form);
}

TEST_F(WindowTest, EveryEmptySourceHiddenLeavesOnlyTheMenu) {
    PointStartupFolders();
    const HWND window = CreateAndShow();
    EXPECT_TRUE(VisibleSections(*form).empty());
    EXPECT_FALSE(HasVerticalScrollBar(window));
    EXPECT_NE(GetMenu(window), nullptr);

    // A boot file that opens but is empty is not an empty section: it shows with no lines.
    WriteBytes(ConfigSys(), "");
    ChooseWithKeys(window, true);
    EXPECT_EQ(VisibleSections(*form), std::vector<int>{1});
    EXPECT_EQ(form->GroupBoxN(1).Height(), BootFileHeight(*form, 1, 0));
    ExpectStacked(*form);
}

TEST_F(WindowTest, SectionsStackInTableOrderWithTheirOwnHeights) {
    WriteBytes(ConfigSys(), Lines({"DEVICE=a.sys", "DEVICE=b.sys", "FILES=30"}));
    WriteBytes(AutoexecBat(), Lines({"@ECHO OFF"}));
    PointStartupFolders();
    WriteBytes(UserStartup() + "\\one.txt", "1");
    WriteBytes(UserStartup() + "\\two.txt", "2");
    SetStringValue(HKEY_CURRENT_USER, std::string(kRunKeyBase) + "RunOnce", "Once", "once.exe");
    SetStringValue(HKEY_LOCAL_MACHINE, std::string(kRunKeyBase) + "RunServices", "First", "first.exe");
    SetStringValue(HKEY_LOCAL_MACHINE, std::string(kRunKeyBase) + "RunServices", "Second", "second.exe");
    SetStringValue(HKEY_LOCAL_MACHINE, std::string(kRunKeyBase) + "RunServices", "Third", "third.exe");
    const HWND window = CreateAndShow();
    EXPECT_EQ(VisibleSections(*form), (std::vector<int>{1, 2, 5, 8, 11}));
    EXPECT_EQ(form->GroupBoxN(1).Height(), BootFileHeight(*form, 1, 3));
    EXPECT_EQ(form->GroupBoxN(2).Height(), BootFileHeight(*form, 2, 1));
    const int h = TextExtentIn(form->ListViewN(1).Handle(), "REM").cy;
    EXPECT_EQ(form->GroupBoxN(5).Height(), h * 3 + 42);
    EXPECT_EQ(form->GroupBoxN(8).Height(), (h + 4) * 2 + 42);
    EXPECT_EQ(form->GroupBoxN(11).Height(), (h + 4) * 4 + 42);
    ExpectStacked(*form);
    EXPECT_FALSE(HasVerticalScrollBar(window));

    // Emptied sources: with the option off the sections keep the heights loaded before.
    DeleteFileA(AutoexecBat().c_str());
    DeleteKeyTree(HKEY_CURRENT_USER, std::string(kRunKeyBase) + "RunOnce");
    ChooseWithKeys(window, false);
    EXPECT_EQ(VisibleSections(*form), AllSections(*form));
    EXPECT_EQ(form->GroupBoxN(2).Height(), BootFileHeight(*form, 2, 1));
    EXPECT_EQ(form->GroupBoxN(8).Height(), (h + 4) * 2 + 42);
    EXPECT_EQ(form->GroupBoxN(9).Height(), 57);
    ExpectStacked(*form);
    ChooseWithKeys(window, true);
    EXPECT_EQ(VisibleSections(*form), (std::vector<int>{1, 5, 11}));
    ExpectStacked(*form);
}

TEST_F(WindowTest, TallStackScrollsAndFarCheckBoxesCanBeClicked) {
    std::vector<std::string> many;
    for (int i = 0; i < 90; ++i)
        many.push_back("SET VARIABLE" + std::to_string(i) + "=x");
    WriteBytes(ConfigSys(), Lines(many));
    WriteBytes(AutoexecBat(), Lines({"@ECHO OFF", "PATH C:\\DOS"}));
    SetStringValue(HKEY_CURRENT_USER, std::string(kRunKeyBase) + "Run", "Tool", "tool.exe");
    const HWND window = CreateAndShow();
    RECT client = {};
    GetClientRect(window, &client);
    const int total = StackHeight(*form);
    ASSERT_GT(total, client.bottom) << "the boot file must not fit the screen";
    EXPECT_TRUE(HasVerticalScrollBar(window));
    SCROLLINFO scroll = {};
    scroll.cbSize = sizeof scroll;
    scroll.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(window, SB_VERT, &scroll));
    EXPECT_EQ(scroll.nMin, 0);
    EXPECT_EQ(scroll.nMax + 1, total);
    EXPECT_EQ(static_cast<int>(scroll.nPage), client.bottom);
    EXPECT_EQ(scroll.nPos, 0);
    ExpectStacked(*form);

    SendMessageA(window, WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(ScrollPosition(window), 13);
    EXPECT_EQ(RectInParent(form->GroupBoxN(1).Handle()).top, -13);
    ExpectStacked(*form);

    // The wheel, turned towards the user by one notch over a list that shows all its lines,
    // scrolls the window three lines further.
    TurnWheelOver(form->CheckListBoxN(1).Handle(), -1);
    EXPECT_EQ(ScrollPosition(window), 13 + 3 * 13);
    ExpectStacked(*form);

    SendMessageA(window, WM_VSCROLL, SB_BOTTOM, 0);
    PumpMessages();
    EXPECT_EQ(ScrollPosition(window), total - client.bottom);
    const RECT last = RectInParent(form->GroupBoxN(7).Handle());
    EXPECT_EQ(last.bottom, client.bottom) << "the last section ends at the bottom of the client area";
    ExpectStacked(*form);
    SaveScreenshot("window-scrolled-to-bottom");

    // A check box that lay below the screen is reached after scrolling.
    CheckListBox& autoexec = form->CheckListBoxN(2);
    const POINT box = PointOnLine(autoexec, 1, 7);
    ClickAt(autoexec.Handle(), box.x, box.y);
    EXPECT_FALSE(autoexec.Checked(1));
    EXPECT_EQ(ReadBytes(AutoexecBat()), Lines({"@ECHO OFF", "REM PATH C:\\DOS"}));

    // Paging up to the top brings the first section back.
    SendMessageA(window, WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(RectInParent(form->GroupBoxN(1).Handle()).top, 0);

    // A reload that makes the stack fit drops the scroll bar and the scroll position.
    SendMessageA(window, WM_VSCROLL, SB_BOTTOM, 0);
    WriteBytes(ConfigSys(), Lines({"FILES=30"}));
    ChooseWithKeys(window, true);
    EXPECT_FALSE(HasVerticalScrollBar(window));
    EXPECT_EQ(ScrollPosition(window), 0);
    EXPECT_EQ(RectInParent(form->GroupBoxN(1).Handle()).top, 0);
    ExpectStacked(*form);
}

TEST_F(WindowTest, ResizingKeepsHeightsAndFollowsClientWidth) {
    WriteBytes(ConfigSys(), Lines({"DEVICE=a.sys", "FILES=30"}));
    WriteBytes(AutoexecBat(), Lines({"@ECHO OFF"}));
    SetStringValue(HKEY_CURRENT_USER, std::string(kRunKeyBase) + "Run", "Tool", "tool.exe");
    const HWND window = CreateAndShow();
    ChooseWithKeys(window, false);
    std::vector<int> heights;
    for (int number = 1; number <= 11; ++number)
        heights.push_back(form->GroupBoxN(number).Height());

    for (const SIZE outer : {SIZE{500, 420}, SIZE{900, 1000}, SIZE{320, 200}}) {
        SCOPED_TRACE(std::to_string(outer.cx) + "x" + std::to_string(outer.cy));
        SetWindowPos(window, nullptr, 0, 0, outer.cx, outer.cy, SWP_NOMOVE | SWP_NOZORDER);
        PumpMessages();
        RECT client = {};
        GetClientRect(window, &client);
        EXPECT_EQ(HasVerticalScrollBar(window), StackHeight(*form) > client.bottom);
        for (int number = 1; number <= 11; ++number) {
            EXPECT_EQ(form->GroupBoxN(number).Height(), heights[number - 1]) << number;
            EXPECT_EQ(RectInParent(form->GroupBoxN(number).Handle()).right, client.right) << number;
        }
        ExpectStacked(*form);
    }
    SetWindowPos(window, nullptr, 0, 0, 700, 600, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    SaveScreenshot("window-resized");
}

TEST_F(WindowTest, ErrorDuringCreationIsShownAndTheWindowStillWorks) {
    WriteBytes(ConfigSys(), Lines({"DEVICE=a.sys", "FILES=30"}));
    SetDwordValue(HKEY_CURRENT_USER, std::string(kRunKeyBase) + "Run", "Number", 7);
    SetStringValue(HKEY_CURRENT_USER, std::string(kRunKeyBase) + "RunOnce", "Once", "once.exe");
    const DialogSeen seen = RunExpectingErrorDialog([this] { Create(); });
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.title, ThisProgramTitle());
    EXPECT_EQ(seen.text, "Invalid data type for 'Number'");
    ASSERT_NE(Window(), nullptr);
    EXPECT_TRUE(IsWindow(Window()));
    EXPECT_FALSE(IsWindowVisible(Window()));

    // The title was set before the refresh; the run key's section stopped at the number, and
    // every other section loaded all the same.
    char title[256] = {};
    GetWindowTextA(Window(), title, sizeof title);
    EXPECT_EQ(std::string(title).rfind(TitleStart(), 0), 0u);
    EXPECT_EQ(form->CheckListBoxN(1).Count(), 2);
    EXPECT_EQ(form->GroupBoxN(7).Title(), RunKeyTitle(7));
    EXPECT_EQ(form->ListViewN(3).Count(), 0);
    EXPECT_TRUE(form->GroupBoxN(7).IsVisible()) << "neither hidden nor resized";
    EXPECT_EQ(form->GroupBoxN(7).Height(), 57);
    for (int section = 8; section <= 11; ++section)
        EXPECT_EQ(form->GroupBoxN(section).Title(), RunKeyTitle(section));
    EXPECT_EQ(form->ListViewN(4).Count(), 1) << "RunOnce is loaded after the error";
    EXPECT_TRUE(form->GroupBoxN(8).IsVisible());
    EXPECT_NE(form->GroupBoxN(8).Height(), 57);
    for (int section = 9; section <= 11; ++section)
        EXPECT_FALSE(form->GroupBoxN(section).IsVisible()) << "empty, and hidden as usual";
    // The sections loaded before the error are restacked at their new heights all the same.
    EXPECT_NE(form->GroupBoxN(1).Height(), 41);
    ExpectStacked(*form);

    // The window is shown and takes input as usual.
    const HWND window = CreateAndShow();
    ExpectStacked(*form);
    SaveScreenshot("window-after-error-at-start");
    CheckListBox& config = form->CheckListBoxN(1);
    const POINT box = PointOnLine(config, 0, 7);
    ClickAt(config.Handle(), box.x, box.y);
    EXPECT_EQ(ReadBytes(ConfigSys()), Lines({"REM DEVICE=a.sys", "FILES=30"}));
    EXPECT_TRUE(IsWindowVisible(window));
}

// As the program starts it: the sections below the window's first screen are read after the
// window is shown. They arrive once its messages are handled, an error of one of them is told
// then, and the window's loading mark goes with the last of them.
TEST_F(WindowTest, SectionsBelowTheWindowArriveAfterItIsShown) {
    std::vector<std::string> many;
    for (int i = 0; i < 90; ++i)
        many.push_back("SET VARIABLE" + std::to_string(i) + "=x");
    WriteBytes(ConfigSys(), Lines(many));
    SetStringValue(HKEY_CURRENT_USER, std::string(kRunKeyBase) + "Run", "Tool", "tool.exe");
    SetDwordValue(HKEY_CURRENT_USER, std::string(kRunKeyBase) + "RunOnce", "Number", 7);
    form->LetSectionsOutOfSightFollow();
    const HWND window = Create();
    EXPECT_EQ(form->CheckListBoxN(1).Count(), 90);
    EXPECT_EQ(form->ListViewN(3).Count(), 0) << "a section below the window was read before it was shown";
    EXPECT_NE(GetPropW(window, kLoadingProperty), nullptr);

    const DialogSeen seen = RunExpectingErrorDialog([&] {
        ShowForInput(window);
        WaitUntil([&] { return GetPropW(window, kLoadingProperty) == nullptr; });
    });
    EXPECT_TRUE(seen.shown);
    EXPECT_EQ(seen.text, "Invalid data type for 'Number'");
    EXPECT_EQ(GetPropW(window, kLoadingProperty), nullptr);
    EXPECT_EQ(form->ListViewN(3).Count(), 1);
    EXPECT_EQ(form->GroupBoxN(8).Title(), RunKeyTitle(8));
    EXPECT_TRUE(form->GroupBoxN(7).IsVisible() && IsWindowVisible(form->GroupBoxN(7).Handle()));
    ExpectStacked(*form);
}

TEST_F(WindowTest, ErrorAfterMenuCommandShowsStopDialogAndLoopGoesOn) {
    WriteBytes(ConfigSys(), Lines({"DEVICE=a.sys"}));
    const HWND window = CreateAndShow();
    SetDwordValue(HKEY_LOCAL_MACHINE, std::string(kRunKeyBase) + "RunOnce", "Counter", 3);
    SetStringValue(HKEY_LOCAL_MACHINE, std::string(kRunKeyBase) + "RunServices", "Service", "service.exe");
    WriteBytes(ConfigSys(), Lines({"DEVICE=a.sys", "FILES=30"}));
    const DialogLook look = RunLookingAtErrorDialog([&] { ChooseWithKeys(window, false); });
    ASSERT_TRUE(look.shown);
    EXPECT_EQ(look.title, ThisProgramTitle());
    EXPECT_EQ(look.text, "Invalid data type for 'Counter'");
    EXPECT_TRUE(look.stopIcon) << "the dialog shows the stop icon";
    EXPECT_EQ(look.buttonIds, std::vector<int>{IDOK}) << "the dialog has the OK button only";
    EXPECT_TRUE(look.formVisible);
    // Every section was reloaded: the failing one as far as it got, the others whole.
    EXPECT_EQ(form->CheckListBoxN(1).Count(), 2);
    EXPECT_EQ(form->GroupBoxN(10).Title(), RunKeyTitle(10));
    EXPECT_EQ(VisibleSections(*form), AllSections(*form)) << "empty ones shown";
    EXPECT_EQ(form->ListViewN(7).Count(), 1) << "RunServices is reloaded after the error";
    ExpectStacked(*form);
    ExpectOneOptionChecked(window, false);

    // The message loop goes on: the next command works once the cause is gone.
    DeleteKeyTree(HKEY_LOCAL_MACHINE, std::string(kRunKeyBase) + "RunOnce");
    ChooseWithKeys(window, true);
    EXPECT_EQ(VisibleSections(*form), (std::vector<int>{1, 11}));
    EXPECT_EQ(form->ListViewN(7).Count(), 1);
}

TEST_F(WindowTest, FitColumnsGrowsDuringALoadAndEachLoadStartsAt100) {
    const std::string run = std::string(kRunKeyBase) + "Run";
    const std::string wide = "C:\\Program Files\\A Very Long Folder Name For Testing\\And Another One\\tool.exe /quiet";
    const std::string longName = "A value name that is much wider than one hundred pixels";
    // Values are listed in the registry's order, which lists these names alphabetically.
    SetStringValue(HKEY_CURRENT_USER, run, "A wide", wide);
    SetStringValue(HKEY_CURRENT_USER, run, "B short", "b.exe");
    SetStringValue(HKEY_CURRENT_USER, run, "C " + longName, "c.exe");
    const HWND window = CreateAndShow();
    EntryListView& list = form->ListViewN(3);
    ASSERT_EQ(list.Count(), 3);
    ASSERT_EQ(list.Caption(0), "A wide") << "rows in the expected order";
    const HWND handle = list.Handle();
    EXPECT_EQ(list.ColumnWidth(1), TextExtentIn(handle, wide).cx + 21) << "the later, shorter rows do not narrow it";
    EXPECT_EQ(list.ColumnWidth(0), TextExtentIn(handle, "C " + longName).cx + 41);
    const int header = static_cast<int>(SendMessageA(handle, LVM_GETCOLUMNWIDTH, 1, 0));
    EXPECT_EQ(header, list.ColumnWidth(1));

    // A reload starts again at 100 and widens only for what is listed now.
    DeleteKeyTree(HKEY_CURRENT_USER, run);
    SetStringValue(HKEY_CURRENT_USER, run, "B short", "b.exe");
    ChooseWithKeys(window, true);
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.ColumnWidth(0), 100);
    EXPECT_EQ(list.ColumnWidth(1), 100);

    // A Startup folder file with a long name widens "Fullname" to its path's width + 21.
    PointStartupFolders();
    const std::string file = UserStartup() + "\\a startup file with a rather long name indeed.txt";
    WriteBytes(file, "x");
    ChooseWithKeys(window, true);
    EntryListView& startup = form->ListViewN(1);
    ASSERT_EQ(startup.Count(), 1);
    EXPECT_EQ(startup.Fullname(0), file);
    EXPECT_EQ(startup.ColumnWidth(1), TextExtentIn(startup.Handle(), file).cx + 21);
    EXPECT_GE(startup.ColumnWidth(0), 100);
}

// Until its first load an entry list has its designed columns: fitted to their header texts, but
// in ListView3, whose columns have the default width (50 pixels). They are looked at while the
// first refresh reads WIN.INI (section 3), before any entry list is loaded.
struct DesignedWidths {
    static inline TFormDawnroll* form = nullptr;
    static inline std::vector<std::pair<int, int>> widths; // ListView1..7: both columns
    static inline DWORD(WINAPI* original)(LPCWSTR, LPCWSTR, LPCWSTR, LPWSTR, DWORD, LPCWSTR) = nullptr;

    static DWORD WINAPI Look(LPCWSTR section, LPCWSTR key, LPCWSTR fallback, LPWSTR buffer, DWORD size, LPCWSTR file) {
        if (widths.empty() && form && form->ListViewN(7).Handle()) {
            for (int number = 1; number <= 7; ++number)
                widths.emplace_back(form->ListViewN(number).ColumnWidth(0), form->ListViewN(number).ColumnWidth(1));
        }
        return original(section, key, fallback, buffer, size, file);
    }
};

TEST_F(WindowTest, ColumnsHaveTheirDesignedWidthsUntilTheFirstLoad) {
    SetStringValue(HKEY_CURRENT_USER, std::string(kRunKeyBase) + "RunOnce", "Once", "once.exe");
    {
        ImportReplacement profile("kernel32.dll", "GetPrivateProfileStringW",
                                  reinterpret_cast<void*>(&DesignedWidths::Look));
        DesignedWidths::original = profile.Original<decltype(DesignedWidths::original)>();
        DesignedWidths::form = form.get();
        DesignedWidths::widths.clear();
        CreateAndShow();
        DesignedWidths::form = nullptr;
    }
    const auto& widths = DesignedWidths::widths;
    ASSERT_EQ(widths.size(), 7u) << "no entry list was looked at before its first load";
    EXPECT_EQ(widths[2], std::make_pair(50, 50)) << "ListView3";
    for (int number = 4; number <= 7; ++number) {
        SCOPED_TRACE("ListView" + std::to_string(number));
        const HWND handle = form->ListViewN(number).Handle();
        const auto [first, second] = widths[static_cast<std::size_t>(number - 1)];
        // The first column as wide as its header text and the header's margins, the last one
        // filling what the list has left.
        const int title = TextExtentIn(handle, "Displayname").cx;
        EXPECT_GE(first, title);
        EXPECT_LE(first, title + 30);
        EXPECT_NE(first, 100);
        EXPECT_GE(second, TextExtentIn(handle, "Fullname").cx);
        EXPECT_NE(second, 100);
    }

    // The first load sets them to 100 and fits them to what it lists.
    EXPECT_EQ(form->ListViewN(3).ColumnWidth(0), 100);
    EXPECT_EQ(form->ListViewN(3).ColumnWidth(1), 100);
    EXPECT_EQ(form->ListViewN(4).ColumnWidth(0), 100);
    EXPECT_EQ(form->ListViewN(5).ColumnWidth(1), 100);
}
} // namespace
