#include "SystemInformation.h"

#include "IniListText.h"

#include <windows.h>

std::string GetWindowsFolder() {
    char buffer[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    return WithTrailingBackslash(length < sizeof buffer ? std::string(buffer, length) : "");
}

bool IsSystem64Bit() {
#ifdef _WIN64
    return true;
#else
    using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
    const HMODULE kernel = GetModuleHandleA("kernel32.dll");
    if (!kernel)
        return false;
    const auto isWow64Process =
        reinterpret_cast<IsWow64ProcessFunction>(reinterpret_cast<void*>(GetProcAddress(kernel, "IsWow64Process")));
    BOOL wow64 = FALSE;
    return isWow64Process && isWow64Process(GetCurrentProcess(), &wow64) && wow64;
#endif
}
