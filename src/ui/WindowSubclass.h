// Subclassing of the program's controls: one procedure of the program in front of a control's
// own, with the same procedure signature as the common controls' SetWindowSubclass.
// The control's window procedure is replaced through its window long, and the program's record
// is kept in the control's GWLP_USERDATA, which is read in the process on every message. The
// common controls keep their record in a window property instead, which under Wine costs a
// round trip to the server twice per message (about 50 microseconds): most of the time of
// filling a list of thousands of rows went there.
#pragma once

#include <windows.h>
#include <commctrl.h>

namespace window_subclass {
struct Record {
    WNDPROC original;
    SUBCLASSPROC procedure;
    UINT_PTR id;
    DWORD_PTR data;
    bool unicode; // the control was made with the wide call: its texts pass unconverted
};

inline Record* RecordOf(HWND window) {
    return reinterpret_cast<Record*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

inline LRESULT CALLBACK Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const Record* record = RecordOf(window);
    return record->procedure(window, message, wParam, lParam, record->id, record->data);
}
} // namespace window_subclass

// Puts the procedure in front of the control's own; data is handed to every call.
inline void InstallSubclass(HWND window, SUBCLASSPROC procedure, UINT_PTR id, DWORD_PTR data) {
    // A wide control stays wide: replaced through the ANSI call, its procedure would get every
    // text converted to the code page, and any character outside it lost.
    const bool unicode = IsWindowUnicode(window) != FALSE;
    auto* record = new window_subclass::Record{nullptr, procedure, id, data, unicode};
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(record));
    const auto dispatch = reinterpret_cast<LONG_PTR>(&window_subclass::Dispatch);
    record->original = reinterpret_cast<WNDPROC>(unicode ? SetWindowLongPtrW(window, GWLP_WNDPROC, dispatch)
                                                         : SetWindowLongPtrA(window, GWLP_WNDPROC, dispatch));
}

// The control's own procedure, for what the program's procedure passes on; also right after
// RemoveSubclass, when the control's own procedure is back in place.
inline LRESULT CallControlProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const window_subclass::Record* record = window_subclass::RecordOf(window);
    if (!record) {
        return IsWindowUnicode(window)
                   ? CallWindowProcW(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(window, GWLP_WNDPROC)), window,
                                     message, wParam, lParam)
                   : CallWindowProcA(reinterpret_cast<WNDPROC>(GetWindowLongPtrA(window, GWLP_WNDPROC)), window,
                                     message, wParam, lParam);
    }
    return record->unicode ? CallWindowProcW(record->original, window, message, wParam, lParam)
                           : CallWindowProcA(record->original, window, message, wParam, lParam);
}

// A list that shows all its lines has nothing to scroll: the mouse wheel over it scrolls the
// window instead, and the list passes it on to its parent.
inline bool PassesWheelOn(HWND list) {
    return (GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL) == 0;
}

// Puts the control's own procedure back (on WM_NCDESTROY) and frees the record.
inline void RemoveSubclass(HWND window) {
    window_subclass::Record* record = window_subclass::RecordOf(window);
    if (!record)
        return;
    if (record->unicode)
        SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record->original));
    else
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(record->original));
    SetWindowLongPtrA(window, GWLP_USERDATA, 0);
    delete record;
}
