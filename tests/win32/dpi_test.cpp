// The window at 96, 120 and 144 dots per inch, each in a process of its own: the system reads
// its resolution (HKEY_CURRENT_USER\Control Panel\Desktop, LogPixels) when a program starts. With
// every kind of section filled, every row of every visible section's list lies inside the list,
// the list inside its group box, and the window's font is 8 points; with every source empty, the
// sections have their designed heights at that scale.
#include "FormDriving.h"

#include "ui/Resource.h"
#include "ui/SectionLayout.h"
#include "ui/StoredLayout.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdlib>
#include <string>

namespace {
constexpr const char* kDesktopKey = "Control Panel\\Desktop";
constexpr const char* kExpectedDpi = "DAWNROLL_EXPECTED_DPI";

int ExpectedDpi() {
    char text[16] = {};
    return GetEnvironmentVariableA(kExpectedDpi, text, sizeof text) ? std::atoi(text) : 0;
}

// A program that declares itself aware of the system's resolution gets it unscaled; the
// program's manifest does so, and the process at a set resolution does the same before any
// window exists.
const bool awareOfResolution = [] {
    if (ExpectedDpi() != 0)
        SetProcessDPIAware();
    return true;
}();

const auto* const iniMapping = testing::AddGlobalTestEnvironment(new IniMapping);

RECT ClientOf(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    return client;
}

// The bottom of a list's last line or row, in the list's client coordinates.
int LastRowBottom(HWND list, bool checkList) {
    RECT rect = {};
    if (checkList) {
        const auto count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&rect));
    } else {
        const auto count = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
        rect.left = LVIR_BOUNDS;
        SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(count - 1), reinterpret_cast<LPARAM>(&rect));
    }
    return rect.bottom;
}

class DpiChild : public FormTest {};

// Runs only in the process the test below starts at a set resolution.
TEST_F(DpiChild, DISABLED_EveryRowInSight) {
    const int dpi = ExpectedDpi();
    ASSERT_NE(dpi, 0) << "runs in the process started at a set resolution";
    {
        const HDC screen = GetDC(nullptr);
        ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSY), dpi) << "the system did not take the set resolution";
        ReleaseDC(nullptr, screen);
    }
    FillEverySection(*this);
    const HWND window = CreateAndShow();
    // As large as the screen allows; what does not fit scrolls.
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    SetWindowPos(window, nullptr, work.left, work.top, work.right - work.left, work.bottom - work.top, SWP_NOZORDER);
    PumpMessages();
    ASSERT_EQ(VisibleSections(*form).size(), 11u);

    // The window's font: 8 points at this resolution.
    LOGFONTA font = {};
    GetObjectA(reinterpret_cast<HGDIOBJ>(SendMessageA(form->CheckListBoxN(1).Handle(), WM_GETFONT, 0, 0)), sizeof font,
               &font);
    EXPECT_EQ(font.lfHeight, FontHeightForPoints(8, dpi));

    const int counts[] = {6, 6, 3, 3, 6, 6, 5, 5, 5, 5, 5};
    for (int section = 1; section <= 11; ++section) {
        SCOPED_TRACE("section " + std::to_string(section) + " at " + std::to_string(dpi) + " dots per inch");
        const bool checkList = section <= 4;
        const HWND list = ListOfSection(*form, section);
        const int count = checkList ? static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0))
                                    : static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        ASSERT_EQ(count, counts[section - 1]);
        // The last row lies inside the list, which needs no scroll bar of its own.
        EXPECT_LE(LastRowBottom(list, checkList), ClientOf(list).bottom) << "the last row is cut";
        EXPECT_GT(LastRowBottom(list, checkList), 0);
        EXPECT_FALSE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL) << "the list scrolls by itself";
        if (!checkList) {
            EXPECT_GE(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0), count);
        }
        // The list lies inside its group box, at the designed place scaled.
        const RECT box = ClientOf(form->GroupBoxN(section).Handle());
        const RECT place = RectInParent(list);
        EXPECT_EQ(place.left, ScaledPixels(2, dpi));
        EXPECT_EQ(place.top, ScaledPixels(15, dpi));
        EXPECT_EQ(place.right, box.right - ScaledPixels(2, dpi));
        EXPECT_EQ(place.bottom, box.bottom - ScaledPixels(2, dpi));
        EXPECT_EQ(box.bottom, form->GroupBoxN(section).Height());
    }

    // Where the rule leaves room for the rows, the sections have exactly its heights.
    const int h = TextExtentIn(form->CheckListBoxN(1).Handle(), "REM").cy;
    EXPECT_EQ(form->GroupBoxN(1).Height(), 7 * h + ScaledPixels(21, dpi));
    EXPECT_EQ(form->GroupBoxN(3).Height(), 4 * h + ScaledPixels(21, dpi));
    if (dpi == 96) {
        const int entryH = TextExtentIn(form->ListViewN(3).Handle(), "REM").cy;
        for (int section = 7; section <= 11; ++section)
            EXPECT_EQ(form->GroupBoxN(section).Height(), (entryH + 4) * 6 + 42) << section;
    }
    SendMessageA(window, WM_VSCROLL, SB_TOP, 0);
    PumpMessages();
    SaveScreenshot("dpi-" + std::to_string(dpi));
    std::printf("dpi %d: h %d, heights", dpi, h);
    for (int section = 1; section <= 11; ++section)
        std::printf(" %d", form->GroupBoxN(section).Height());
    std::printf("\n");
}

// Runs only in the process the test below starts at a set resolution. The window at the size
// the system gives it by default on a 1024 x 900 screen (three quarters of it each way), the
// user's Startup folder holding two files whose full names are wider than the list, and five
// values in each of the user's and the machine's Run key: both Startup rows lie whole above the
// list's horizontal scroll bar, and the list needs no vertical one.
TEST_F(DpiChild, DISABLED_StartupRowsStayAboveTheScrollBarBesideTheRunKeys) {
    const int dpi = ExpectedDpi();
    ASSERT_NE(dpi, 0) << "runs in the process started at a set resolution";
    PointStartupFolders();
    std::string startup = UserStartup();
    for (const char* part : {"AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs", "Startup"}) {
        startup += std::string("\\") + part;
        CreateDirectoryA(startup.c_str(), nullptr);
    }
    SetStringValue(HKEY_CURRENT_USER, kShellFoldersKey, "Startup", startup);
    WriteBytes(startup + "\\a.txt", "a");
    WriteBytes(startup + "\\b.txt", "b");
    for (const HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
        for (int i = 1; i <= 5; ++i)
            SetStringValue(root, std::string(kRunKeyBase) + "Run", "Tool" + std::to_string(i),
                           "C:\\Program Files\\Tool " + std::to_string(i) + "\\tool.exe /quiet");
    }
    const HWND window = Create();
    SetWindowPos(window, nullptr, 0, 0, 1024 * 3 / 4, 900 * 3 / 4, SWP_NOZORDER | SWP_NOMOVE);
    ShowForInput(window);
    PumpMessages();
    ASSERT_EQ(VisibleSections(*form), (std::vector<int>{5, 7, 9}));

    const EntryListView& rows = form->SectionOf<StartupFolderSection>(layout::SectionId::UserStartup).Rows();
    const HWND list = rows.Handle();
    ASSERT_EQ(rows.Count(), 2);
    ASSERT_GT(rows.ColumnWidth(0) + rows.ColumnWidth(1), ClientOf(list).right) << "the full names fit the list";
    EXPECT_TRUE(GetWindowLongW(list, GWL_STYLE) & WS_HSCROLL);
    EXPECT_FALSE(GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL) << "the list scrolls by itself";
    EXPECT_LE(LastRowBottom(list, false), ClientOf(list).bottom) << "the last row is cut by the scroll bar";
    EXPECT_GE(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0), 2);
    SaveScreenshot("dpi-startup-beside-run-keys-" + std::to_string(dpi));
}

// Chooses "Show empty startups" through the window's own command, which reads every source again;
// no error dialog may come.
void ShowEmptySections(HWND window) {
    const DialogSeen seen =
        RunExpectingErrorDialog([&] { SendMessageA(window, WM_COMMAND, MAKEWPARAM(IDM_SHOWEMPTYSTARTUPS, 0), 0); });
    EXPECT_FALSE(seen.shown) << seen.text;
    PumpMessages();
}

// Runs only in the process the test below starts at a set resolution. The designed heights
// scale: with every source empty and "Show empty startups" chosen, every section shows at its
// designed height at this resolution. A section emptied after a load keeps the height that load
// gave it, not its designed one.
TEST_F(DpiChild, DISABLED_EmptySectionsHaveTheirDesignedHeightsScaled) {
    const int dpi = ExpectedDpi();
    ASSERT_NE(dpi, 0) << "runs in the process started at a set resolution";
    const HWND window = CreateAndShow();
    EXPECT_TRUE(VisibleSections(*form).empty()) << "every source is empty and empty sections are hidden";
    ShowEmptySections(window);
    ASSERT_EQ(VisibleSections(*form), AllSections(*form));
    for (int section = 1; section <= form->SectionCount(); ++section) {
        SCOPED_TRACE("section " + std::to_string(section) + " at " + std::to_string(dpi) + " dots per inch");
        const int designed = layout::kSections[static_cast<std::size_t>(section - 1)].designedHeight;
        EXPECT_EQ(form->GroupBoxN(section).Height(), ScaledPixels(designed, dpi));
    }

    // The user's Run key (section 7) with one value, then emptied.
    const std::string run = std::string(kRunKeyBase) + "Run";
    SetStringValue(HKEY_CURRENT_USER, run, "Tool", "C:\\Tools\\tool.exe");
    ShowEmptySections(window);
    ASSERT_EQ(form->ListViewN(3).Count(), 1);
    const int filled = form->GroupBoxN(7).Height();
    EXPECT_NE(filled, ScaledPixels(57, dpi));
    DeleteKeyTree(HKEY_CURRENT_USER, run);
    ShowEmptySections(window);
    EXPECT_EQ(form->ListViewN(3).Count(), 0);
    EXPECT_TRUE(form->GroupBoxN(7).IsVisible());
    EXPECT_EQ(form->GroupBoxN(7).Height(), filled);
    EXPECT_EQ(form->GroupBoxN(8).Height(), ScaledPixels(57, dpi));
}

// Starts this program again at a resolution, running the two tests above; answers its exit code.
DWORD RunAtResolution(DWORD dpi) {
    return RunThisProgramAt(dpi, "DpiChild.*", kExpectedDpi);
}

TEST(Resolution, EveryRowInSightAt96And120And144DotsPerInch) {
    const RegistryData before = GetValue(HKEY_CURRENT_USER, kDesktopKey, "LogPixels");
    for (DWORD dpi : {96u, 120u, 144u})
        EXPECT_EQ(RunAtResolution(dpi), 0u) << "at " << dpi << " dots per inch (its failures are printed above)";
    // The setting is back as it was before the test.
    const RegistryData after = GetValue(HKEY_CURRENT_USER, kDesktopKey, "LogPixels");
    EXPECT_EQ(after.exists, before.exists);
    EXPECT_EQ(after.type, before.type);
    EXPECT_EQ(after.bytes, before.bytes);
}
} // namespace
