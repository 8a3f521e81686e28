// Finding another process's top-level window by its class, for the programs that start the real
// Dawnroll.exe (or a reference program) and drive or time it from outside.
#pragma once

#include <windows.h>

#include <cstring>

namespace process_window_detail {
struct Search {
    DWORD processId;
    const char* className;
    bool visibleOnly;
    HWND found;
};

inline BOOL CALLBACK Match(HWND window, LPARAM data) {
    auto* search = reinterpret_cast<Search*>(data);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    char name[64] = {};
    GetClassNameA(window, name, sizeof name);
    if (owner == search->processId && std::strcmp(name, search->className) == 0 &&
        (!search->visibleOnly || IsWindowVisible(window))) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}
} // namespace process_window_detail

// A top-level window of the process with the class, the first the system lists, or nullptr; with
// `visibleOnly`, only a visible one.
inline HWND FindProcessWindow(DWORD processId, const char* className, bool visibleOnly = false) {
    process_window_detail::Search search = {processId, className, visibleOnly, nullptr};
    EnumWindows(&process_window_detail::Match, reinterpret_cast<LPARAM>(&search));
    return search.found;
}
