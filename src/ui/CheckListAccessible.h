// What a screen reader is told of a check list: the list (named by its section's title) and one
// check button per line, named with the line's exact text, checked when the line is on. The
// list box itself would tell a plain list of strings and never a mark.
//
// The object is made by its list on the first WM_GETOBJECT and given to clients in this and other
// processes, who may hold it longer than the list lives: once the list is gone (Disconnect), every
// call answers CO_E_OBJNOTCONNECTED, and the object goes with its last reference.
#pragma once

#include <windows.h>
#include <oleacc.h>

class CheckListBox;

class CheckListAccessible final : public IAccessible {
  public:
    // A new object for the list, with one reference, the caller's.
    static CheckListAccessible* Create(CheckListBox& list);
    // The list is going: the object forgets it and the system's object of its window.
    void Disconnect();

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IDispatch: clients call the object's methods directly; there is no type information.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override;

    // IAccessible
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override;
    HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override;
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** object) override;
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override;
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override;
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override;
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override;
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override;
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override;
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override;
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override;
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* children) override;
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override;
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override;
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override;
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* child) override;
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override;
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT child, BSTR name) override;
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT child, BSTR value) override;

  private:
    CheckListAccessible(CheckListBox& list, IAccessible* standard);
    ~CheckListAccessible();

    // Which line a child id names: 0 for the list itself, 1 to n for its lines. Answers false
    // for anything else.
    bool Line(const VARIANT& child, int* line) const;
    // The start of every call about a child: CO_E_OBJNOTCONNECTED once the list is gone,
    // E_INVALIDARG for no such child, else S_OK with the line (kSelf for the list itself).
    HRESULT Resolve(const VARIANT& child, int* line) const;

    LONG references_ = 1;
    CheckListBox* list_;
    // The system's object of the list's window, which answers for the list itself what the system
    // knows of every window (its parent, place, focus and visibility); null when there is none.
    IAccessible* standard_;
};
