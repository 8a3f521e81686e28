// Rules of file paths, free of the platform: the form of a path that names a file exactly.
#pragma once

#include <string>
#include <string_view>

// The path in the form the system takes as it is, without making it over first: "C:\x" gives
// "\\?\C:\x", "\\server\share\x" gives "\\?\UNC\server\share\x". Through it a file whose name
// ends in a dot or a blank ("app.bat.") is that file and not the one without them, a name such
// as "nul" or "CON.lnk" is a file and not a device, and a path may be longer than MAX_PATH. Since
// the system no longer makes the path over, this does what it would have done to the folders:
// slashes become backslashes, doubled separators and "." go, ".." takes the folder before it
// away; the last name is kept exactly as it is. A path already in that form ("\\?\", "\\.\")
// and a path that is not full (no drive, no server) are returned as they are.
std::wstring ExactPath(std::wstring_view path);

// True when the system's ordinary handling of a path ending in this file name would name another
// file or a device: the name ends in a dot or a blank, or what comes before its first dot (without
// trailing blanks) is a device name (CON, PRN, AUX, NUL, COM0 to COM9, LPT0 to LPT9; any case).
bool NameNeedsExactPath(std::wstring_view fileName);
