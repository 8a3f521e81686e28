// The window with the keyboard and the mouse wheel, as a user meets it: the focus starts on the
// first visible section's list, Tab and Shift+Tab go round the visible lists in the table's
// order, the focused list's own keys work, a list focused out of sight scrolls into view; the
// wheel follows the system's lines per notch and adds up small turns.
#include "FormDriving.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {
const auto* const iniMapping = testing::AddGlobalTestEnvironment(new IniMapping);

// The design number of the section whose list has the focus, 0 for none.
int FocusedSection(TFormDawnroll& form) {
    const HWND focus = GetFocus();
    for (int section = 1; section <= form.SectionCount(); ++section) {
        if (ListOfSection(form, section) == focus)
            return section;
    }
    return 0;
}

// A section lies wholly inside the window's client area.
bool InView(TFormDawnroll& form, int section) {
    RECT client = {};
    GetClientRect(form.Handle(), &client);
    const RECT box = RectInParent(form.GroupBoxN(section).Handle());
    return box.top >= 0 && box.bottom <= client.bottom;
}

class KeyboardTest : public FormTest {
  protected:
    // Sources for sections 1, 3, 5, 7 and 11; the others stay empty and hidden.
    void FillSomeSections() {
        WriteBytes(ConfigSys(), Lines({"DEVICE=a.sys", "FILES=30", "BUFFERS=20"}));
        WritePrivateProfileStringA("Windows", "Load", "C:\\clock.exe;C:\\weather.exe", folder.File("WIN.INI").c_str());
        PointStartupFolders();
        WriteBytes(UserStartup() + "\\one.txt", "1");
        WriteBytes(UserStartup() + "\\two.txt", "2");
        SetStringValue(HKEY_CURRENT_USER, std::string(kRunKeyBase) + "Run", "Tool", "tool.exe");
        SetStringValue(HKEY_LOCAL_MACHINE, std::string(kRunKeyBase) + "RunServices", "Service", "service.exe");
    }
};

TEST_F(KeyboardTest, FocusStartsOnTheFirstVisibleListAndTabGoesRoundTheVisibleOnes) {
    FillSomeSections();
    const HWND window = CreateAndShow();
    ASSERT_EQ(VisibleSections(*form), (std::vector<int>{1, 3, 5, 7, 11}));
    EXPECT_EQ(FocusedSection(*form), 1) << "the focus at start";

    for (int expected : {3, 5, 7, 11, 1, 3}) {
        PressTab(window, false);
        EXPECT_EQ(FocusedSection(*form), expected) << "Tab";
    }
    for (int expected : {1, 11, 7, 5, 3, 1, 11}) {
        PressTab(window, true);
        EXPECT_EQ(FocusedSection(*form), expected) << "Shift+Tab";
    }

    // Shown sections change with the option: Tab follows what is shown now.
    PressKeys(window, {VK_MENU, VK_DOWN, VK_DOWN, VK_RETURN}); // "Show empty startups"
    ASSERT_EQ(VisibleSections(*form), AllSections(*form));
    SetFocus(ListOfSection(*form, 7));
    std::vector<int> order; // from section 8 to the last, and round to the first two
    for (int section = 8; section <= form->SectionCount(); ++section)
        order.push_back(section);
    order.insert(order.end(), {1, 2});
    for (int expected : order) {
        PressTab(window, false);
        EXPECT_EQ(FocusedSection(*form), expected) << "Tab with every section shown";
    }
    PressKeys(window, {VK_MENU, VK_DOWN, VK_RETURN}); // "Hide empty startups": section 2 goes
    EXPECT_EQ(VisibleSections(*form), (std::vector<int>{1, 3, 5, 7, 11}));
    EXPECT_NE(FocusedSection(*form), 0) << "the focus stays on a visible list";
    EXPECT_TRUE(IsWindowVisible(GetFocus()));
}

TEST_F(KeyboardTest, FocusComesBackToTheListThatHadItWhenTheWindowIsActivatedAgain) {
    FillSomeSections();
    const HWND window = CreateAndShow();
    PressTab(window, false);
    PressTab(window, false);
    ASSERT_EQ(FocusedSection(*form), 5);
    // Another window takes the activation, then the form gets it back.
    const HWND other = CreateWindowExA(0, "STATIC", "other", WS_POPUP | WS_VISIBLE, 0, 0, 50, 50, nullptr, nullptr,
                                       GetModuleHandleA(nullptr), nullptr);
    SetForegroundWindow(other);
    SetActiveWindow(other);
    PumpMessages();
    EXPECT_NE(FocusedSection(*form), 5);
    ShowForInput(window);
    EXPECT_EQ(FocusedSection(*form), 5);
    DestroyWindow(other);
}

TEST_F(KeyboardTest, SpaceOnTheFocusedCheckListLineTogglesAndRewritesTheFile) {
    FillSomeSections();
    const HWND window = CreateAndShow();
    ASSERT_EQ(FocusedSection(*form), 1);
    CheckListBox& config = form->CheckListBoxN(1);
    // The keys go where the focus is: no SetFocus before them.
    QueueKeyPresses({VK_SPACE});
    WaitForInputHandled(window);
    EXPECT_FALSE(config.Checked(0));
    EXPECT_EQ(ReadBytes(ConfigSys()), Lines({"REM DEVICE=a.sys", "FILES=30", "BUFFERS=20"}));
    // The list's own keys move its current line; the space bar switches the line it is on.
    std::vector<std::string> expected = {"REM DEVICE=a.sys", "FILES=30", "BUFFERS=20"};
    const std::vector<std::string> plain = {"DEVICE=a.sys", "FILES=30", "BUFFERS=20"};
    auto spaceAt = [&](std::vector<WORD> keys, int line) {
        SCOPED_TRACE("line " + std::to_string(line));
        QueueKeyPresses(keys);
        WaitForInputHandled(window);
        ASSERT_EQ(SendMessageA(config.Handle(), LB_GETCARETINDEX, 0, 0), line)
            << "selected " << SendMessageA(config.Handle(), LB_GETCURSEL, 0, 0) << ", focus on "
            << FocusedSection(*form);
        const bool was = config.Checked(line);
        QueueKeyPresses({VK_SPACE});
        WaitForInputHandled(window);
        EXPECT_EQ(config.Checked(line), !was);
        expected[line] = was ? "REM " + plain[line] : plain[line];
        EXPECT_EQ(ReadBytes(ConfigSys()), Lines(expected));
    };
    // The first key only selects the current line where none is selected yet (the list box's
    // own way under Wine); Home selects the first line either way.
    spaceAt({VK_HOME}, 0);
    spaceAt({VK_END}, 2);
    spaceAt({VK_HOME, VK_DOWN}, 1);
    spaceAt({VK_NEXT}, 2);
    spaceAt({VK_UP}, 1);
    spaceAt({VK_PRIOR}, 0);
    EXPECT_EQ(ReadBytes(ConfigSys()), Lines({"REM DEVICE=a.sys", "FILES=30", "BUFFERS=20"}));

    // Tab on to the WIN.INI list: Space there switches its current program off.
    PressTab(window, false);
    ASSERT_EQ(FocusedSection(*form), 3);
    QueueKeyPresses({VK_SPACE});
    WaitForInputHandled(window);
    EXPECT_FALSE(form->CheckListBoxN(3).Checked(0));
    char load[256] = {};
    GetPrivateProfileStringA("Windows", "Load", "", load, sizeof load, folder.File("WIN.INI").c_str());
    EXPECT_STREQ(load, "C:\\weather.exe");

    // On to the Startup list: the arrow keys move its focused row, the space bar its check box
    // (the list's own toggle), which deletes the file.
    PressTab(window, false);
    ASSERT_EQ(FocusedSection(*form), 5);
    EntryListView& startup = form->ListViewN(1);
    QueueKeyPresses({VK_DOWN});
    WaitForInputHandled(window);
    const int row =
        static_cast<int>(SendMessageA(startup.Handle(), LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    ASSERT_GE(row, 0);
    const std::string file = startup.Fullname(row);
    QueueKeyPresses({VK_SPACE});
    WaitForInputHandled(window);
    EXPECT_FALSE(FileExists(file)) << file;
}

// What the mouse does by dragging a column's divider, Ctrl with the keypad's plus does: each
// column of the focused entry list takes the width of its widest text. What the horizontal scroll
// bar does, Left and Right do.
TEST_F(KeyboardTest, TheColumnsOfAnEntryListAreFittedAndScrolledFromTheKeyboard) {
    FillSomeSections();
    const std::string name = "ALongerNamedTool";
    const std::string data = "\"C:\\Program Files\\A rather long folder name\\tool.exe\" /with /arguments";
    SetStringValue(HKEY_CURRENT_USER, std::string(kRunKeyBase) + "Run", name, data);
    const HWND window = CreateAndShow();
    for (int tab = 0; tab < 3; ++tab)
        PressTab(window, false);
    ASSERT_EQ(FocusedSection(*form), 7);
    EntryListView& run = form->ListViewN(3);
    // Narrowed, as by a drag of the dividers.
    SendMessageW(run.Handle(), LVM_SETCOLUMNWIDTH, 0, 20);
    SendMessageW(run.Handle(), LVM_SETCOLUMNWIDTH, 1, 20);
    PressWith(window, VK_CONTROL, VK_ADD);
    EXPECT_GE(run.ColumnWidth(0), TextExtentIn(run.Handle(), name).cx);
    EXPECT_GE(run.ColumnWidth(1), TextExtentIn(run.Handle(), data).cx);

    SetWindowPos(window, nullptr, 0, 0, 300, 600, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    ASSERT_TRUE(GetWindowLongW(run.Handle(), GWL_STYLE) & WS_HSCROLL);
    PressWith(window, 0, VK_RIGHT);
    const int right = GetScrollPos(run.Handle(), SB_HORZ);
    EXPECT_GT(right, 0) << "Right did not scroll the list";
    PressWith(window, 0, VK_LEFT);
    EXPECT_LT(GetScrollPos(run.Handle(), SB_HORZ), right) << "Left did not scroll the list back";
}

TEST_F(KeyboardTest, AListFocusedOutOfSightBringsItsSectionIntoView) {
    FillEverySection(*this);
    const HWND window = CreateAndShow();
    SetWindowPos(window, nullptr, 0, 0, 640, 360, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    ASSERT_EQ(VisibleSections(*form).size(), 11u);
    ASSERT_EQ(FocusedSection(*form), 1);
    EXPECT_EQ(ScrollPosition(window), 0);
    ASSERT_FALSE(InView(*form, 11));

    // Shift+Tab from the first list wraps to the last section, far below: it scrolls into view.
    PressTab(window, true);
    EXPECT_EQ(FocusedSection(*form), 11);
    EXPECT_TRUE(InView(*form, 11));
    EXPECT_GT(ScrollPosition(window), 0);
    // Tab wraps to the first again, which comes back into view at the top.
    PressTab(window, false);
    EXPECT_EQ(FocusedSection(*form), 1);
    EXPECT_TRUE(InView(*form, 1));
    EXPECT_EQ(ScrollPosition(window), 0);
    // Every section in turn is in view while its list has the focus.
    for (int section = 2; section <= 11; ++section) {
        PressTab(window, false);
        EXPECT_EQ(FocusedSection(*form), section);
        EXPECT_TRUE(InView(*form, section)) << "section " << section;
    }
    SaveScreenshot("keyboard-last-section-in-view");

    // A click on a list the user sees scrolls nothing.
    const int position = ScrollPosition(window);
    RECT client = {};
    GetClientRect(window, &client);
    POINT point = {client.right / 2, client.bottom / 2};
    const HWND below = ChildWindowFromPointEx(window, point, CWP_SKIPINVISIBLE);
    ASSERT_NE(below, nullptr);
    MapWindowPoints(window, below, &point, 1);
    const HWND list = GetWindow(below, GW_CHILD);
    MapWindowPoints(below, list, &point, 1);
    SetFocus(window);
    PumpMessages();
    ClickAt(list, point.x, point.y);
    EXPECT_EQ(GetFocus(), list);
    EXPECT_EQ(ScrollPosition(window), position);
}

TEST_F(KeyboardTest, TheKeysBringTheCurrentLineOfATallListIntoView) {
    std::vector<std::string> many;
    for (int i = 0; i < 90; ++i)
        many.push_back("SET VARIABLE" + std::to_string(i) + "=x");
    WriteBytes(ConfigSys(), Lines(many));
    PointStartupFolders();
    for (int i = 0; i < 40; ++i)
        WriteBytes(UserStartup() + "\\file " + std::to_string(100 + i) + ".txt", "x");
    const HWND window = CreateAndShow();
    SetWindowPos(window, nullptr, 0, 0, 640, 400, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages();
    ASSERT_EQ(FocusedSection(*form), 1);
    const HWND config = form->CheckListBoxN(1).Handle();
    auto lineInView = [&](HWND list, bool checkList) {
        RECT row = {};
        if (checkList) {
            const auto caret = SendMessageA(list, LB_GETCARETINDEX, 0, 0);
            SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(caret), reinterpret_cast<LPARAM>(&row));
        } else {
            const auto focused = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED);
            row.left = LVIR_BOUNDS;
            SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(focused), reinterpret_cast<LPARAM>(&row));
        }
        MapWindowPoints(list, window, reinterpret_cast<POINT*>(&row), 2);
        RECT client = {};
        GetClientRect(window, &client);
        return row.top >= 0 && row.bottom <= client.bottom;
    };
    QueueKeyPresses({VK_HOME, VK_END});
    WaitForInputHandled(window);
    EXPECT_EQ(SendMessageA(config, LB_GETCARETINDEX, 0, 0), 89);
    EXPECT_TRUE(lineInView(config, true)) << "the last line after End";
    EXPECT_GT(ScrollPosition(window), 0);
    QueueKeyPresses({VK_UP, VK_UP, VK_UP});
    WaitForInputHandled(window);
    EXPECT_TRUE(lineInView(config, true));
    QueueKeyPresses({VK_HOME});
    WaitForInputHandled(window);
    EXPECT_TRUE(lineInView(config, true)) << "the first line after Home";
    // Scrolled just so far that the line shows: its top (15 + 2 below the section's) at the top.
    EXPECT_EQ(ScrollPosition(window), RectInParent(config).top + 2);

    // The same in an entry list.
    PressTab(window, false);
    ASSERT_EQ(FocusedSection(*form), 5);
    const HWND startup = form->ListViewN(1).Handle();
    QueueKeyPresses({VK_HOME, VK_END});
    WaitForInputHandled(window);
    EXPECT_EQ(SendMessageA(startup, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 39);
    EXPECT_TRUE(lineInView(startup, false)) << "the last row after End";
    SaveScreenshot("keyboard-last-row-in-view");
}

class WheelTest : public FormTest {
  protected:
    HWND ShowTallStack() {
        std::vector<std::string> many;
        for (int i = 0; i < 90; ++i)
            many.push_back("SET VARIABLE" + std::to_string(i) + "=x");
        WriteBytes(ConfigSys(), Lines(many));
        const HWND window = CreateAndShow();
        SetWindowPos(window, nullptr, 0, 0, 640, 400, SWP_NOMOVE | SWP_NOZORDER);
        PumpMessages();
        EXPECT_EQ(ScrollPosition(window), 0);
        return window;
    }
    // The setting is the session's, seen by every program: it is put back as it was.
    void SetUp() override {
        FormTest::SetUp();
        ASSERT_TRUE(SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &savedLines_, 0));
    }
    void TearDown() override {
        SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, savedLines_, nullptr, 0);
        FormTest::TearDown();
    }
    void SetLinesPerNotch(UINT lines) {
        ASSERT_TRUE(SystemParametersInfoA(SPI_SETWHEELSCROLLLINES, lines, nullptr, 0));
    }
    UINT savedLines_ = 3;
};

TEST_F(WheelTest, ThreeDeltasOfFortyScrollAsOneNotch) {
    SetLinesPerNotch(3);
    const HWND window = ShowTallStack();
    // Over the middle of the window, where the boot file's list is.
    const HWND list = window;
    TurnWheelBy(list, -WHEEL_DELTA);
    const int notch = ScrollPosition(window);
    EXPECT_EQ(notch, 3 * 13) << "one notch: three lines of 13 pixels";

    SendMessageA(window, WM_VSCROLL, SB_TOP, 0);
    ASSERT_EQ(ScrollPosition(window), 0);
    TurnWheelBy(list, -40);
    EXPECT_EQ(ScrollPosition(window), 13) << "a third of a notch: one line";
    TurnWheelBy(list, -40);
    TurnWheelBy(list, -40);
    EXPECT_EQ(ScrollPosition(window), notch);

    // Smaller still: deltas of 10 add up to a line after four of them.
    SendMessageA(window, WM_VSCROLL, SB_TOP, 0);
    for (int i = 0; i < 3; ++i)
        TurnWheelBy(list, -10);
    EXPECT_EQ(ScrollPosition(window), 0);
    TurnWheelBy(list, -10);
    EXPECT_EQ(ScrollPosition(window), 13);
    // And back up by a notch, away from the user.
    TurnWheelBy(list, 2 * WHEEL_DELTA);
    EXPECT_EQ(ScrollPosition(window), 0);
}

TEST_F(WheelTest, FollowsTheSystemsLinesPerNotchAndOneScreenAtATime) {
    SetLinesPerNotch(5);
    const HWND window = ShowTallStack();
    // Over the middle of the window, where the boot file's list is.
    const HWND list = window;
    TurnWheelBy(list, -WHEEL_DELTA);
    EXPECT_EQ(ScrollPosition(window), 5 * 13);

    SetLinesPerNotch(WHEEL_PAGESCROLL);
    SendMessageA(window, WM_VSCROLL, SB_TOP, 0);
    RECT client = {};
    GetClientRect(window, &client);
    TurnWheelBy(list, -WHEEL_DELTA);
    EXPECT_EQ(ScrollPosition(window), client.bottom) << "one notch: one screen";
    TurnWheelBy(list, -60);
    EXPECT_EQ(ScrollPosition(window), client.bottom);
    TurnWheelBy(list, -60);
    EXPECT_EQ(ScrollPosition(window), 2 * client.bottom);
}
} // namespace
