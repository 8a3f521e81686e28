#include "TestSupport.h"

#include "FormDriving.h"

#include "ui/ErrorText.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <thread>

namespace {
void CheckStatus(LONG status, const char* what) {
    if (status != ERROR_SUCCESS)
        throw std::runtime_error(std::string(what) + " failed: " + std::to_string(status));
}

void SendMouse(HWND window, int x, int y, const std::vector<DWORD>& buttons) {
    POINT point = {x, y};
    ClientToScreen(window, &point);
    SetCursorPos(point.x, point.y);
    const int width = GetSystemMetrics(SM_CXSCREEN) - 1;
    const int height = GetSystemMetrics(SM_CYSCREEN) - 1;
    std::vector<INPUT> inputs;
    INPUT move = {};
    move.type = INPUT_MOUSE;
    move.mi.dx = point.x * 65535 / width;
    move.mi.dy = point.y * 65535 / height;
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    inputs.push_back(move);
    for (DWORD button : buttons) {
        INPUT press = move;
        press.mi.dwFlags = button | MOUSEEVENTF_ABSOLUTE;
        inputs.push_back(press);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    WaitForInputHandled(window);
}
} // namespace

std::string ReadBytes(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot open " + path);
    std::string bytes;
    char chunk[65536];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    CloseHandle(file);
    return bytes;
}

bool FileExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> FilesIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return names;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            names.push_back(found.cFileName);
    } while (FindNextFileA(find, &found));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

void CreateKey(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    CheckStatus(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                "RegCreateKeyEx");
    RegCloseKey(key);
}

void SetStringValue(HKEY root, const std::string& path, const std::string& name, const std::string& data, DWORD type) {
    HKEY key = nullptr;
    CheckStatus(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                "RegCreateKeyEx");
    const LONG status = RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
    CheckStatus(status, "RegSetValueEx");
}

void SetDwordValue(HKEY root, const std::string& path, const std::string& name, DWORD data) {
    HKEY key = nullptr;
    CheckStatus(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                "RegCreateKeyEx");
    const LONG status =
        RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
    RegCloseKey(key);
    CheckStatus(status, "RegSetValueEx");
}

RegistryData GetValue(HKEY root, const std::string& path, const std::string& name, REGSAM view) {
    RegistryData value;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
        value.exists = true;
        value.bytes.assign(size, '\0');
        RegQueryValueExA(key, name.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(&value.bytes[0]), &size);
        value.bytes.resize(size);
    }
    RegCloseKey(key);
    return value;
}

void DeleteKeyTree(HKEY root, const std::string& path) {
    RegDeleteTreeA(root, path.c_str());
}

std::vector<std::string> ValueNames(HKEY root, const std::string& path, REGSAM view) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return names;
    std::string name(32768, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueA(key, index, &name[0], &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        names.emplace_back(name.data(), length);
    }
    RegCloseKey(key);
    return names;
}

namespace {
constexpr const char* kDesktopKey = "Control Panel\\Desktop";
} // namespace

ResolutionSetting::ResolutionSetting(DWORD dpi) : before_(GetValue(HKEY_CURRENT_USER, kDesktopKey, "LogPixels")) {
    SetDwordValue(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", dpi);
}

ResolutionSetting::~ResolutionSetting() {
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

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT)
            continue;
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        PumpMessages();
        if (condition())
            return true;
        if (GetTickCount() - start > timeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void WaitForInputHandled(HWND window) {
    // Queued input comes before WM_PAINT: invalidate a pixel and wait until it is painted.
    PumpMessages();
    RECT pixel = {0, 0, 1, 1};
    InvalidateRect(window, &pixel, FALSE);
    WaitUntil([&] { return !GetUpdateRect(window, nullptr, FALSE); }, 3000);
    PumpMessages();
}

void ClickAt(HWND window, int x, int y) {
    SendMouse(window, x, y, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
}

void DoubleClickAt(HWND window, int x, int y) {
    SendMouse(window, x, y, {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP});
}

void QueueKeyPresses(const std::vector<WORD>& keys) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT press = {};
        press.type = INPUT_KEYBOARD;
        press.ki.wVk = key;
        inputs.push_back(press);
        press.ki.dwFlags = KEYEVENTF_KEYUP;
        inputs.push_back(press);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

void PressKey(HWND focus, WORD virtualKey) {
    SetFocus(focus);
    INPUT inputs[2] = {};
    inputs[0].type = INPUT_KEYBOARD;
    inputs[0].ki.wVk = virtualKey;
    inputs[1] = inputs[0];
    inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, inputs, sizeof(INPUT));
    WaitForInputHandled(focus);
}

void ShowForInput(HWND window) {
    ShowWindow(window, SW_SHOWNORMAL);
    SetForegroundWindow(window);
    UpdateWindow(window);
    WaitUntil([&] { return GetForegroundWindow() == window; }, 3000);
    PumpMessages();
}

std::string ThisProgramTitle() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return ProgramTitle(path);
}

DialogSeen RunExpectingErrorDialog(const std::function<void()>& action, DWORD timeoutMs) {
    const DialogLook look = RunLookingAtErrorDialog(action, timeoutMs);
    return {look.shown, look.title, look.text};
}

DWORD RunThisProgramAt(DWORD dpi, const std::string& filter, const char* dpiVariable) {
    ResolutionSetting setting(dpi);
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string command = "\"" + std::string(path) + "\" --gtest_also_run_disabled_tests --gtest_filter=" + filter;
    SetEnvironmentVariableA(dpiVariable, std::to_string(dpi).c_str());
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    const BOOL started =
        CreateProcessA(path, &command[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
    SetEnvironmentVariableA(dpiVariable, nullptr);
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

void ExpectNoDialog(const std::function<void()>& action) {
    const DialogSeen seen = RunExpectingErrorDialog(action);
    EXPECT_FALSE(seen.shown) << "unexpected error dialog: " << seen.text;
}

void SaveScreenshot(const std::string& name) {
    char folder[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("DAWNROLL_SCREENSHOTS", folder, sizeof folder))
        return;
    PumpMessages();
    const int width = GetSystemMetrics(SM_CXSCREEN);
    const int height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    const DWORD stride = ((width * 3 + 3) / 4) * 4;
    const DWORD imageSize = stride * height;
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageSize;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
    bytes.append(static_cast<const char*>(bits), imageSize);
    WriteBytes(std::string(folder) + "\\" + name + ".bmp", bytes);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
}

void WaitPastDoubleClickTime() {
    WaitUntil([] { return false; }, GetDoubleClickTime() + 50);
}

// Every Win32 test program starts as the program does: common controls and COM ready. The
// double-click time of the test prefix is made short, so that the pauses that keep two clicks
// apart are short too; the program started by the end-to-end tests reads it at its start.
int main(int argc, char** argv) {
    SetDoubleClickTime(kTestDoubleClickTime);
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    CoUninitialize();
    return result;
}
