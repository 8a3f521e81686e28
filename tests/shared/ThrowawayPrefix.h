// Whether this process runs in a Wine prefix that the project's scripts made to be thrown away:
// the test session's prefixes and the benchmark's (scripts/wine-session.sh) and the demo's
// (scripts/run-demo.sh). Those scripts leave a marker file at the root of the prefix's system
// drive (mark_throwaway_prefix in scripts/wine-env.sh). The programs that write a system's own
// autostart places (the end-to-end driver, the demo seeder, the window tests on the local
// machine's own keys, the benchmark's start-up part) refuse to do so anywhere else: in someone's
// own prefix, or on Windows.
#pragma once

#include <windows.h>

#include <string>

inline constexpr const char* kThrowawayMarkerName = ".dawnroll-throwaway-prefix";

// The marker's path: at the root of the drive that holds the Windows folder.
inline std::string ThrowawayMarkerPath() {
    char windows[MAX_PATH] = {};
    const UINT length = GetSystemWindowsDirectoryA(windows, sizeof windows);
    const std::string root = length >= 3 && length < sizeof windows ? std::string(windows, 3) : "C:\\";
    return root + kThrowawayMarkerName;
}

// True when the marker file is there (a folder of that name does not count).
inline bool InThrowawayPrefix(const std::string& marker = ThrowawayMarkerPath()) {
    const DWORD attributes = GetFileAttributesA(marker.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Why a program refuses to run, for its message.
inline std::string NotAThrowawayPrefixMessage() {
    return "this is not a Wine prefix made by Dawnroll's scripts for tests, the benchmark or the demo (no " +
           ThrowawayMarkerPath() + "): refusing to write its autostart places";
}
