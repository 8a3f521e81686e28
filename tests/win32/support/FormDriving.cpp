#include "FormDriving.h"

#include "sources/IniList.h"

#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <thread>

namespace {
std::string ClassOf(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    return name;
}

struct ThreadWindowSearch {
    std::string className;
    HWND found = nullptr;
};

BOOL CALLBACK FindVisibleOfClass(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<ThreadWindowSearch*>(data);
    if (ClassOf(window) == search->className && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

INPUT MouseAt(POINT screen, DWORD flags) {
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = screen.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = screen.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
    return input;
}

void ClickScreen(POINT screen) {
    SetCursorPos(screen.x, screen.y);
    INPUT inputs[3] = {MouseAt(screen, MOUSEEVENTF_MOVE), MouseAt(screen, MOUSEEVENTF_LEFTDOWN),
                       MouseAt(screen, MOUSEEVENTF_LEFTUP)};
    SendInput(3, inputs, sizeof(INPUT));
}

POINT Centre(const RECT& rect) {
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

struct ChildLook {
    bool stopIcon = false;
    std::vector<int> buttonIds;
};

BOOL CALLBACK LookAtChild(HWND child, LPARAM data) {
    auto* look = reinterpret_cast<ChildLook*>(data);
    const std::string name = ClassOf(child);
    const LONG style = GetWindowLongA(child, GWL_STYLE);
    if (name == "Static" && (style & SS_TYPEMASK) == SS_ICON) {
        const auto shown = reinterpret_cast<HICON>(SendMessageA(child, STM_GETICON, 0, 0));
        look->stopIcon = shown != nullptr && shown == LoadIconA(nullptr, IDI_HAND);
    } else if (name == "Button" && IsWindowVisible(child)) {
        look->buttonIds.push_back(GetDlgCtrlID(child));
    }
    return TRUE;
}
} // namespace

HWND VisibleThreadWindow(DWORD thread, const char* className) {
    ThreadWindowSearch search{className};
    EnumThreadWindows(thread, &FindVisibleOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

void WaitUntilPainted(HWND window) {
    WaitUntil([&] { return !GetUpdateRect(window, nullptr, FALSE); }, 3000);
}

FormTest::FormTest() {
    SourceLocators locators;
    locators.configSys = ConfigSys();
    locators.autoexecBat = AutoexecBat();
    locators.windowsFolder = [this] { return folder.Path(); };
    form = std::make_unique<TFormDawnroll>(locators);
}

void FormTest::TearDown() {
    form.reset();
    PumpMessages();
}

void FormTest::PointStartupFolders() {
    CreateDirectoryA(UserStartup().c_str(), nullptr);
    CreateDirectoryA(CommonStartup().c_str(), nullptr);
    SetStringValue(HKEY_CURRENT_USER, kShellFoldersKey, "Startup", UserStartup());
    SetStringValue(HKEY_LOCAL_MACHINE, kShellFoldersKey, "Common Startup", CommonStartup());
}

HWND FormTest::Create() {
    return form->Create();
}

HWND FormTest::CreateAndShow() {
    if (!form->Handle())
        form->Create();
    ShowForInput(form->Handle());
    return form->Handle();
}

void PressKeys(HWND focus, std::initializer_list<WORD> keys) {
    SetFocus(focus);
    QueueKeyPresses(keys);
    WaitForInputHandled(focus);
}

void ChooseMenuItemWithMouse(HWND window, int topPosition, int itemPosition) {
    // The first click opens the menu in a modal loop on this thread; a helper thread waits for
    // the open menu and clicks its item while this thread's loop runs.
    const HMENU bar = GetMenu(window);
    const HMENU popup = GetSubMenu(bar, topPosition);
    RECT top = {};
    GetMenuItemRect(window, bar, static_cast<UINT>(topPosition), &top);
    const DWORD thread = GetCurrentThreadId();
    std::atomic<bool> done{false};
    std::thread clicker([&] {
        ClickScreen(Centre(top));
        const DWORD start = GetTickCount();
        while (GetTickCount() - start < 5000) {
            if (HWND open = VisibleThreadWindow(thread, "#32768")) {
                RECT item = {};
                if (GetMenuItemRect(open, popup, static_cast<UINT>(itemPosition), &item) && item.bottom > item.top) {
                    Sleep(50);
                    ClickScreen(Centre(item));
                    break;
                }
            }
            Sleep(10);
        }
        done = true;
    });
    WaitUntil([&] { return done.load(); }, 8000);
    clicker.join();
    WaitUntil([&] { return VisibleThreadWindow(thread, "#32768") == nullptr; }, 3000);
    WaitForInputHandled(window);
}

void TurnWheelOver(HWND window, int notches) {
    TurnWheelBy(window, notches * WHEEL_DELTA);
}

DialogLook RunLookingAtErrorDialog(const std::function<void()>& action, DWORD timeoutMs) {
    DialogLook look;
    std::atomic<bool> done{false};
    const DWORD thread = GetCurrentThreadId();
    std::thread watcher([&] {
        const DWORD start = GetTickCount();
        while (!done && GetTickCount() - start < timeoutMs) {
            if (HWND dialog = VisibleThreadWindow(thread, "#32770")) {
                WaitUntilPainted(dialog); // read once it has painted its controls
                char title[256] = {};
                GetWindowTextA(dialog, title, sizeof title);
                char text[4096] = {};
                GetDlgItemTextA(dialog, 0xFFFF, text, sizeof text);
                wchar_t wideText[4096] = {};
                GetDlgItemTextW(dialog, 0xFFFF, wideText, 4096);
                look.wideText = wideText;
                ChildLook children;
                EnumChildWindows(dialog, &LookAtChild, reinterpret_cast<LPARAM>(&children));
                look.shown = true;
                look.title = title;
                look.text = text;
                look.stopIcon = children.stopIcon;
                look.buttonIds = children.buttonIds;
                look.formVisible = VisibleThreadWindow(thread, TFormDawnroll::kClassName) != nullptr;
                PostMessageA(dialog, WM_COMMAND, IDOK, 0);
                return;
            }
            Sleep(20);
        }
    });
    action();
    done = true;
    watcher.join();
    return look;
}

RECT RectInParent(HWND child) {
    RECT rect = {};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

SIZE TextExtentIn(HWND control, const std::string& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE size = {0, 0};
    GetTextExtentPoint32A(dc, text.data(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

unsigned long long LastWriteTime(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return 0;
    return (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

void AgeFile(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE) << path;
    SYSTEMTIME past = {};
    past.wYear = 2001;
    past.wMonth = 2;
    past.wDay = 3;
    FILETIME time = {};
    SystemTimeToFileTime(&past, &time);
    SetFileTime(file, nullptr, nullptr, &time);
    CloseHandle(file);
}

bool MenuItemChecked(HWND window, UINT id) {
    return (GetMenuState(GetMenu(window), id, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

std::vector<int> VisibleSections(TFormDawnroll& form) {
    std::vector<int> numbers;
    for (int number = 1; number <= form.SectionCount(); ++number) {
        if (IsWindowVisible(form.GroupBoxN(number).Handle()))
            numbers.push_back(number);
    }
    return numbers;
}

std::vector<int> AllSections(TFormDawnroll& form) {
    std::vector<int> numbers;
    for (int number = 1; number <= form.SectionCount(); ++number)
        numbers.push_back(number);
    return numbers;
}

std::string TitleStart() {
    return sizeof(void*) == 8 ? "Dawnroll64 1.0.2 " : "Dawnroll32 1.0.2 ";
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

POINT PointOnLine(CheckListBox& list, int index, int x) {
    RECT rect = {};
    SendMessageA(list.Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
    return {x, (rect.top + rect.bottom) / 2};
}

// A point of a row at which the list reports a given hit, in the list's client coordinates.
POINT RowPoint(HWND list, int row, UINT hitFlag) {
    RECT bounds = {};
    bounds.left = LVIR_BOUNDS;
    SendMessageA(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&bounds));
    const int y = (bounds.top + bounds.bottom) / 2;
    int first = -1;
    int last = -1;
    for (int x = std::max(0L, bounds.left); x < bounds.right; ++x) {
        LVHITTESTINFO hit = {};
        hit.pt = {x, y};
        SendMessageA(list, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit));
        const bool on = hit.iItem == row && (hit.flags & hitFlag) != 0;
        if (on && first < 0)
            first = x;
        if (on)
            last = x;
        if (!on && first >= 0)
            break;
    }
    return {first < 0 ? -1 : (first + last) / 2, y};
}

void OpenIniFileMappingOnce() {
    char buffer[8];
    GetPrivateProfileStringA("Windows", "Load", "", buffer, sizeof buffer, "C:\\DAWNROLL-NONE\\TEST.INI");
    // The program keeps the list open the same way.
    IniEntryKeptInRegistry(L"C:\\DAWNROLL-NONE\\TEST.INI", L"Load");
}

void FillEverySection(FormTest& test) {
    std::vector<std::string> lines;
    for (int i = 1; i <= 6; ++i)
        lines.push_back("DEVICE=C:\\DRIVERS\\DRIVER" + std::to_string(i) + ".SYS");
    WriteBytes(test.ConfigSys(), Lines(lines));
    for (auto& line : lines)
        line = "LH C:\\TOOLS\\TOOL" + line.substr(line.size() - 5, 1) + ".COM";
    WriteBytes(test.AutoexecBat(), Lines(lines));
    const std::string winIni = test.folder.File("WIN.INI");
    WritePrivateProfileStringA("Windows", "Load", "C:\\load\\one.exe;C:\\load\\two.exe;C:\\load\\three.exe",
                               winIni.c_str());
    WritePrivateProfileStringA("Windows", "Run", "C:\\run\\one.exe;C:\\run\\two.exe;C:\\run\\three.exe",
                               winIni.c_str());
    test.PointStartupFolders();
    for (int i = 1; i <= 6; ++i) {
        WriteBytes(test.UserStartup() + "\\user file " + std::to_string(i) + ".txt", "x");
        WriteBytes(test.CommonStartup() + "\\shared file " + std::to_string(i) + ".txt", "x");
    }
    const struct {
        HKEY root;
        const char* key;
    } keys[] = {{HKEY_CURRENT_USER, "Run"},
                {HKEY_CURRENT_USER, "RunOnce"},
                {HKEY_LOCAL_MACHINE, "Run"},
                {HKEY_LOCAL_MACHINE, "RunOnce"},
                {HKEY_LOCAL_MACHINE, "RunServices"}};
    for (const auto& key : keys) {
        for (int i = 1; i <= 5; ++i)
            SetStringValue(key.root, std::string(kRunKeyBase) + key.key, std::string(key.key) + std::to_string(i),
                           "C:\\Program Files\\Tool " + std::to_string(i) + "\\tool.exe /quiet");
    }
}

HWND ListOfSection(TFormDawnroll& form, int section) {
    return section <= 4 ? form.CheckListBoxN(section).Handle() : form.ListViewN(section - 4).Handle();
}

void TurnWheelBy(HWND window, int delta) {
    RECT client = {};
    GetClientRect(window, &client);
    POINT middle = {client.right / 2, client.bottom / 2};
    ClientToScreen(window, &middle);
    SetCursorPos(middle.x, middle.y);
    INPUT wheel = MouseAt(middle, MOUSEEVENTF_WHEEL);
    wheel.mi.mouseData = static_cast<DWORD>(delta);
    SendInput(1, &wheel, sizeof wheel);
    WaitForInputHandled(window);
}

int ScrollPosition(HWND window) {
    SCROLLINFO scroll = {};
    scroll.cbSize = sizeof scroll;
    scroll.fMask = SIF_POS;
    if (!GetScrollInfo(window, SB_VERT, &scroll))
        return 0;
    return scroll.nPos;
}

void PressWith(HWND window, WORD modifier, WORD virtualKey) {
    std::vector<INPUT> inputs;
    auto key = [&](WORD which, bool up) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = which;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    if (modifier)
        key(modifier, false);
    key(virtualKey, false);
    key(virtualKey, true);
    if (modifier)
        key(modifier, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    WaitForInputHandled(window);
}

void PressTab(HWND window, bool shift) {
    PressWith(window, shift ? VK_SHIFT : 0, VK_TAB);
}
