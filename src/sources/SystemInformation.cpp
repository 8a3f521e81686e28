#include "SystemInformation.h"

#include "IniListText.h"

#include <windows.h>

std::string GetWindowsFolder() {
    char buffer[MAX_PATH + 1] = {};
    const UINT length = GetWindowsDirectoryA(buffer, sizeof buffer);
    return WithTrailingBackslash(length < sizeof buffer ? std::string(buffer, length) : "");
}
