#include "AccessibleReading.h"

#include "TestSupport.h"

#include <algorithm>

namespace {
std::vector<WinEventListener::Event> heard;

void CALLBACK Hear(HWINEVENTHOOK, DWORD event, HWND window, LONG object, LONG child, DWORD, DWORD) {
    heard.push_back({event, window, object, child});
}

// A BSTR answer as a string, freed.
std::wstring Taken(HRESULT result, BSTR text) {
    std::wstring taken;
    if (SUCCEEDED(result) && text)
        taken.assign(text, SysStringLen(text));
    SysFreeString(text);
    return taken;
}

long Number(HRESULT result, VARIANT& value) {
    const long number = SUCCEEDED(result) && value.vt == VT_I4 ? value.lVal : -1;
    VariantClear(&value);
    return number;
}
} // namespace

ComPtr<IAccessible> AccessibleOfWindow(HWND window) {
    ComPtr<IAccessible> object;
    if (FAILED(AccessibleObjectFromWindow(window, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                          reinterpret_cast<void**>(object.GetAddressOf()))))
        object.Reset();
    return object;
}

VARIANT ChildId(long child) {
    VARIANT id;
    VariantInit(&id);
    id.vt = VT_I4;
    id.lVal = child;
    return id;
}

std::wstring AccessibleName(IAccessible* object, long child) {
    BSTR name = nullptr;
    const HRESULT result = object->get_accName(ChildId(child), &name);
    return Taken(result, name);
}

std::wstring AccessibleDefaultAction(IAccessible* object, long child) {
    BSTR action = nullptr;
    const HRESULT result = object->get_accDefaultAction(ChildId(child), &action);
    return Taken(result, action);
}

long AccessibleRole(IAccessible* object, long child) {
    VARIANT role;
    VariantInit(&role);
    const HRESULT result = object->get_accRole(ChildId(child), &role);
    return Number(result, role);
}

AccessibleChild AccessibleChildOf(IAccessible* object, long child) {
    AccessibleChild seen;
    seen.name = AccessibleName(object, child);
    seen.role = AccessibleRole(object, child);
    VARIANT state;
    VariantInit(&state);
    const HRESULT result = object->get_accState(ChildId(child), &state);
    seen.state = Number(result, state);
    long left = 0, top = 0, width = 0, height = 0;
    if (SUCCEEDED(object->accLocation(&left, &top, &width, &height, ChildId(child))))
        seen.place = {left, top, left + width, top + height};
    return seen;
}

std::vector<AccessibleChild> AccessibleChildren(IAccessible* object) {
    long count = 0;
    std::vector<AccessibleChild> children;
    if (FAILED(object->get_accChildCount(&count)))
        return children;
    for (long child = 1; child <= count; ++child)
        children.push_back(AccessibleChildOf(object, child));
    return children;
}

WinEventListener::WinEventListener(DWORD processId)
    : hook_(SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_STATECHANGE, nullptr, &Hear, processId, 0,
                            WINEVENT_OUTOFCONTEXT)) {
    heard.clear();
}

WinEventListener::~WinEventListener() {
    if (hook_)
        UnhookWinEvent(hook_);
    heard.clear();
}

bool WinEventListener::WaitFor(DWORD event, HWND window, LONG child, DWORD timeoutMs) {
    const auto match = [&] {
        return std::find_if(heard.begin(), heard.end(), [&](const Event& e) {
            return e.event == event && e.window == window && e.object == OBJID_CLIENT && e.child == child;
        });
    };
    if (!hook_ || !WaitUntil([&] { return match() != heard.end(); }, timeoutMs))
        return false;
    heard.erase(match());
    return true;
}
