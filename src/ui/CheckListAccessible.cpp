#include "CheckListAccessible.h"

#include "CheckListBox.h"

#include <new>
#include <string>

namespace {
constexpr int kSelf = -1;

HRESULT Text(const std::wstring& text, BSTR* out) {
    // The exact text, any character and length; a BSTR has its own length.
    *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

void SetChild(VARIANT* variant, long child) {
    variant->vt = VT_I4;
    variant->lVal = child;
}

HRESULT NoChild(VARIANT* variant) {
    variant->vt = VT_EMPTY;
    return S_FALSE;
}
} // namespace

CheckListAccessible* CheckListAccessible::Create(CheckListBox& list) {
    IAccessible* standard = nullptr;
    if (FAILED(CreateStdAccessibleObject(list.Handle(), OBJID_CLIENT, IID_IAccessible,
                                         reinterpret_cast<void**>(&standard))))
        standard = nullptr;
    auto* object = new (std::nothrow) CheckListAccessible(list, standard);
    if (!object && standard)
        standard->Release();
    return object;
}

CheckListAccessible::CheckListAccessible(CheckListBox& list, IAccessible* standard)
    : list_(&list), standard_(standard) {}

CheckListAccessible::~CheckListAccessible() {
    Disconnect();
}

void CheckListAccessible::Disconnect() {
    list_ = nullptr;
    if (standard_) {
        standard_->Release();
        standard_ = nullptr;
    }
}

bool CheckListAccessible::Line(const VARIANT& child, int* line) const {
    if (child.vt != VT_I4 || child.lVal < 0 || child.lVal > list_->Count())
        return false;
    *line = child.lVal == CHILDID_SELF ? kSelf : static_cast<int>(child.lVal) - 1;
    return true;
}

HRESULT CheckListAccessible::Resolve(const VARIANT& child, int* line) const {
    if (!list_)
        return CO_E_OBJNOTCONNECTED;
    return Line(child, line) ? S_OK : E_INVALIDARG;
}

// ---- IUnknown

HRESULT CheckListAccessible::QueryInterface(REFIID id, void** object) {
    if (!object)
        return E_POINTER;
    if (id == IID_IUnknown || id == IID_IDispatch || id == IID_IAccessible) {
        *object = static_cast<IAccessible*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG CheckListAccessible::AddRef() {
    return static_cast<ULONG>(InterlockedIncrement(&references_));
}

ULONG CheckListAccessible::Release() {
    const LONG left = InterlockedDecrement(&references_);
    if (left == 0)
        delete this;
    return static_cast<ULONG>(left);
}

// ---- IDispatch

HRESULT CheckListAccessible::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CheckListAccessible::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info)
        *info = nullptr;
    return E_NOTIMPL;
}

HRESULT CheckListAccessible::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) {
    return E_NOTIMPL;
}

HRESULT CheckListAccessible::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) {
    return E_NOTIMPL;
}

// ---- IAccessible: the list answers for itself through the system's object where the system
// knows the answer (its parent, place, state as a window), and for its lines itself.

HRESULT CheckListAccessible::get_accParent(IDispatch** parent) {
    if (!parent)
        return E_POINTER;
    *parent = nullptr;
    if (!list_)
        return CO_E_OBJNOTCONNECTED;
    return standard_ ? standard_->get_accParent(parent) : S_FALSE;
}

HRESULT CheckListAccessible::get_accChildCount(long* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    if (!list_)
        return CO_E_OBJNOTCONNECTED;
    *count = list_->Count();
    return S_OK;
}

HRESULT CheckListAccessible::get_accChild(VARIANT child, IDispatch** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (!list_)
        return CO_E_OBJNOTCONNECTED;
    int line = 0;
    if (!Line(child, &line) || line == kSelf)
        return E_INVALIDARG;
    return S_FALSE; // a line is an element of the list, with no object of its own
}

HRESULT CheckListAccessible::get_accName(VARIANT child, BSTR* name) {
    if (!name)
        return E_POINTER;
    *name = nullptr;
    int line = 0;
    if (const HRESULT status = Resolve(child, &line); FAILED(status))
        return status;
    // The list is known by its section's title: the file or entry it shows.
    return Text(line == kSelf ? list_->SectionTitle() : list_->WideLine(line), name);
}

HRESULT CheckListAccessible::get_accValue(VARIANT child, BSTR* value) {
    if (!value)
        return E_POINTER;
    *value = nullptr;
    int line = 0;
    if (const HRESULT status = Resolve(child, &line); FAILED(status))
        return status;
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT CheckListAccessible::get_accDescription(VARIANT child, BSTR* description) {
    if (!description)
        return E_POINTER;
    *description = nullptr;
    int line = 0;
    if (const HRESULT status = Resolve(child, &line); FAILED(status))
        return status;
    if (line == kSelf && standard_)
        return standard_->get_accDescription(child, description);
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT CheckListAccessible::get_accRole(VARIANT child, VARIANT* role) {
    if (!role)
        return E_POINTER;
    VariantInit(role);
    int line = 0;
    if (const HRESULT status = Resolve(child, &line); FAILED(status))
        return status;
    SetChild(role, line == kSelf ? ROLE_SYSTEM_LIST : ROLE_SYSTEM_CHECKBUTTON);
    return S_OK;
}

HRESULT CheckListAccessible::get_accState(VARIANT child, VARIANT* state) {
    if (!state)
        return E_POINTER;
    VariantInit(state);
    int line = 0;
    if (const HRESULT status = Resolve(child, &line); FAILED(status))
        return status;
    if (line == kSelf)
        return standard_ ? standard_->get_accState(child, state) : S_FALSE;
    const HWND window = list_->Handle();
    long flags = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    if (list_->Checked(line))
        flags |= STATE_SYSTEM_CHECKED;
    if (list_->SelectedLine() == line)
        flags |= STATE_SYSTEM_SELECTED;
    if (GetFocus() == window && list_->CaretLine() == line)
        flags |= STATE_SYSTEM_FOCUSED;
    if (!IsWindowVisible(window))
        flags |= STATE_SYSTEM_INVISIBLE;
    if (!list_->TakesInput())
        flags |= STATE_SYSTEM_UNAVAILABLE;
    if (!list_->LineInSight(line))
        flags |= STATE_SYSTEM_OFFSCREEN;
    SetChild(state, flags);
    return S_OK;
}

HRESULT CheckListAccessible::get_accHelp(VARIANT child, BSTR* help) {
    if (!help)
        return E_POINTER;
    *help = nullptr;
    int line = 0;
    if (const HRESULT status = Resolve(child, &line); FAILED(status))
        return status;
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT CheckListAccessible::get_accHelpTopic(BSTR* file, VARIANT child, long* topic) {
    if (!file || !topic)
        return E_POINTER;
    *file = nullptr;
    *topic = 0;
    int line = 0;
    if (const HRESULT status = Resolve(child, &line); FAILED(status))
        return status;
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT CheckListAccessible::get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) {
    if (!shortcut)
        return E_POINTER;
    *shortcut = nullptr;
    int line = 0;
    if (const HRESULT status = Resolve(child, &line); FAILED(status))
        return status;
    if (line == kSelf && standard_)
        return standard_->get_accKeyboardShortcut(child, shortcut);
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT CheckListAccessible::get_accFocus(VARIANT* child) {
    if (!child)
        return E_POINTER;
    VariantInit(child);
    if (!list_)
        return CO_E_OBJNOTCONNECTED;
    if (GetFocus() != list_->Handle())
        return NoChild(child);
    const int caret = list_->CaretLine();
    SetChild(child, caret >= 0 ? caret + 1 : CHILDID_SELF);
    return S_OK;
}

HRESULT CheckListAccessible::get_accSelection(VARIANT* children) {
    if (!children)
        return E_POINTER;
    VariantInit(children);
    if (!list_)
        return CO_E_OBJNOTCONNECTED;
    const int selected = list_->SelectedLine();
    if (selected < 0)
        return NoChild(children);
    SetChild(children, selected + 1);
    return S_OK;
}

HRESULT CheckListAccessible::get_accDefaultAction(VARIANT child, BSTR* action) {
    if (!action)
        return E_POINTER;
    *action = nullptr;
    int line = 0;
    if (const HRESULT status = Resolve(child, &line); FAILED(status))
        return status;
    if (line == kSelf)
        return DISP_E_MEMBERNOTFOUND;
    return Text(list_->Checked(line) ? L"Uncheck" : L"Check", action);
}

HRESULT CheckListAccessible::accSelect(long flags, VARIANT child) {
    int line = 0;
    if (const HRESULT status = Resolve(child, &line); FAILED(status))
        return status;
    if (line == kSelf)
        return standard_ ? standard_->accSelect(flags, child) : DISP_E_MEMBERNOTFOUND;
    // One line at a time is selected: a line can take the selection and the focus, nothing more.
    if (flags == 0 || (flags & ~(SELFLAG_TAKEFOCUS | SELFLAG_TAKESELECTION)) != 0)
        return E_INVALIDARG;
    list_->SelectLine(line, (flags & SELFLAG_TAKEFOCUS) != 0);
    return S_OK;
}

HRESULT CheckListAccessible::accLocation(long* left, long* top, long* width, long* height, VARIANT child) {
    if (!left || !top || !width || !height)
        return E_POINTER;
    *left = *top = *width = *height = 0;
    int line = 0;
    if (const HRESULT status = Resolve(child, &line); FAILED(status))
        return status;
    if (line == kSelf)
        return standard_ ? standard_->accLocation(left, top, width, height, child) : S_FALSE;
    RECT rect = {};
    if (!list_->LineRect(line, &rect))
        return S_FALSE;
    MapWindowPoints(list_->Handle(), nullptr, reinterpret_cast<POINT*>(&rect), 2);
    *left = rect.left;
    *top = rect.top;
    *width = rect.right - rect.left;
    *height = rect.bottom - rect.top;
    return S_OK;
}

HRESULT CheckListAccessible::accNavigate(long direction, VARIANT start, VARIANT* end) {
    if (!end)
        return E_POINTER;
    VariantInit(end);
    if (!list_)
        return CO_E_OBJNOTCONNECTED;
    int line = 0;
    if (!Line(start, &line))
        return E_INVALIDARG;
    const int count = list_->Count();
    if (line == kSelf) {
        if (direction == NAVDIR_FIRSTCHILD || direction == NAVDIR_LASTCHILD) {
            if (count == 0)
                return NoChild(end);
            SetChild(end, direction == NAVDIR_FIRSTCHILD ? 1 : count);
            return S_OK;
        }
        return standard_ ? standard_->accNavigate(direction, start, end) : NoChild(end);
    }
    int to = -1;
    if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN)
        to = line + 1;
    else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP)
        to = line - 1;
    if (to < 0 || to >= count)
        return NoChild(end);
    SetChild(end, to + 1);
    return S_OK;
}

HRESULT CheckListAccessible::accHitTest(long x, long y, VARIANT* child) {
    if (!child)
        return E_POINTER;
    VariantInit(child);
    if (!list_)
        return CO_E_OBJNOTCONNECTED;
    const HWND window = list_->Handle();
    RECT frame = {};
    GetWindowRect(window, &frame);
    const POINT screen = {x, y};
    if (!PtInRect(&frame, screen))
        return NoChild(child);
    POINT point = screen;
    ScreenToClient(window, &point);
    RECT client = {};
    GetClientRect(window, &client);
    const int line = PtInRect(&client, point) ? list_->LineAt(point.y) : -1;
    SetChild(child, line >= 0 ? line + 1 : CHILDID_SELF);
    return S_OK;
}

HRESULT CheckListAccessible::accDoDefaultAction(VARIANT child) {
    int line = 0;
    if (const HRESULT status = Resolve(child, &line); FAILED(status))
        return status;
    if (line == kSelf)
        return DISP_E_MEMBERNOTFOUND;
    // What a click on the line's check box does, once the caller has its answer: a change that
    // is refused shows its message, which must not hold the caller's call open. Behind a message
    // no click reaches the line, and neither does this.
    return list_->ToggleLater(line) ? S_OK : E_FAIL;
}

HRESULT CheckListAccessible::put_accName(VARIANT, BSTR) {
    return list_ ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}

HRESULT CheckListAccessible::put_accValue(VARIANT, BSTR) {
    return list_ ? E_NOTIMPL : CO_E_OBJNOTCONNECTED;
}
