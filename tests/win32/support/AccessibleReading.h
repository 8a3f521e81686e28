// Reading a window as a screen reader does, through the accessibility interface: the object a
// window gives for its client area (from this process or another), its children's names, roles,
// states and places, and the events a program raises, heard out of context.
#pragma once

#include <windows.h>
#include <oleacc.h>
#include <wrl/client.h>

#include <string>
#include <vector>

using Microsoft::WRL::ComPtr;

// COM on this thread for the object's life, as a screen reader has it.
class ComApartment {
  public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComApartment() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    HRESULT result_;
};

// The object of a window's client area (OBJID_CLIENT); null when the window gives none.
ComPtr<IAccessible> AccessibleOfWindow(HWND window);

// One child of an object (child ids 1 to n), as its properties tell it.
struct AccessibleChild {
    std::wstring name;
    long role = 0;
    long state = 0;
    RECT place = {}; // on the screen
};
std::vector<AccessibleChild> AccessibleChildren(IAccessible* object);
AccessibleChild AccessibleChildOf(IAccessible* object, long child);
std::wstring AccessibleName(IAccessible* object, long child);
long AccessibleRole(IAccessible* object, long child);
std::wstring AccessibleDefaultAction(IAccessible* object, long child);
VARIANT ChildId(long child);

// The events (EVENT_OBJECT_FOCUS to EVENT_OBJECT_STATECHANGE) one process raises, heard out of
// context by this thread while it pumps its messages. One listener at a time.
class WinEventListener {
  public:
    explicit WinEventListener(DWORD processId);
    ~WinEventListener();
    WinEventListener(const WinEventListener&) = delete;
    WinEventListener& operator=(const WinEventListener&) = delete;

    struct Event {
        DWORD event;
        HWND window;
        LONG object;
        LONG child;
    };
    // Waits until the event was heard for a child of a window's client object; answers whether
    // it was, and forgets that one event (the first of them).
    bool WaitFor(DWORD event, HWND window, LONG child, DWORD timeoutMs = 5000);

  private:
    HWINEVENTHOOK hook_;
};
