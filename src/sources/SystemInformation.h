// Facts about the system the program runs on.
#pragma once

#include <string>

// The Windows folder as the system reports it, always ending in a backslash.
std::string GetWindowsFolder();
