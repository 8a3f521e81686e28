// End-to-end runs of the real Dawnroll.exe, driven only from outside as a user would: the
// program is started as its own process in the test prefix, its window is found by class, its
// sections and lists are read through the controls (another process's list view is read through
// memory allocated in that process), and it is driven with real mouse and keyboard input
// (SendInput). After each action the source itself is checked: the file on the Wine drive, the
// WIN.INI entry, the registry value, the Startup folder's file.
// Usage: e2e_driver PATH-OF-Dawnroll.exe [gtest options]. It writes the prefix's real autostart
// places, so it only ever runs in the throwaway test prefix: in any other, every test fails
// before it writes anything.
#include "../tools/DemoSeed.h"
#include "AccessibleReading.h"
#include "ProcessWindow.h"
#include "TestSupport.h"
#include "ThrowawayPrefix.h"
#include "sources/WideText.h"
#include "ui/ControlMessages.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// ---- The program's file, from the command line (a Unix path is reached through drive Z:).

std::string ProgramPath() {
    for (int i = 1; i < __argc; ++i) {
        std::string argument = __argv[i];
        if (argument.rfind("--gtest", 0) == 0)
            continue;
        if (!argument.empty() && argument[0] == '/') {
            for (char& c : argument)
                c = c == '/' ? '\\' : c;
            argument = "Z:" + argument;
        }
        return argument;
    }
    return "";
}

// ---- Memory in another process, for list view messages that carry pointers.

class RemoteBuffer {
  public:
    RemoteBuffer(HANDLE process, std::size_t size) : process_(process) {
        address_ = static_cast<char*>(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
        if (!address_)
            throw std::runtime_error("VirtualAllocEx failed");
    }
    ~RemoteBuffer() { VirtualFreeEx(process_, address_, 0, MEM_RELEASE); }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    char* At(std::size_t offset) const { return address_ + offset; }
    void Write(std::size_t offset, const void* data, std::size_t size) const {
        SIZE_T done = 0;
        if (!WriteProcessMemory(process_, At(offset), data, size, &done) || done != size)
            throw std::runtime_error("WriteProcessMemory failed");
    }
    void Read(std::size_t offset, void* data, std::size_t size) const {
        SIZE_T done = 0;
        if (!ReadProcessMemory(process_, At(offset), data, size, &done) || done != size)
            throw std::runtime_error("ReadProcessMemory failed");
    }

  private:
    HANDLE process_;
    char* address_ = nullptr;
};

// ---- Input and waiting.

// Queued input is handled before WM_PAINT: invalidate a pixel and wait until it is painted.
void WaitRepaint(HWND window) {
    RECT pixel = {0, 0, 1, 1};
    InvalidateRect(window, &pixel, FALSE);
    WaitUntil([&] { return !IsWindow(window) || !GetUpdateRect(window, nullptr, FALSE); }, 5000);
}

void SendKeys(HWND repainted, const std::vector<WORD>& keys) {
    QueueKeyPresses(keys);
    WaitRepaint(repainted);
}

void TypeText(HWND repainted, const std::string& text) {
    std::vector<WORD> keys;
    for (char c : text)
        keys.push_back(static_cast<WORD>(VkKeyScanA(c) & 0xFF));
    SendKeys(repainted, keys);
}

// Types characters as a keyboard that has them does (each a key press of its own code).
void TypeUnicode(HWND repainted, const std::wstring& text) {
    std::vector<INPUT> inputs;
    for (wchar_t c : text) {
        INPUT press = {};
        press.type = INPUT_KEYBOARD;
        press.ki.wScan = c;
        press.ki.dwFlags = KEYEVENTF_UNICODE;
        inputs.push_back(press);
        press.ki.dwFlags = KEYEVENTF_UNICODE | KEYEVENTF_KEYUP;
        inputs.push_back(press);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    WaitRepaint(repainted);
}

RECT ScreenRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

// ---- The program under test.

struct Line {
    std::string text;
    bool checked;
};
struct Row {
    std::string caption;
    std::string fullname;
    bool checked;
};

class Dawnroll {
  public:
    Dawnroll() {
        const std::string program = ProgramPath();
        std::string command = "\"" + program + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        if (!CreateProcessA(program.c_str(), &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &process_))
            throw std::runtime_error("cannot start " + program);
    }
    ~Dawnroll() {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) {
            if (HWND dialog = Dialog())
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
            if (window_)
                PostMessageA(window_, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0)
                TerminateProcess(process_.hProcess, 1);
        }
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Dawnroll(const Dawnroll&) = delete;
    Dawnroll& operator=(const Dawnroll&) = delete;

    // Waits for the main window to exist (it may still be hidden behind the error dialog).
    bool WaitForWindow() {
        return WaitUntil([&] { return (window_ = FindProcessWindow(process_.dwProcessId, "TFormDawnroll")); }, 15000);
    }
    // Waits for the main window to be on the screen and painted, and brings it to the front.
    void WaitShown() {
        ASSERT_TRUE(WaitForWindow()) << "no TFormDawnroll window";
        ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(window_) != FALSE; }, 15000));
        Front();
    }
    void Front() {
        SetForegroundWindow(window_);
        WaitUntil([&] { return GetForegroundWindow() == window_; }, 3000);
        WaitRepaint(window_);
    }
    HWND Dialog() const { return FindProcessWindow(process_.dwProcessId, "#32770"); }
    DWORD ProcessId() const { return process_.dwProcessId; }
    HWND Window() const { return window_; }
    bool Running() const { return WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT; }

    HWND Box(int section) const { return GetDlgItem(window_, 100 + section); }
    HWND CheckList(int section) const { return GetDlgItem(Box(section), 200 + section); }
    HWND ListView(int list) const { return GetDlgItem(Box(list + 4), 300 + list); }
    std::string Caption(int section) const {
        char text[1024] = {};
        GetWindowTextA(Box(section), text, sizeof text);
        return text;
    }
    bool Visible(int section) const { return IsWindowVisible(Box(section)) != FALSE; }
    // Eleven sections, or fourteen on a 64-bit system.
    int SectionCount() const {
        int count = 0;
        while (Box(count + 1))
            ++count;
        return count;
    }
    std::vector<int> VisibleSections() const {
        std::vector<int> sections;
        for (int section = 1; section <= SectionCount(); ++section)
            if (Visible(section))
                sections.push_back(section);
        return sections;
    }
    // A section's rectangle in the main window's client coordinates.
    RECT BoxRect(int section) const {
        RECT rect = ScreenRect(Box(section));
        MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&rect), 2);
        return rect;
    }
    int Height(int section) const {
        const RECT rect = BoxRect(section);
        return rect.bottom - rect.top;
    }
    RECT Client() const {
        RECT client = {};
        GetClientRect(window_, &client);
        return client;
    }
    // As a user scrolls a point of a list below the window's lower edge into sight: page-down
    // clicks in the window's scroll bar, just above its lower arrow.
    void BringIntoView(HWND list, POINT point) {
        for (int page = 0; page < 20; ++page) {
            POINT inWindow = point;
            MapWindowPoints(list, window_, &inWindow, 1);
            const RECT client = Client();
            if (inWindow.y < client.bottom || !(GetWindowLongA(window_, GWL_STYLE) & WS_VSCROLL))
                return;
            ClickAt(window_, client.right + GetSystemMetrics(SM_CXVSCROLL) / 2,
                    client.bottom - GetSystemMetrics(SM_CYVSCROLL) - 4);
            WaitRepaint(window_);
        }
    }

    // Read as wide text: Wine carries LB_GETTEXT across processes in its wide form.
    std::vector<Line> Lines(int section) const {
        const HWND list = CheckList(section);
        std::vector<Line> lines;
        const auto count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            const auto length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
            std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(&wide[0]));
            std::string text(wide.size() * 2 + 1, '\0');
            const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), -1, &text[0], static_cast<int>(text.size()),
                                                  nullptr, nullptr);
            text.resize(bytes > 0 ? static_cast<std::size_t>(bytes - 1) : 0);
            lines.push_back({text, SendMessageA(list, LB_GETITEMDATA, i, 0) == 1});
        }
        return lines;
    }

    std::wstring WideCaption(int section) const {
        wchar_t text[1024] = {};
        GetWindowTextW(Box(section), text, 1024);
        return text;
    }
    std::wstring WideLine(int section, int index) const {
        const HWND list = CheckList(section);
        std::wstring wide(static_cast<std::size_t>(SendMessageW(list, LB_GETTEXTLEN, index, 0)) + 1, L'\0');
        wide.resize(static_cast<std::size_t>(
            std::max<LRESULT>(0, SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&wide[0])))));
        return wide;
    }
    // A line's rectangle on the screen, as the list lays its lines out.
    RECT LineOnScreen(int section, int index) const {
        const HWND list = CheckList(section);
        const auto top = SendMessageA(list, LB_GETTOPINDEX, 0, 0);
        const int height = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
        RECT client = {};
        GetClientRect(list, &client);
        RECT line = {0, static_cast<LONG>((index - top) * height), client.right, 0};
        line.bottom = line.top + height;
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&line), 2);
        return line;
    }

    int RowCount(int list) const { return static_cast<int>(SendMessageA(ListView(list), LVM_GETITEMCOUNT, 0, 0)); }
    std::string ItemText(int list, int row, int column) const {
        RemoteBuffer remote(process_.hProcess, 8192);
        LVITEMA item = {};
        item.iSubItem = column;
        item.pszText = remote.At(512);
        item.cchTextMax = 4096;
        remote.Write(0, &item, sizeof item);
        const auto length = SendMessageA(ListView(list), LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(remote.At(0)));
        std::string text(static_cast<std::size_t>(length), '\0');
        if (length > 0)
            remote.Read(512, &text[0], text.size());
        return text;
    }
    std::wstring WideItemText(int list, int row, int column) const {
        RemoteBuffer remote(process_.hProcess, 16384);
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = reinterpret_cast<wchar_t*>(remote.At(512));
        item.cchTextMax = 4096;
        remote.Write(0, &item, sizeof item);
        const auto length = SendMessageW(ListView(list), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(remote.At(0)));
        std::wstring text(static_cast<std::size_t>(length), L'\0');
        if (length > 0)
            remote.Read(512, &text[0], text.size() * sizeof(wchar_t));
        return text;
    }
    bool RowChecked(int list, int row) const {
        return (SendMessageA(ListView(list), LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) ==
               INDEXTOSTATEIMAGEMASK(2);
    }
    std::vector<Row> Rows(int list) const {
        std::vector<Row> rows;
        for (int row = 0; row < RowCount(list); ++row)
            rows.push_back({ItemText(list, row, 0), ItemText(list, row, 1), RowChecked(list, row)});
        return rows;
    }
    int FindRow(int list, const std::string& caption) const {
        for (int row = 0; row < RowCount(list); ++row)
            if (ItemText(list, row, 0) == caption)
                return row;
        return -1;
    }
    int FindLine(int section, const std::string& text) const {
        const auto lines = Lines(section);
        for (std::size_t i = 0; i < lines.size(); ++i)
            if (lines[i].text == text)
                return static_cast<int>(i);
        return -1;
    }

    // A row's bounds in the list view's client coordinates.
    RECT RowRect(int list, int row, int part = LVIR_BOUNDS) const {
        RemoteBuffer remote(process_.hProcess, 64);
        RECT rect = {};
        rect.left = part;
        remote.Write(0, &rect, sizeof rect);
        SendMessageA(ListView(list), LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote.At(0)));
        remote.Read(0, &rect, sizeof rect);
        return rect;
    }
    // Where the list view itself says the row's check box is (its state icon).
    POINT RowCheckBox(int list, int row) const {
        const RECT bounds = RowRect(list, row);
        const int y = (bounds.top + bounds.bottom) / 2;
        RemoteBuffer remote(process_.hProcess, 256);
        int first = -1, last = -1;
        for (int x = bounds.left; x < bounds.left + 48; ++x) {
            LVHITTESTINFO hit = {};
            hit.pt = {x, y};
            remote.Write(0, &hit, sizeof hit);
            SendMessageA(ListView(list), LVM_HITTEST, 0, reinterpret_cast<LPARAM>(remote.At(0)));
            remote.Read(0, &hit, sizeof hit);
            if (hit.iItem == row && (hit.flags & LVHT_ONITEMSTATEICON)) {
                if (first < 0)
                    first = x;
                last = x;
            } else if (first >= 0) {
                break;
            }
        }
        if (first < 0)
            throw std::runtime_error("no check box found in the row");
        return {(first + last) / 2, y};
    }
    POINT RowLabel(int list, int row) const {
        const RECT label = RowRect(list, row, LVIR_LABEL);
        return {label.left + 10, (label.top + label.bottom) / 2};
    }

    // Real input on the program's controls.
    // The middle of a line's check box, in the list's client coordinates.
    POINT LineBox(int section, int index) const {
        const HWND list = CheckList(section);
        const auto top = SendMessageA(list, LB_GETTOPINDEX, 0, 0);
        const auto height = SendMessageA(list, LB_GETITEMHEIGHT, 0, 0);
        return {7, static_cast<int>((index - top) * height + height / 2)};
    }
    // Two clicks at one place within the double-click time make a double click; single clicks
    // are kept apart. The time counts from when the program had handled the last click: on a
    // busy machine the click reached the screen later than it was sent, and clicks spaced from
    // the sending came too close together.
    void SpaceClicks() {
        const DWORD since = GetTickCount() - lastClick_;
        if (since <= GetDoubleClickTime() + 100)
            Sleep(GetDoubleClickTime() + 100 - since);
    }
    void ClickHandled() { lastClick_ = GetTickCount(); }
    void ClickLineBox(int section, int index) {
        SpaceClicks();
        const POINT point = LineBox(section, index);
        ClickAt(CheckList(section), point.x, point.y);
        WaitRepaint(window_);
        ClickHandled();
    }
    void DoubleClickLineBox(int section, int index) {
        SpaceClicks();
        const POINT point = LineBox(section, index);
        DoubleClickAt(CheckList(section), point.x, point.y);
        WaitRepaint(window_);
        ClickHandled();
    }
    void ClickRowBox(int list, int row) {
        SpaceClicks();
        BringIntoView(ListView(list), RowCheckBox(list, row));
        const POINT point = RowCheckBox(list, row);
        ClickAt(ListView(list), point.x, point.y);
        WaitRepaint(window_);
        ClickHandled();
    }

    // The "Display" menu by keyboard: Alt opens the menu bar, Down opens "Display" at its first
    // item ("Hide empty startups"), a second Down moves to "Show empty startups".
    void ChooseByKeys(bool show) {
        Front();
        std::vector<WORD> keys = {VK_MENU, VK_DOWN};
        if (show)
            keys.push_back(VK_DOWN);
        keys.push_back(VK_RETURN);
        SendKeys(window_, keys);
        WaitUntil(
            [&] {
                return !FindProcessWindow(process_.dwProcessId, "#32768") ||
                       !IsWindowVisible(FindProcessWindow(process_.dwProcessId, "#32768"));
            },
            3000);
        WaitRepaint(window_);
    }
    // The "Display" menu by mouse: a click on "Display" in the menu bar, then on the item.
    void ChooseByMouse(bool show) {
        Front();
        const RECT frame = ScreenRect(window_);
        POINT clientTop = {0, 0};
        ClientToScreen(window_, &clientTop);
        // The menu bar is the strip just above the client area; "Display" is its first item.
        const int barY = clientTop.y - GetSystemMetrics(SM_CYMENU) / 2;
        POINT bar = {clientTop.x + 20, barY};
        ScreenToClient(window_, &bar);
        (void)frame;
        ClickAt(window_, bar.x, bar.y);
        HWND popup = nullptr;
        ASSERT_TRUE(WaitUntil(
            [&] {
                popup = FindProcessWindow(process_.dwProcessId, "#32768");
                return popup && IsWindowVisible(popup);
            },
            5000))
            << "the Display menu did not open";
        RECT client = {};
        GetClientRect(popup, &client);
        // Two items of equal height: the first in the upper half, the second in the lower.
        ClickAt(popup, client.right / 2, show ? client.bottom * 3 / 4 : client.bottom / 4);
        WaitUntil([&] { return !IsWindow(popup) || !IsWindowVisible(popup); }, 3000);
        WaitRepaint(window_);
    }

  private:
    PROCESS_INFORMATION process_ = {};
    HWND window_ = nullptr;
    DWORD lastClick_ = 0;
};

// ---- The sources, read directly.

std::string FileText(const std::string& path) {
    return FileExists(path) ? ReadBytes(path) : "<missing>";
}

RegistryData RunValue(HKEY root, const char* key, const std::string& name) {
    return GetValue(root, demo::RunKeyPath(key), name);
}
// The sections the seeded sources fill, given those of a 32-bit system: on a 64-bit system the
// 32-bit programs' three run keys (sections 12 to 14) follow.
std::vector<int> WithTheNodeKeys(std::vector<int> sections) {
    if (IsSystem64Bit())
        sections.insert(sections.end(), {12, 13, 14});
    return sections;
}

// A value of one of the seeded run keys, read in the native view where its path names it.
RegistryData RunValue(const demo::RunKey& runKey, const std::string& name) {
    return GetValue(runKey.root, demo::RunKeyPath(runKey), name, demo::ViewOf(runKey.root));
}

std::string AsText(const RegistryData& value) {
    return value.bytes.substr(0, value.bytes.find('\0'));
}

const std::string kHklm = "My Computer\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
const std::string kHkcu = "My Computer\\HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";

// Height rules of the sections, for n lines or rows. h is the height of "REM" in the window's
// font as the program measures it (13 at 96 dots per inch on Windows, 12 with Wine's stand-in
// font); a check list's line is that high.
int textHeight = 13;
int BootHeight(int n) {
    return (n + 1) * textHeight + 21;
}
int StartupHeight(int n) {
    return textHeight * (n + 1) + 42;
}
int RunKeyHeight(int n) {
    return (textHeight + 4) * (n + 1) + 42;
}

class EndToEnd : public testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(ProgramPath().empty()) << "usage: e2e_driver PATH-OF-Dawnroll.exe";
        ASSERT_TRUE(InThrowawayPrefix()) << NotAThrowawayPrefixMessage();
        demo::SeedAll();
        // HKLM\...\Explorer\Shell Folders and the folders exist now; remember them.
        userStartup = demo::UserStartupFolder();
        commonStartup = demo::CommonStartupFolder();
    }
    void TearDown() override {
        // A picture of the end state of every scenario.
        const auto* info = testing::UnitTest::GetInstance()->current_test_info();
        if (program && program->Window())
            SaveScreenshot(std::string("e2e-") + info->name());
        program.reset();
    }
    Dawnroll& Start() {
        program = std::make_unique<Dawnroll>();
        program->WaitShown();
        // The sections below the window, and the Startup folders' rows when the shell reads
        // them slowly, follow the window.
        EXPECT_TRUE(WaitUntil([&] { return !GetPropW(program->Window(), kLoadingProperty); }, 15000))
            << "the window was still loading sections";
        textHeight = static_cast<int>(SendMessageA(program->CheckList(1), LB_GETITEMHEIGHT, 0, 0));
        return *program;
    }
    // A window large enough for every section of the seeded sources.
    void Enlarge() {
        SetWindowPos(program->Window(), nullptr, 0, 0, 1000, 990, SWP_NOZORDER);
        WaitUntil([&] { return program->Client().bottom > 900; }, 3000);
        program->Front();
    }

    std::string userStartup;
    std::string commonStartup;
    std::unique_ptr<Dawnroll> program;
};

// Hide-empty is on at start: only sections with entries show, stacked without gaps in the
// table's order; "Show empty startups" shows all eleven with their titles, "Hide empty startups"
// hides the empty ones again; choosing an option twice reloads twice, marks unchanged.
TEST_F(EndToEnd, DisplayOptionHidesAndShowsEmptySections) {
    DeleteFileA(demo::kAutoexecBat);
    demo::SetWinIniEntry("Run", "");
    demo::ClearRunKey(HKEY_CURRENT_USER, "RunOnce");
    demo::ClearRunKey(HKEY_LOCAL_MACHINE, "RunServices");
    Dawnroll& app = Start();
    Enlarge();

    EXPECT_EQ(app.VisibleSections(), WithTheNodeKeys({1, 3, 5, 6, 7, 9, 10}));
    int top = 0;
    for (int section : app.VisibleSections()) {
        EXPECT_EQ(app.BoxRect(section).top, top) << "section " << section << " is not stacked";
        top = app.BoxRect(section).bottom;
    }
    EXPECT_EQ(app.Height(1), BootHeight(5));
    EXPECT_EQ(app.Height(3), BootHeight(2));
    EXPECT_EQ(app.Height(5), StartupHeight(2));
    EXPECT_EQ(app.Height(7), RunKeyHeight(2));
    EXPECT_EQ(app.Height(10), RunKeyHeight(1));
    const auto configMarks = app.Lines(1);

    app.ChooseByKeys(/*show=*/true);
    ASSERT_EQ(app.SectionCount(), IsSystem64Bit() ? 14 : 11);
    ASSERT_EQ(app.VisibleSections().size(), static_cast<std::size_t>(app.SectionCount()))
        << "Show empty startups did not show every section";
    EXPECT_EQ(app.Caption(2), "C:\\AUTOEXEC.BAT");
    EXPECT_TRUE(app.Lines(2).empty());
    EXPECT_EQ(app.Height(2), 41); // the designed height, never set by a load
    EXPECT_EQ(app.Caption(4), demo::WinIni() + ", [Windows], Run=");
    EXPECT_EQ(app.Caption(8), kHkcu + "RunOnce");
    EXPECT_EQ(app.Caption(11), kHklm + "RunServices");
    EXPECT_EQ(app.Height(11), 57);

    // Chosen again: everything is read again (a value added meanwhile appears), marks stay.
    demo::SetRunValue(HKEY_CURRENT_USER, "RunOnce", {"LateComer", "C:\\late.exe", REG_SZ});
    app.ChooseByKeys(/*show=*/true);
    EXPECT_EQ(app.RowCount(4), 1) << "the second choice of the option did not reload";
    EXPECT_EQ(app.Height(8), RunKeyHeight(1));
    const auto again = app.Lines(1);
    ASSERT_EQ(again.size(), configMarks.size());
    for (std::size_t i = 0; i < again.size(); ++i)
        EXPECT_EQ(again[i].checked, configMarks[i].checked) << again[i].text;

    app.ChooseByMouse(/*show=*/false);
    EXPECT_EQ(app.VisibleSections(), WithTheNodeKeys({1, 3, 5, 6, 7, 8, 9, 10}));
    app.ChooseByMouse(/*show=*/false);
    EXPECT_EQ(app.VisibleSections(), WithTheNodeKeys({1, 3, 5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(app.BoxRect(1).top, 0);
}

// Every one of the eleven sections: uncheck an entry by a click on its check box and see the
// source change; check it again where that restores it, and see the source exactly as it was.
TEST_F(EndToEnd, UncheckAndCheckInEverySection) {
    Dawnroll& app = Start();
    Enlarge();
    ASSERT_EQ(app.VisibleSections(), WithTheNodeKeys({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));

    // 1, 2: boot files.
    const std::string config = FileText(demo::kConfigSys);
    app.ClickLineBox(1, 0);
    EXPECT_FALSE(app.Lines(1)[0].checked);
    EXPECT_EQ(FileText(demo::kConfigSys), "REM " + config);
    app.ClickLineBox(1, 0);
    EXPECT_EQ(FileText(demo::kConfigSys), config);

    const std::string autoexec = FileText(demo::kAutoexecBat);
    const int mouse = app.FindLine(2, "REM LH C:\\MOUSE\\MOUSE.COM");
    ASSERT_GE(mouse, 0) << testing::PrintToString(app.Lines(2).size())
                        << " lines, first: " << (app.Lines(2).empty() ? "" : app.Lines(2)[0].text);
    EXPECT_FALSE(app.Lines(2)[mouse].checked);
    app.ClickLineBox(2, mouse);
    EXPECT_NE(FileText(demo::kAutoexecBat).find("\r\nLH C:\\MOUSE\\MOUSE.COM\r\n"), std::string::npos);
    app.ClickLineBox(2, mouse);
    EXPECT_EQ(FileText(demo::kAutoexecBat), autoexec);

    // 3, 4: WIN.INI program lists.
    app.ClickLineBox(3, 1);
    EXPECT_EQ(demo::ReadWinIniEntry("Load"), "C:\\Tools\\clock.exe");
    app.ClickLineBox(3, 1);
    EXPECT_EQ(demo::ReadWinIniEntry("Load"), demo::kLoadPrograms);
    app.ClickLineBox(4, 0);
    EXPECT_EQ(demo::ReadWinIniEntry("Run"), "C:\\Tools\\reminder.exe");
    app.ClickLineBox(4, 0);
    EXPECT_EQ(demo::ReadWinIniEntry("Run"), demo::kRunPrograms);

    // 5, 6: Startup folders; unchecking deletes the file and removes its row.
    struct Folder {
        int list;
        std::string path;
    };
    for (const Folder& folder : {Folder{1, userStartup}, Folder{2, commonStartup}}) {
        ASSERT_EQ(app.RowCount(folder.list), 2);
        const std::string file = app.ItemText(folder.list, 0, 1);
        EXPECT_EQ(file.rfind(folder.path + "\\", 0), 0u) << file;
        ASSERT_TRUE(FileExists(file));
        app.ClickRowBox(folder.list, 0);
        EXPECT_FALSE(FileExists(file)) << file;
        EXPECT_TRUE(WaitUntil([&] { return app.RowCount(folder.list) == 1; }, 3000));
        EXPECT_NE(app.ItemText(folder.list, 0, 1), file);
    }

    // 7 to 11 (and 12 to 14 on a 64-bit system): run keys; unchecking deletes the value,
    // checking writes it back as it was.
    const auto runKeys = demo::RunKeysOfThisSystem();
    for (std::size_t k = 0; k < runKeys.size(); ++k) {
        const auto& runKey = runKeys[k];
        const int list = static_cast<int>(k) + 3;
        for (const auto& value : runKey.values) {
            SCOPED_TRACE(std::string(runKey.name) + "\\" + value.name);
            const RegistryData before = RunValue(runKey, value.name);
            ASSERT_TRUE(before.exists);
            const int row = app.FindRow(list, value.name);
            ASSERT_GE(row, 0);
            EXPECT_EQ(app.ItemText(list, row, 1), value.data);
            app.ClickRowBox(list, row);
            EXPECT_FALSE(app.RowChecked(list, row));
            EXPECT_FALSE(RunValue(runKey, value.name).exists);
            app.ClickRowBox(list, row);
            EXPECT_TRUE(app.RowChecked(list, row));
            const RegistryData after = RunValue(runKey, value.name);
            EXPECT_TRUE(after.exists);
            EXPECT_EQ(after.type, value.type);
            EXPECT_EQ(AsText(after), value.data);
        }
    }
}

// A double click on a boot line's check box rewrites the file twice: the line ends as it was
// (a lower-case marker comes back as "REM "), and the missing last line end is added.
TEST_F(EndToEnd, DoubleClickOnBootLineRewritesTwice) {
    demo::WriteFileBytes(demo::kConfigSys, "rem DEVICE=C:\\OLD\\CDROM.SYS\r\nFILES=40");
    Dawnroll& app = Start();
    ASSERT_EQ(app.Lines(1).size(), 2u);
    EXPECT_FALSE(app.Lines(1)[0].checked);
    app.DoubleClickLineBox(1, 0);
    EXPECT_FALSE(app.Lines(1)[0].checked);
    EXPECT_EQ(FileText(demo::kConfigSys), "REM DEVICE=C:\\OLD\\CDROM.SYS\r\nFILES=40\r\n");
}

// A run key holding a number value: the error dialog comes once the key is read (after the
// window when the key's section lies below the window's first screen); after OK the window
// shows the sections before it loaded and those after it as designed. Once the value is fixed,
// choosing a menu item loads everything.
TEST_F(EndToEnd, NumberValueStopsItsOwnSectionAtStart) {
    SetDwordValue(HKEY_LOCAL_MACHINE, demo::RunKeyPath("Run"), "Counter", 7);
    program = std::make_unique<Dawnroll>();
    Dawnroll& app = *program;
    HWND dialog = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (dialog = app.Dialog()) && IsWindowVisible(dialog); }, 15000))
        << "no error dialog";
    char title[256] = {};
    GetWindowTextA(dialog, title, sizeof title);
    // The program title comes from the program's file name: Dawnroll.exe or Dawnroll64.exe.
    EXPECT_STREQ(title, sizeof(void*) == 8 ? "Dawnroll64" : "Dawnroll");
    char text[1024] = {};
    GetDlgItemTextA(dialog, 0xFFFF, text, sizeof text);
    // The message ends in "'", so no full stop is appended.
    EXPECT_STREQ(text, "Invalid data type for 'Counter'");
    HWND icon = GetDlgItem(dialog, 0x0440);
    EXPECT_TRUE(icon && IsWindowVisible(icon) && SendMessageA(icon, STM_GETICON, 0, 0)) << "no icon";
    EXPECT_TRUE(GetDlgItem(dialog, IDOK) != nullptr);
    // The dialog is found as soon as it exists; its picture is taken once it has painted.
    WaitUntil([&] { return !GetUpdateRect(dialog, nullptr, FALSE); }, 2000);
    SaveScreenshot("e2e-NumberValueStopsItsOwnSectionAtStart-dialog");

    // OK, clicked.
    HWND ok = GetDlgItem(dialog, IDOK);
    RECT button = {};
    GetClientRect(ok, &button);
    ClickAt(ok, button.right / 2, button.bottom / 2);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000)) << "OK did not close the dialog";
    app.WaitShown();
    textHeight = static_cast<int>(SendMessageA(app.CheckList(1), LB_GETITEMHEIGHT, 0, 0));
    Enlarge();
    for (int section = 1; section <= app.SectionCount(); ++section)
        EXPECT_NE(app.Caption(section), "GroupBox" + std::to_string(section));
    EXPECT_EQ(app.RowCount(1), 2);
    EXPECT_EQ(app.Caption(9), kHklm + "Run");
    EXPECT_EQ(app.RowCount(5), 0) << "'Counter' comes first in the key";
    EXPECT_TRUE(app.Visible(9));
    EXPECT_EQ(app.Height(9), 57);
    // The sections after it show the machine's entries all the same.
    EXPECT_EQ(app.Caption(10), kHklm + "RunOnce");
    EXPECT_EQ(app.Caption(11), kHklm + "RunServices");
    EXPECT_EQ(app.RowCount(6), 1);
    EXPECT_EQ(app.RowCount(7), 1);
    EXPECT_EQ(app.Height(10), RunKeyHeight(1));

    SetStringValue(HKEY_LOCAL_MACHINE, demo::RunKeyPath("Run"), "Counter", "C:\\counter.exe");
    app.ChooseByKeys(/*show=*/false);
    EXPECT_FALSE(app.Dialog()) << "an error dialog after the value was fixed";
    EXPECT_EQ(app.RowCount(5), 3);
    EXPECT_EQ(app.Caption(10), kHklm + "RunOnce");
    EXPECT_EQ(app.Caption(11), kHklm + "RunServices");
    EXPECT_EQ(app.RowCount(6), 1);
    EXPECT_EQ(app.RowCount(7), 1);
    EXPECT_EQ(app.Height(9), RunKeyHeight(3));
}

// A caption edited in place, then the row unchecked: the value the row was loaded from is
// deleted (not one named after the edited caption), and checking writes it back unchanged.
// Opens the in-place editor of a row's caption as a user does: a click selects the row, F2 edits
// the focused row's caption (a slow second click does too). Null when no editor came.
HWND OpenEditor(Dawnroll& app, int list, int row) {
    const HWND view = app.ListView(list);
    const POINT label = app.RowLabel(list, row);
    ClickAt(view, label.x, label.y); // selects the row
    app.Front();
    SetForegroundWindow(app.Window());
    ClickAt(view, label.x, label.y); // focus stays on the list
    SendKeys(view, {VK_F2});
    HWND edit = nullptr;
    const auto editor = [&] { return (edit = reinterpret_cast<HWND>(SendMessageA(view, LVM_GETEDITCONTROL, 0, 0))); };
    if (!WaitUntil(editor, 1500)) {
        Sleep(GetDoubleClickTime() + 100);
        ClickAt(view, label.x, label.y);
        WaitUntil(editor, 3000);
    }
    return edit;
}

TEST_F(EndToEnd, EditedCaptionThenUncheckedDeletesTheRealValue) {
    Dawnroll& app = Start();
    Enlarge();
    const int list = 3; // HKCU Run
    const int row = app.FindRow(list, "WeatherApplet");
    ASSERT_GE(row, 0);
    const HWND view = app.ListView(list);
    const HWND edit = OpenEditor(app, list, row);
    ASSERT_TRUE(edit) << "no in-place editor";
    TypeText(edit, "renamed");
    SendKeys(view, {VK_RETURN});
    ASSERT_TRUE(WaitUntil([&] { return app.ItemText(list, row, 0) == "renamed"; }, 3000))
        << "caption is " << app.ItemText(list, row, 0);
    EXPECT_TRUE(RunValue(HKEY_CURRENT_USER, "Run", "WeatherApplet").exists) << "the edit alone changed the registry";

    app.ClickRowBox(list, row);
    EXPECT_FALSE(app.RowChecked(list, row));
    EXPECT_FALSE(RunValue(HKEY_CURRENT_USER, "Run", "WeatherApplet").exists);
    EXPECT_FALSE(RunValue(HKEY_CURRENT_USER, "Run", "renamed").exists);
    app.ClickRowBox(list, row);
    EXPECT_TRUE(app.RowChecked(list, row));
    const RegistryData back = RunValue(HKEY_CURRENT_USER, "Run", "WeatherApplet");
    EXPECT_TRUE(back.exists);
    EXPECT_EQ(AsText(back), demo::kRunKeys[0].values[0].data);
    EXPECT_FALSE(RunValue(HKEY_CURRENT_USER, "Run", "renamed").exists);
}

// The in-place editor takes characters of any script as typed, whatever the code page: the
// program's windows and its message loop pass text on as wide text.
TEST_F(EndToEnd, CaptionTypedInAnyScriptReadsBackExactly) {
    Dawnroll& app = Start();
    Enlarge();
    const int list = 3, row = app.FindRow(list, "WeatherApplet");
    ASSERT_GE(row, 0);
    const HWND edit = OpenEditor(app, list, row);
    ASSERT_TRUE(edit) << "no in-place editor";
    // Greek and Cyrillic, neither of which the test prefix's code page (1252) holds.
    const std::wstring typed = L"\x039A\x03B1\x03B9\x03C1\x03CC\x03C2 \x041F\x043E\x0433\x043E\x0434\x0430";
    TypeUnicode(edit, typed);
    SendKeys(app.ListView(list), {VK_RETURN});
    EXPECT_TRUE(WaitUntil([&] { return app.WideItemText(list, row, 0) == typed; }, 3000))
        << "caption is " << app.ItemText(list, row, 0);
    EXPECT_EQ(app.WideItemText(list, row, 0).find(L'?'), std::wstring::npos);
    EXPECT_TRUE(RunValue(HKEY_CURRENT_USER, "Run", "WeatherApplet").exists) << "the edit alone changed the registry";
}

// More sections than the client area holds: the scroll bar shows, scrolling reaches the last
// section, and a check box far down is clicked after scrolling.
TEST_F(EndToEnd, OverflowScrollsToTheLastSection) {
    for (int i = 1; i <= 30; ++i) {
        const std::string name = "Service" + std::string(i < 10 ? "0" : "") + std::to_string(i);
        SetStringValue(HKEY_LOCAL_MACHINE, demo::RunKeyPath("RunServices"), name, "C:\\svc\\" + name + ".exe");
    }
    Dawnroll& app = Start();
    SetWindowPos(app.Window(), nullptr, 0, 0, 900, 700, SWP_NOZORDER);
    app.Front();
    ASSERT_EQ(app.RowCount(7), 31);
    EXPECT_EQ(app.Height(11), RunKeyHeight(31));
    EXPECT_TRUE(GetWindowLongA(app.Window(), GWL_STYLE) & WS_VSCROLL) << "no scroll bar";
    const int lastSection = app.VisibleSections().back();
    ASSERT_GT(app.BoxRect(lastSection).bottom, app.Client().bottom);

    // Page-down clicks in the scroll bar's track, just above its lower arrow.
    const RECT client = app.Client();
    const int x = client.right + GetSystemMetrics(SM_CXVSCROLL) / 2;
    const int y = client.bottom - GetSystemMetrics(SM_CYVSCROLL) - 4;
    for (int i = 0; i < 20 && app.BoxRect(lastSection).bottom > app.Client().bottom; ++i)
        ClickAt(app.Window(), x, y);
    EXPECT_EQ(app.BoxRect(lastSection).bottom, app.Client().bottom) << "scrolling did not reach the end";
    EXPECT_LT(app.BoxRect(1).top, 0);

    const int last = app.RowCount(7) - 1;
    const std::string name = app.ItemText(7, last, 0);
    EXPECT_EQ(name, "Service30");
    ASSERT_TRUE(RunValue(HKEY_LOCAL_MACHINE, "RunServices", name).exists);
    app.ClickRowBox(7, last);
    EXPECT_FALSE(app.RowChecked(7, last));
    EXPECT_FALSE(RunValue(HKEY_LOCAL_MACHINE, "RunServices", name).exists);
}

// Resizing the window: every section follows the client width, keeps its height, and its list
// fills it.
// A section's list shows all its rows whole, above its horizontal scroll bar when it has one,
// without scrolling of its own.
void ExpectEveryRowInSight(Dawnroll& app, int section) {
    const HWND list = GetWindow(app.Box(section), GW_CHILD);
    RECT client = {};
    GetClientRect(list, &client);
    EXPECT_FALSE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL) << "the list scrolls by itself";
    if (section <= 4) {
        const auto count = SendMessageA(list, LB_GETCOUNT, 0, 0);
        ASSERT_GT(count, 0);
        EXPECT_LE(count * SendMessageA(list, LB_GETITEMHEIGHT, 0, 0), client.bottom) << "the last line is cut";
    } else {
        const int count = app.RowCount(section - 4);
        ASSERT_GT(count, 0);
        EXPECT_LE(app.RowRect(section - 4, count - 1).bottom, client.bottom) << "the last row is cut";
    }
}

// Every section follows the width and keeps its height; a list whose columns a narrower window
// no longer holds gets its horizontal scroll bar, and its section the height to keep every row
// in sight above it.
TEST_F(EndToEnd, ResizingKeepsHeightsAndFollowsTheWidth) {
    Dawnroll& app = Start();
    std::vector<int> heights;
    for (int section = 1; section <= app.SectionCount(); ++section)
        heights.push_back(app.Height(section));
    for (SIZE size : {SIZE{640, 500}, SIZE{1100, 990}, SIZE{420, 300}}) {
        SetWindowPos(app.Window(), nullptr, 0, 0, size.cx, size.cy, SWP_NOZORDER);
        WaitRepaint(app.Window());
        SaveScreenshot("e2e-resized-" + std::to_string(size.cx));
        const RECT client = app.Client();
        for (int section : app.VisibleSections()) {
            SCOPED_TRACE("section " + std::to_string(section) + " at width " + std::to_string(size.cx));
            const RECT box = app.BoxRect(section);
            EXPECT_EQ(box.left, 0);
            EXPECT_EQ(box.right, client.right);
            const HWND list = GetWindow(app.Box(section), GW_CHILD);
            if (GetWindowLongA(list, GWL_STYLE) & WS_HSCROLL)
                EXPECT_GE(box.bottom - box.top, heights[section - 1]);
            else
                EXPECT_EQ(box.bottom - box.top, heights[section - 1]);
            ExpectEveryRowInSight(app, section);
            const RECT inner = ScreenRect(list);
            EXPECT_EQ(inner.right - inner.left, client.right - 4);
        }
    }
}

// The real program's keyboard: at start the focus is on the first visible section's list; Tab
// and Shift+Tab go round the visible lists in the table's order; Space on the focused boot-file
// line switches it off in the file.
TEST_F(EndToEnd, KeyboardFocusStartsOnTheFirstListAndTabGoesRound) {
    DeleteFileA(demo::kAutoexecBat);
    demo::ClearRunKey(HKEY_CURRENT_USER, "RunOnce");
    Dawnroll& app = Start();
    Enlarge();
    const std::vector<int> visible = app.VisibleSections();
    ASSERT_EQ(visible, WithTheNodeKeys({1, 3, 4, 5, 6, 7, 9, 10, 11}));
    auto listOf = [&](int section) { return section <= 4 ? app.CheckList(section) : app.ListView(section - 4); };
    auto focused = [&]() -> int {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        GetGUIThreadInfo(GetWindowThreadProcessId(app.Window(), nullptr), &info);
        for (int section = 1; section <= app.SectionCount(); ++section)
            if (listOf(section) == info.hwndFocus)
                return section;
        return 0;
    };
    EXPECT_EQ(focused(), 1) << "the focus at start";
    for (std::size_t i = 1; i <= visible.size(); ++i) {
        SendKeys(app.Window(), {VK_TAB});
        EXPECT_EQ(focused(), visible[i % visible.size()]) << "Tab";
    }
    // Shift+Tab: Shift held while Tab is pressed.
    std::vector<INPUT> inputs(4);
    for (auto& input : inputs)
        input.type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = VK_SHIFT;
    inputs[1].ki.wVk = VK_TAB;
    inputs[2].ki.wVk = VK_TAB;
    inputs[2].ki.dwFlags = KEYEVENTF_KEYUP;
    inputs[3].ki.wVk = VK_SHIFT;
    inputs[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, inputs.data(), sizeof(INPUT));
    WaitRepaint(app.Window());
    EXPECT_EQ(focused(), visible.back()) << "Shift+Tab from the first list";
    SendKeys(app.Window(), {VK_TAB});
    ASSERT_EQ(focused(), 1);

    const std::string config = FileText(demo::kConfigSys);
    SendKeys(app.Window(), {VK_HOME, VK_SPACE});
    EXPECT_FALSE(app.Lines(1)[0].checked);
    EXPECT_EQ(FileText(demo::kConfigSys), "REM " + config);
    SendKeys(app.Window(), {VK_SPACE});
    EXPECT_EQ(FileText(demo::kConfigSys), config);
}
// The real program at 144 dots per inch (the prefix's desktop setting LogPixels, read when a
// program starts; put back afterwards): the program declares itself aware of the resolution,
// lays itself out at its scale, and every row of every section shows inside its list.
TEST_F(EndToEnd, EveryRowInSightAt144DotsPerInch) {
    const ResolutionSetting resolution(144);

    Dawnroll& app = Start();
    Enlarge();
    ASSERT_EQ(app.VisibleSections(), WithTheNodeKeys({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    // The designed 13-pixel lines of the check lists at one and a half times the size.
    EXPECT_GE(textHeight, 17) << "the program did not take the resolution";
    for (int section = 1; section <= app.SectionCount(); ++section) {
        SCOPED_TRACE("section " + std::to_string(section));
        ExpectEveryRowInSight(app, section);
        const HWND list = GetWindow(app.Box(section), GW_CHILD);
        // The list inside its group box.
        RECT box = ScreenRect(app.Box(section));
        RECT inner = ScreenRect(list);
        EXPECT_TRUE(inner.left >= box.left && inner.right <= box.right && inner.top >= box.top &&
                    inner.bottom <= box.bottom);
    }
    SaveScreenshot("e2e-dpi-144");
}
// ---- The check lists through the accessibility interface, as a screen reader in another process
// reads them.

class Accessibility : public EndToEnd {
  protected:
    ComApartment com;
};

bool Has(long state, long flag) {
    return (state & flag) != 0;
}

long StateOf(IAccessible* list, long child) {
    return AccessibleChildOf(list, child).state;
}

// Each list is named by its section's title; each line is a check button named with the line's
// text exactly, checked when the line is on, in the line's place, off the screen when the window
// is scrolled away from it.
TEST_F(Accessibility, EveryLineIsReadWithItsExactTextAndWhetherItIsOn) {
    // A program whose name is outside the test prefix's code page (1252).
    const std::wstring greek = L"C:\\Tools\\\x03C1\x03BF\x03BB\x03CC\x03B9.exe";
    ASSERT_TRUE(WritePrivateProfileStringW(L"Windows", L"Load", (L"C:\\Tools\\clock.exe;" + greek).c_str(),
                                           WideOfAnsi(demo::WinIni()).c_str()));
    Dawnroll& app = Start();
    Enlarge();
    for (int section = 1; section <= 4; ++section) {
        SCOPED_TRACE("section " + std::to_string(section));
        const ComPtr<IAccessible> list = AccessibleOfWindow(app.CheckList(section));
        ASSERT_TRUE(list) << "the list gives no object";
        EXPECT_EQ(AccessibleName(list.Get(), CHILDID_SELF), app.WideCaption(section));
        EXPECT_EQ(AccessibleRole(list.Get(), CHILDID_SELF), ROLE_SYSTEM_LIST);
        const auto lines = app.Lines(section);
        const auto children = AccessibleChildren(list.Get());
        ASSERT_EQ(children.size(), lines.size());
        ASSERT_FALSE(children.empty());
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const int line = static_cast<int>(i);
            SCOPED_TRACE(lines[i].text);
            EXPECT_EQ(children[i].name, app.WideLine(section, line));
            EXPECT_EQ(children[i].role, ROLE_SYSTEM_CHECKBUTTON);
            EXPECT_EQ(Has(children[i].state, STATE_SYSTEM_CHECKED), lines[i].checked);
            EXPECT_TRUE(Has(children[i].state, STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE));
            EXPECT_FALSE(Has(children[i].state, STATE_SYSTEM_OFFSCREEN));
            const RECT place = app.LineOnScreen(section, line);
            EXPECT_TRUE(EqualRect(&children[i].place, &place))
                << children[i].place.left << "," << children[i].place.top << " " << children[i].place.right << ","
                << children[i].place.bottom;
        }
    }
    const ComPtr<IAccessible> config = AccessibleOfWindow(app.CheckList(1));
    const ComPtr<IAccessible> load = AccessibleOfWindow(app.CheckList(3));
    EXPECT_EQ(AccessibleName(load.Get(), 2), greek);
    EXPECT_TRUE(Has(StateOf(config.Get(), 1), STATE_SYSTEM_FOCUSED)) << "the focus at start is on the first line";
    EXPECT_FALSE(Has(StateOf(load.Get(), 1), STATE_SYSTEM_FOCUSED));

    // A window too low for the WIN.INI sections: their lines are out of sight.
    SetWindowPos(app.Window(), nullptr, 0, 0, 700, 160, SWP_NOZORDER);
    ASSERT_TRUE(WaitUntil([&] { return app.BoxRect(3).top >= app.Client().bottom; }, 3000));
    EXPECT_TRUE(Has(StateOf(load.Get(), 1), STATE_SYSTEM_OFFSCREEN));
    EXPECT_FALSE(Has(StateOf(config.Get(), 1), STATE_SYSTEM_OFFSCREEN));
}

// A reader finds the line under a point, goes from line to line, and selects a line and gives it
// the focus as the keys do.
TEST_F(Accessibility, AReaderFindsGoesToAndSelectsALine) {
    Dawnroll& app = Start();
    const HWND window = app.CheckList(2);
    const ComPtr<IAccessible> list = AccessibleOfWindow(window);
    ASSERT_TRUE(list);
    const RECT third = app.LineOnScreen(2, 2);
    VARIANT found;
    ASSERT_EQ(list->accHitTest((third.left + third.right) / 2, (third.top + third.bottom) / 2, &found), S_OK);
    EXPECT_EQ(found.vt == VT_I4 ? found.lVal : -1, 3);
    VARIANT to;
    ASSERT_EQ(list->accNavigate(NAVDIR_FIRSTCHILD, ChildId(CHILDID_SELF), &to), S_OK);
    EXPECT_EQ(to.lVal, 1);
    ASSERT_EQ(list->accNavigate(NAVDIR_NEXT, ChildId(4), &to), S_OK);
    EXPECT_EQ(to.lVal, 5);
    EXPECT_EQ(list->accNavigate(NAVDIR_NEXT, ChildId(5), &to), S_FALSE) << "past the last line";

    WinEventListener events(app.ProcessId());
    ASSERT_EQ(list->accSelect(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION, ChildId(3)), S_OK);
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_FOCUS, window, 3));
    const long state = StateOf(list.Get(), 3);
    EXPECT_TRUE(Has(state, STATE_SYSTEM_SELECTED) && Has(state, STATE_SYSTEM_FOCUSED));
    EXPECT_EQ(SendMessageA(window, LB_GETCURSEL, 0, 0), 2);
}

// Every change of a mark is heard as a change of that line's state: a click, the space bar, and a
// refresh that finds another program switched a line off; moving to a line is heard as the focus
// and the selection.
TEST_F(Accessibility, EveryChangeOfAMarkIsHeard) {
    Dawnroll& app = Start();
    const HWND window = app.CheckList(1);
    const ComPtr<IAccessible> list = AccessibleOfWindow(window);
    ASSERT_TRUE(list);
    WinEventListener events(app.ProcessId());
    const std::string config = FileText(demo::kConfigSys);

    app.ClickLineBox(1, 0);
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_SELECTION, window, 1)) << "the click's selection was not heard";
    ASSERT_TRUE(events.WaitFor(EVENT_OBJECT_STATECHANGE, window, 1)) << "the click was not heard";
    EXPECT_FALSE(Has(StateOf(list.Get(), 1), STATE_SYSTEM_CHECKED));
    EXPECT_EQ(FileText(demo::kConfigSys), "REM " + config);

    SendKeys(window, {VK_SPACE});
    ASSERT_TRUE(events.WaitFor(EVENT_OBJECT_STATECHANGE, window, 1)) << "the space bar was not heard";
    EXPECT_TRUE(Has(StateOf(list.Get(), 1), STATE_SYSTEM_CHECKED));
    EXPECT_EQ(FileText(demo::kConfigSys), config);

    SendKeys(window, {VK_DOWN});
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_SELECTION, window, 2));
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_FOCUS, window, 2)) << "the line moved to was not heard";
    const long second = StateOf(list.Get(), 2);
    EXPECT_TRUE(Has(second, STATE_SYSTEM_SELECTED) && Has(second, STATE_SYSTEM_FOCUSED));
    EXPECT_FALSE(Has(StateOf(list.Get(), 1), STATE_SYSTEM_SELECTED | STATE_SYSTEM_FOCUSED));

    // Another program switches FILES=40 off; the menu reads everything again.
    std::vector<std::string> lines = demo::kConfigLines;
    lines[3] = "REM " + lines[3];
    demo::WriteFileBytes(demo::kConfigSys, demo::JoinLines(lines));
    app.ChooseByKeys(/*show=*/false);
    EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_STATECHANGE, window, 4)) << "the refresh's change was not heard";
    EXPECT_FALSE(Has(StateOf(list.Get(), 4), STATE_SYSTEM_CHECKED));
    EXPECT_EQ(AccessibleName(list.Get(), 4), L"REM FILES=40");
}

// A line's default action is a click on its check box: the same change of the source, and the
// same refusal, told in the same message, with the mark as the source says.
TEST_F(Accessibility, TheDefaultActionDoesWhatAClickDoes) {
    struct Case {
        const char* what;
        int section;
        int line;
        std::function<void()> prepare;
        std::function<std::string()> source;
        std::string after;    // the source after the action
        std::wstring refusal; // the end of the message when the change is refused
    };
    const auto config = [] { return FileText(demo::kConfigSys); };
    const std::string utf16("\xFF\xFE"
                            "F\0I\0L\0E\0S\0=\0"
                            "4\0"
                            "0\0\r\0\n\0",
                            22);
    std::vector<std::string> off = demo::kConfigLines;
    off[3] = "REM " + off[3];
    const std::vector<Case> cases = {
        {"a boot line is switched off", 1, 3, [] {}, config, demo::JoinLines(off), L""},
        {"a WIN.INI program is taken out of its entry", 3, 1, [] {}, [] { return demo::ReadWinIniEntry("Load"); },
         "C:\\Tools\\clock.exe", L""},
        {"a UTF-16 boot file is never rewritten", 1, 0, [&] { demo::WriteFileBytes(demo::kConfigSys, utf16); }, config,
         utf16, L": it is saved as Unicode (UTF-16) text, which Dawnroll does not rewrite."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        program.reset();
        demo::SeedAll();
        c.prepare();
        Dawnroll& app = Start();
        const HWND window = app.CheckList(c.section);
        const ComPtr<IAccessible> list = AccessibleOfWindow(window);
        ASSERT_TRUE(list);
        const long child = c.line + 1;
        ASSERT_TRUE(Has(StateOf(list.Get(), child), STATE_SYSTEM_CHECKED));
        EXPECT_EQ(AccessibleDefaultAction(list.Get(), child), L"Uncheck");
        WinEventListener events(app.ProcessId());
        // The call comes back before a refusal's message is shown.
        ASSERT_EQ(list->accDoDefaultAction(ChildId(child)), S_OK);
        ASSERT_TRUE(events.WaitFor(EVENT_OBJECT_STATECHANGE, window, child)) << "no change was heard";
        if (c.refusal.empty()) {
            EXPECT_FALSE(Has(StateOf(list.Get(), child), STATE_SYSTEM_CHECKED));
            EXPECT_EQ(AccessibleDefaultAction(list.Get(), child), L"Check");
        } else {
            HWND dialog = nullptr;
            ASSERT_TRUE(WaitUntil([&] { return (dialog = app.Dialog()) && IsWindowVisible(dialog); }, 10000))
                << "no message";
            wchar_t text[2048] = {};
            GetDlgItemTextW(dialog, 0xFFFF, text, 2048);
            const std::wstring message = text;
            EXPECT_TRUE(message.size() > c.refusal.size() &&
                        message.compare(message.size() - c.refusal.size(), c.refusal.size(), c.refusal) == 0)
                << Utf8Of(message);
            // Behind the message, a line is out of reach as it is for the mouse.
            EXPECT_TRUE(Has(StateOf(list.Get(), child), STATE_SYSTEM_UNAVAILABLE));
            EXPECT_EQ(list->accDoDefaultAction(ChildId(child)), E_FAIL);
            PostMessageW(dialog, WM_COMMAND, IDOK, 0);
            ASSERT_TRUE(WaitUntil([&] { return !IsWindow(dialog); }, 5000));
            EXPECT_TRUE(events.WaitFor(EVENT_OBJECT_STATECHANGE, window, child)) << "the mark's way back was not heard";
            EXPECT_TRUE(Has(StateOf(list.Get(), child), STATE_SYSTEM_CHECKED));
        }
        EXPECT_EQ(c.source(), c.after);
    }
}

// ---- System colours: the lists are painted in them, and follow a change.

// System colours set before the program starts (a process takes them when it starts), and put
// back afterwards.
class SystemColours {
  public:
    SystemColours(std::vector<int> elements, std::vector<COLORREF> colours) : elements_(std::move(elements)) {
        for (int element : elements_)
            before_.push_back(GetSysColor(element));
        SetSysColors(static_cast<int>(elements_.size()), elements_.data(), colours.data());
    }
    ~SystemColours() { SetSysColors(static_cast<int>(elements_.size()), elements_.data(), before_.data()); }
    SystemColours(const SystemColours&) = delete;
    SystemColours& operator=(const SystemColours&) = delete;

  private:
    std::vector<int> elements_;
    std::vector<COLORREF> before_;
};

// What the screen shows at a point of a window's client area.
COLORREF PixelOf(HWND window, int x, int y) {
    POINT point = {x, y};
    ClientToScreen(window, &point);
    const HDC screen = GetDC(nullptr);
    const COLORREF pixel = GetPixel(screen, point.x, point.y);
    ReleaseDC(nullptr, screen);
    return pixel;
}

// The colour most pixels of a rectangle of a window's client area show, and how many pixels show
// a colour.
struct PixelCount {
    COLORREF most = CLR_INVALID;
    int of = 0;
};
PixelCount CountPixels(HWND window, const RECT& rect, COLORREF colour) {
    std::vector<COLORREF> pixels;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x)
            pixels.push_back(PixelOf(window, x, y));
    PixelCount count;
    std::size_t most = 0;
    for (COLORREF pixel : pixels) {
        const auto n = static_cast<std::size_t>(std::count(pixels.begin(), pixels.end(), pixel));
        if (n > most) {
            most = n;
            count.most = pixel;
        }
    }
    count.of = static_cast<int>(std::count(pixels.begin(), pixels.end(), colour));
    return count;
}

// Whether the system's visual style is on for programs started after this (Wine's own theme is,
// in a new prefix); put back as it was afterwards.
class ThemeSetting {
  public:
    explicit ThemeSetting(bool active) : before_(GetValue(HKEY_CURRENT_USER, kThemeManager, "ThemeActive")) {
        SetStringValue(HKEY_CURRENT_USER, kThemeManager, "ThemeActive", active ? "1" : "0");
    }
    ~ThemeSetting() {
        if (before_.exists)
            SetStringValue(HKEY_CURRENT_USER, kThemeManager, "ThemeActive", AsText(before_));
    }
    ThemeSetting(const ThemeSetting&) = delete;
    ThemeSetting& operator=(const ThemeSetting&) = delete;

  private:
    static constexpr const char* kThemeManager = "Software\\Microsoft\\Windows\\CurrentVersion\\ThemeManager";
    RegistryData before_;
};

// With the theme and without: a check list's background is the window colour; with the theme its
// check boxes are the theme's, as the entry lists' are (the same face); without one their face is
// the window colour and a mark is drawn in the text colour. A change of the system's colours gives an entry list
// its background in the window colour again.
TEST_F(Accessibility, ListsArePaintedInTheSystemColoursAndFollowAChange) {
    const COLORREF window = RGB(0, 0, 96), text = RGB(255, 255, 0);
    const SystemColours colours({COLOR_WINDOW, COLOR_WINDOWTEXT}, {window, text});
    for (const bool themed : {true, false}) {
        SCOPED_TRACE(themed ? "with the theme" : "without a theme");
        const ThemeSetting theme(themed);
        program.reset();
        Dawnroll& app = Start();
        Enlarge();
        const HWND config = app.CheckList(1);
        RECT client = {};
        GetClientRect(config, &client);
        // Beside the text of a line that is not the current one.
        EXPECT_EQ(PixelOf(config, client.right - 3, app.LineBox(1, 2).y), window);
        ASSERT_TRUE(app.Lines(1)[0].checked);
        ASSERT_FALSE(app.Lines(1)[1].checked);
        const auto inside = [](POINT middle) { return RECT{middle.x - 4, middle.y - 4, middle.x + 5, middle.y + 5}; };
        const PixelCount on = CountPixels(config, inside(app.LineBox(1, 0)), text);
        const PixelCount off = CountPixels(config, inside(app.LineBox(1, 1)), text);
        const HWND view = app.ListView(3);
        const PixelCount row = CountPixels(view, inside(app.RowCheckBox(3, 0)), text);
        EXPECT_EQ(off.most, on.most);
        if (themed) {
            EXPECT_EQ(on.most, row.most) << "the check boxes of the two kinds of list differ";
            EXPECT_NE(on.most, window) << "not the theme's check box";
        } else {
            EXPECT_EQ(on.most, window);
            EXPECT_GT(on.of, 0) << "no mark in the text colour";
            EXPECT_EQ(off.of, 0);
        }
        SaveScreenshot(std::string("e2e-system-colours-") + (themed ? "themed" : "classic"));

        // An entry list's background below its rows; set otherwise, and given back.
        RECT viewClient = {};
        GetClientRect(view, &viewClient);
        EXPECT_EQ(PixelOf(view, viewClient.right - 3, viewClient.bottom - 3), window);
        SendMessageW(view, LVM_SETBKCOLOR, 0, RGB(200, 0, 0));
        ASSERT_EQ(static_cast<COLORREF>(SendMessageW(view, LVM_GETBKCOLOR, 0, 0)), RGB(200, 0, 0));
        SendMessageW(app.Window(), WM_SYSCOLORCHANGE, 0, 0);
        EXPECT_EQ(static_cast<COLORREF>(SendMessageW(view, LVM_GETBKCOLOR, 0, 0)), window);
        WaitRepaint(app.Window());
        EXPECT_EQ(PixelOf(view, viewClient.right - 3, viewClient.bottom - 3), window);
        program.reset();
    }
}
} // namespace
