// The window at 96, 120 and 144 dots per inch, each in a process of its own: the system reads
// its resolution (HKEY_CURRENT_USER\Control Panel\Desktop, LogPixels) when a program starts. With
// every kind of section filled, every row of every visible section's list lies inside the list,
// the list inside its group box, and the window's font is 8 points.
#include "FormDriving.h"

#include "ui/SectionLayout.h"

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
    // The designed heights scale too: an emptied section keeps its designed height.
    SendMessageA(window, WM_VSCROLL, SB_TOP, 0);
    PumpMessages();
    SaveScreenshot("dpi-" + std::to_string(dpi));
    RECT designed = {};
    GetWindowRect(form->GroupBoxN(1).Handle(), &designed);
    std::printf("dpi %d: h %d, heights", dpi, h);
    for (int section = 1; section <= 11; ++section)
        std::printf(" %d", form->GroupBoxN(section).Height());
    std::printf("\n");
}

// The value LogPixels of the prefix's desktop settings, set for one run and put back after it.
class ResolutionSetting {
  public:
    explicit ResolutionSetting(DWORD dpi) {
        before_ = GetValue(HKEY_CURRENT_USER, kDesktopKey, "LogPixels");
        SetDwordValue(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", dpi);
    }
    ~ResolutionSetting() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
            return;
        if (before_.exists)
            RegSetValueExA(key, "LogPixels", 0, before_.type, reinterpret_cast<const BYTE*>(before_.bytes.data()),
                           static_cast<DWORD>(before_.bytes.size()));
        else
            RegDeleteValueA(key, "LogPixels");
        RegCloseKey(key);
    }
    ResolutionSetting(const ResolutionSetting&) = delete;
    ResolutionSetting& operator=(const ResolutionSetting&) = delete;

  private:
    RegistryData before_;
};

// Starts this program again at a resolution, running the test above; answers its exit code.
DWORD RunAtResolution(DWORD dpi) {
    ResolutionSetting setting(dpi);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string command = "\"" + std::string(path) +
                          "\" --gtest_also_run_disabled_tests --gtest_filter=DpiChild.DISABLED_EveryRowInSight";
    SetEnvironmentVariableA(kExpectedDpi, std::to_string(dpi).c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const BOOL started =
        CreateProcessA(path, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableA(kExpectedDpi, nullptr);
    if (!started)
        return 0xFFFFFFFF;
    DWORD code = 0xFFFFFFFE;
    if (WaitForSingleObject(process.hProcess, 180000) == WAIT_OBJECT_0)
        GetExitCodeProcess(process.hProcess, &code);
    else
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

TEST(Resolution, EveryRowInSightAt96And120And144DotsPerInch) {
    for (DWORD dpi : {96u, 120u, 144u})
        EXPECT_EQ(RunAtResolution(dpi), 0u) << "at " << dpi << " dots per inch (its failures are printed above)";
    // The setting is back as it was.
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kDesktopKey, "LogPixels").exists,
              GetValue(HKEY_CURRENT_USER, kDesktopKey, "LogPixels").exists);
}
} // namespace
