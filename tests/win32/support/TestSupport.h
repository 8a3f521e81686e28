// Helpers of the Win32 tests: scratch folders and registry roots that keep every test away
// from the machine's real autostart entries, real input, and reading the real error dialog.
#pragma once

#include "ScratchPlaces.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class TFormDawnroll;

// A folder of its own for one test (ScratchFolder) and scratch registry roots (RegistrySandbox):
// see ScratchPlaces.h, shared with the benchmark.

// Files (WriteBytes: see ScratchPlaces.h).
std::string ReadBytes(const std::string& path); // throws when the file cannot be read
bool FileExists(const std::string& path);
// Names of the files (not folders) in a folder (ending in a backslash), sorted.
std::vector<std::string> FilesIn(const std::string& folder);

// Registry, below the (possibly redirected) roots.
void CreateKey(HKEY root, const std::string& path);
void SetStringValue(HKEY root, const std::string& path, const std::string& name, const std::string& data,
                    DWORD type = REG_SZ);
void SetDwordValue(HKEY root, const std::string& path, const std::string& name, DWORD data);
struct RegistryData {
    bool exists = false;
    DWORD type = 0;
    std::string bytes; // raw data, with any terminating zero
};
// `view` as for ValueNames.
RegistryData GetValue(HKEY root, const std::string& path, const std::string& name, REGSAM view = 0);
void DeleteKeyTree(HKEY root, const std::string& path);
// The value names of a key in the registry's own enumeration order, read without the program;
// `view` is KEY_WOW64_64KEY or KEY_WOW64_32KEY for one view of a 64-bit system's local machine.
// Empty when the key cannot be opened.
std::vector<std::string> ValueNames(HKEY root, const std::string& path, REGSAM view = 0);

// The prefix's desktop resolution (HKEY_CURRENT_USER\Control Panel\Desktop, LogPixels, which a
// program reads when it starts), set for this object's life and then put back as it was (or
// removed when it was not set).
class ResolutionSetting {
  public:
    explicit ResolutionSetting(DWORD dpi);
    ~ResolutionSetting();
    ResolutionSetting(const ResolutionSetting&) = delete;
    ResolutionSetting& operator=(const ResolutionSetting&) = delete;

  private:
    RegistryData before_;
};

// Runs this test program again at a resolution (ResolutionSetting), only its disabled tests that
// `filter` names, with the environment variable `dpiVariable` telling them the resolution;
// answers its exit code (0 when they passed). The child's failures are printed with this
// program's output.
DWORD RunThisProgramAt(DWORD dpi, const std::string& filter, const char* dpiVariable);

// Messages and input.
void PumpMessages();
// Pumps messages until the condition holds or the time is up; answers the condition.
bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
// Waits until a window's thread has handled the input queued so far: queued input comes
// before WM_PAINT, so a pixel is invalidated and its repaint awaited.
void WaitForInputHandled(HWND window);
// Real input through SendInput, at a point in a window's client coordinates; waits until the
// window's thread has handled it.
void ClickAt(HWND window, int x, int y);
void DoubleClickAt(HWND window, int x, int y);
// Presses and releases keys one after the other, all queued in one SendInput; does not wait.
void QueueKeyPresses(const std::vector<WORD>& keys);
void PressKey(HWND focus, WORD virtualKey);
// Brings the form's window to the screen, in front, and waits until it is painted.
void ShowForInput(HWND window);

// Runs an action that must show the error dialog; reads the dialog, presses OK, and answers
// the dialog's text ("" when no dialog came). The title is checked against the program title.
struct DialogSeen {
    bool shown = false;
    std::string title;
    std::string text;
};
DialogSeen RunExpectingErrorDialog(const std::function<void()>& action, DWORD timeoutMs = 10000);
// Asserts that an action shows no error dialog (one that came is read, closed and reported).
void ExpectNoDialog(const std::function<void()>& action);

// Saves a picture of the whole screen under the screenshots folder as NAME.bmp.
void SaveScreenshot(const std::string& name);

// The double-click time the test programs set for their prefix, in milliseconds: short, so that
// keeping clicks apart costs little, and long enough for a double click sent as one input.
inline constexpr UINT kTestDoubleClickTime = 200;
// Lets the double-click time pass, so that the next click on the same spot is a click of its own.
void WaitPastDoubleClickTime();

// The program title the error dialog of this test program carries.
std::string ThisProgramTitle();
