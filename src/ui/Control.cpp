#include "Control.h"

#include "ErrorDialog.h"

void Control::Attach(HWND window) {
    window_ = window;
    unicode_ = IsWindowUnicode(window) != FALSE;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    const auto procedure = reinterpret_cast<LONG_PTR>(&Control::Procedure);
    own_ = reinterpret_cast<WNDPROC>(unicode_ ? SetWindowLongPtrW(window, GWLP_WNDPROC, procedure)
                                              : SetWindowLongPtrA(window, GWLP_WNDPROC, procedure));
}

LRESULT Control::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return CallOwnProcedure(message, wParam, lParam);
}

LRESULT Control::CallOwnProcedure(UINT message, WPARAM wParam, LPARAM lParam) const {
    return unicode_ ? CallWindowProcW(own_, window_, message, wParam, lParam)
                    : CallWindowProcA(own_, window_, message, wParam, lParam);
}

LRESULT CALLBACK Control::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* self = reinterpret_cast<Control*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (message == WM_NCDESTROY) {
        // The window's last message: its own procedure comes back and takes it, and the object
        // no longer knows the window.
        const WNDPROC own = self->own_;
        const bool unicode = self->unicode_;
        if (unicode)
            SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        else
            SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(own));
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        return unicode ? CallWindowProcW(own, window, message, wParam, lParam)
                       : CallWindowProcA(own, window, message, wParam, lParam);
    }
    return DeliverEvent([&] { return self->HandleMessage(message, wParam, lParam); });
}
