// The one base of the window's own controls (the sections' group boxes and their lists): the
// program's procedure in front of the control's own, the object found from the window, every
// message delivered inside DeliverEvent, and the control's own procedure put back when the
// window goes. Each control adds only what is its own, in HandleMessage.
//
// The object is kept in the control's GWLP_USERDATA, read in the process on every message. The
// common controls' SetWindowSubclass keeps its record in a window property instead, which under
// Wine costs a round trip to the server twice per message (about 50 microseconds): most of the
// time of filling a list of thousands of rows went there.
#pragma once

#include <windows.h>

class Control {
  public:
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    HWND Handle() const { return window_; }

  protected:
    Control() = default;
    ~Control() = default;

    // Puts the program's procedure in front of the window's own. A wide window stays wide:
    // replaced through the ANSI call, its procedure would get every text converted to the code
    // page, and any character outside it lost.
    void Attach(HWND window);
    // What the control does with a message; by default what the window's own procedure does.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CallOwnProcedure(UINT message, WPARAM wParam, LPARAM lParam) const;

  private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    WNDPROC own_ = nullptr;
    bool unicode_ = true;
};

// A list that shows all its lines has nothing to scroll: the mouse wheel over it scrolls the
// window instead, and the list passes it on to its parent.
inline bool PassesWheelOn(HWND list) {
    return (GetWindowLongW(list, GWL_STYLE) & WS_VSCROLL) == 0;
}
