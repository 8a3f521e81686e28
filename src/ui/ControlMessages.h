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
