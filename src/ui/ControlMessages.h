// Messages and notifications the window's own controls exchange.
#pragma once

#include <windows.h>

// Sent by a check list to its parent as the notification code of WM_COMMAND after the user
// has changed a line's check mark.
constexpr WORD kClickCheckNotification = 0x4001;

// Sent by a group box to its list: the reflected WM_DRAWITEM of an owner-drawn list.
constexpr UINT kReflectedDrawItem = WM_APP + 1;

// Posted to an entry list to remove the row whose record has the id in wParam.
constexpr UINT kRemoveRecordRow = WM_APP + 2;

// Posted to a check list to change the mark of the line in wParam as the user does, unless the
// list was cleared since (lParam is the count of its clears when it was posted).
constexpr UINT kToggleLineLater = WM_APP + 4;

// Posted to the main window when the reading of the Startup folders begun at its start has ended.
constexpr UINT kStartupFoldersRead = WM_APP + 5;

// Posted to the main window to load the next section the first refresh left to follow.
constexpr UINT kLoadFollowingSection = WM_APP + 6;

// A property of the main window while its first refresh is still loading sections after the
// window appeared (those below it, and the Startup folders the shell is still reading): other
// programs that read the window, automation and tests, wait for it to go.
constexpr const wchar_t* kLoadingProperty = L"Dawnroll.Loading";

// Sent by a list to the main window when Tab is pressed in it: the focus moves to the next
// visible section's list, or with Shift (wParam nonzero) to the previous; lParam is the list.
constexpr UINT kMoveFocus = WM_APP + 3;

// What a list does with Tab: asks the window to move the focus on. Answers true when the
// message was Tab's (the key, or the character it makes, which the list must not search for).
inline bool PassTabOn(HWND list, UINT message, WPARAM wParam) {
    if (message == WM_KEYDOWN && wParam == VK_TAB) {
        const bool backwards = (GetKeyState(VK_SHIFT) & 0x8000) != 0;
        SendMessageA(GetAncestor(list, GA_ROOT), kMoveFocus, backwards ? 1 : 0, reinterpret_cast<LPARAM>(list));
        return true;
    }
    return message == WM_CHAR && wParam == '\t';
}
