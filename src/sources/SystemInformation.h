// Facts about the system the program runs on.
#pragma once

#include <string>

// The Windows folder as the system reports it, always ending in a backslash.
std::string GetWindowsFolder();

// Whether this 32-bit process runs on a 64-bit system (under WOW64). False where the system
// knows nothing of WOW64: IsWow64Process is looked up at run time, so the program starts on
// systems whose kernel32 lacks it.
bool IsRunningOnWow64();
