// Facts about the system the program runs on.
#pragma once

#include <string>

// The Windows folder as the system reports it, always ending in a backslash.
std::string GetWindowsFolder();

// Whether the system is 64-bit: always for the 64-bit program; for the 32-bit one, when it runs
// under WOW64. IsWow64Process is looked up at run time, so the 32-bit program starts on systems
// whose kernel32 lacks it (and which are 32-bit).
bool IsSystem64Bit();
