// Helpers for tests that drive the main window as a user does: a form whose sources all live in
// a scratch folder and a registry sandbox, menus chosen with real keys and clicks, the error
// dialog looked at in detail, and the geometry of the sections.
#pragma once

#include "TestSupport.h"

#include "ui/Dawnroll.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

inline constexpr const char* kRunKeyBase = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
inline constexpr const char* kShellFoldersKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// A TFormDawnroll whose boot files and WIN.INI are in a scratch folder and whose registry roots
// are a sandbox. The window is created by Create(), not by the fixture.
class FormTest : public testing::Test {
  protected:
    FormTest();
    void TearDown() override;

    std::string ConfigSys() const { return folder.File("CONFIG.SYS"); }
    std::string AutoexecBat() const { return folder.File("AUTOEXEC.BAT"); }
    std::string UserStartup() const { return folder.File("UserStartup"); }
    std::string CommonStartup() const { return folder.File("CommonStartup"); }
    // Creates both Startup folders (empty) and points the Shell Folders values at them.
    void PointStartupFolders();

    // Creates the window (FormCreate runs its first refresh); does not show it.
    HWND Create();
    // Creates the window if needed and brings it to the screen, ready for input.
    HWND CreateAndShow();
    HWND Window() const { return form->Handle(); }

    RegistrySandbox registry;
    ScratchFolder folder;
    std::unique_ptr<TFormDawnroll> form;

    friend void FillEverySection(FormTest& test);
};

// Keys pressed and released one after the other, all queued in one go, so that a menu's own
// modal loop finds them waiting; returns once the window's thread has handled them.
void PressKeys(HWND focus, std::initializer_list<WORD> keys);

// Chooses an item of a window's menu with the mouse: a click on the top item in the menu bar,
// then, once its menu is open, a click on the item at `itemPosition` in it.
void ChooseMenuItemWithMouse(HWND window, int topPosition, int itemPosition);

// Turns the mouse wheel by whole notches (positive: away from the user) with the cursor over
// the middle of a window; returns once its thread has handled it.
void TurnWheelOver(HWND window, int notches);

// The error dialog as seen while it was open.
struct DialogLook {
    bool shown = false;
    std::string title;
    std::string text;
    std::wstring wideText;           // the text exactly, as the dialog holds it
    bool stopIcon = false;           // the icon control shows the system's stop (hand) icon
    std::vector<int> buttonIds;      // command IDs of its buttons
    bool ownedByVisibleForm = false; // a visible TFormDawnroll window existed while it showed
    bool formVisible = false;
};
// Runs an action that must show the error dialog, looks at the dialog and presses OK.
DialogLook RunLookingAtErrorDialog(const std::function<void()>& action, DWORD timeoutMs = 10000);

// A child window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND child);
// Height and width of a text in the control's own font.
SIZE TextExtentIn(HWND control, const std::string& text);
// The last-write time of a file, in 100-ns units; 0 when it cannot be read.
unsigned long long LastWriteTime(const std::string& path);
// Sets a file's last-write time far into the past, so that any rewrite changes it.
void AgeFile(const std::string& path);

bool MenuItemChecked(HWND window, UINT id);
// The first visible top-level window of the thread with this class name ("#32770" for a
// dialog); null when there is none.
HWND VisibleThreadWindow(DWORD thread, const char* className);
// Waits until a window (of any thread) has painted what it was told to paint.
void WaitUntilPainted(HWND window);
// The design numbers (1..11, or 1..14 on a 64-bit system) of the sections whose group boxes are
// visible, in order.
std::vector<int> VisibleSections(TFormDawnroll& form);
// The design numbers of all the window's sections, 1..11 or 1..14 on a 64-bit system: what
// VisibleSections gives when every section is shown.
std::vector<int> AllSections(TFormDawnroll& form);
// What the window title begins with: the program's name and its kind's version text,
// "Dawnroll32 1.0.2 " for the 32-bit program, "Dawnroll64 1.0.2 " for the 64-bit one.
std::string TitleStart();
// Lines of text each followed by a carriage return and line feed.
std::string Lines(const std::vector<std::string>& lines);
// The middle of a check list's line, in the list's client coordinates, at horizontal offset x.
POINT PointOnLine(CheckListBox& list, int index, int x);

// The middle of the part of a list view row where the list reports `hitFlag` (LVHT_...), in the
// list's client coordinates; x is -1 when no such part is found.
POINT RowPoint(HWND list, int row, UINT hitFlag);

// Fills every kind of source of a FormTest: six lines in each boot file, three programs in each
// WIN.INI list, six files in each Startup folder and five values in each run key. Call
// OpenIniFileMappingOnce() before any sandbox exists (a global environment does it), so that
// WIN.INI's entries land in the sandbox.
void FillEverySection(FormTest& test);
void OpenIniFileMappingOnce();

// WIN.INI's [Windows] section is mapped to the user's registry, and the system finds the mapping
// at the first profile call of the process. A test program that reads or writes WIN.INI's
// entries adds this environment, which makes that call before any sandbox is in place, so that
// the mapping then leads into each sandbox's user key.
class IniMapping : public testing::Environment {
  public:
    void SetUp() override { OpenIniFileMappingOnce(); }
};

// The list of a section (1..11).
HWND ListOfSection(TFormDawnroll& form, int section);

// Sends a turn of the mouse wheel by `delta` (WHEEL_DELTA is one notch; positive: away from
// the user) with the cursor over the middle of a window; returns once its thread handled it.
void TurnWheelBy(HWND window, int delta);
// The vertical scroll position of a window (0 without a scroll bar).
int ScrollPosition(HWND window);
// Presses Tab, or Shift+Tab, as real keys; returns once the window's thread handled them.
void PressTab(HWND window, bool shift);
// Presses a key with a modifier (VK_SHIFT, VK_CONTROL, ...; 0 for none) held, as real keys;
// returns once the window's thread handled them.
void PressWith(HWND window, WORD modifier, WORD virtualKey);
