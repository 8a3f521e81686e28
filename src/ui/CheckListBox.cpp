#include "CheckListBox.h"

#include "CheckListAccessible.h"
#include "ControlMessages.h"
#include "ErrorDialog.h"
#include "GdiObjects.h"

#include "../sources/WideText.h"

#include <commctrl.h>
#include <oleacc.h>
#include <windowsx.h>

#include <algorithm>

namespace {
// Designed pixels, scaled to the system's resolution where used.
constexpr int kItemHeight = 13;
// Width of the check box area at the left of each line; a press there changes the mark.
constexpr int kCheckWidth = 15;
constexpr int kCheckSize = 13;
// Drawing a line is cut at this length; the line itself is kept whole.
constexpr std::size_t kMaxDrawnLength = 4096;

// What of a line is drawn: up to its first NUL, and no longer than kMaxDrawnLength.
template <typename Text> int ShownLength(const Text& line) {
    return static_cast<int>(std::min({line.size(), line.find(typename Text::value_type{}), kMaxDrawnLength}));
}
} // namespace

void CheckListBox::Create(HWND groupBox, const RECT& place, int id, HFONT font) {
    id_ = id;
    // A wide list box holds wide lines exactly, for accessibility tools too.
    const HWND window =
        CreateWindowExW(WS_EX_CLIENTEDGE, L"LISTBOX", L"",
                        WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_VSCROLL | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS |
                            LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                        place.left, place.top, place.right - place.left, place.bottom - place.top, groupBox,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    // A line is as tall as the text "REM" in the list's font (13 pixels for the designed font at
    // 96 dots per inch), the height the section's size is reckoned with.
    const int lineHeight = TextMeasurer(window).LineHeight();
    SendMessageW(window, LB_SETITEMHEIGHT, 0, lineHeight > 0 ? lineHeight : Scaled(kItemHeight));
    painter_.Open(window);
    Attach(window);
}

CheckListBox::~CheckListBox() {
    accessible_.reset();
}

void CheckListBox::DisconnectAccessible::operator()(CheckListAccessible* object) const {
    object->Disconnect();
    object->Release();
}

void CheckListBox::Notify(DWORD event, int index) const {
    NotifyWinEvent(event, Handle(), OBJID_CLIENT, index < 0 ? CHILDID_SELF : index + 1);
}

void CheckListBox::Clear() {
    const bool shown = !lines_.empty();
    previousLines_.clear();
    previousMarks_.clear();
    if (accessible_) {
        previousMarks_.reserve(lines_.size());
        for (int i = 0; i < Count(); ++i)
            previousMarks_.push_back(Checked(i));
        previousLines_ = std::move(lines_);
    }
    SendMessageA(Handle(), LB_RESETCONTENT, 0, 0);
    lines_.clear();
    ++generation_;
    if (shown)
        Notify(EVENT_OBJECT_REORDER, -1);
}

void CheckListBox::Append(const std::vector<std::wstring>& lines, const std::vector<bool>& marks) {
    if (lines.empty())
        return;
    RedrawSuspender quiet(Handle());
    std::size_t units = 0;
    for (const auto& line : lines)
        units += line.size() + 1;
    SendMessageW(Handle(), LB_INITSTORAGE, lines.size(), units * sizeof(wchar_t));
    lines_.reserve(lines_.size() + lines.size());
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const auto index = SendMessageW(Handle(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(lines[i].c_str()));
        if (index < 0)
            throw std::bad_alloc();
        const bool mark = i < marks.size() && marks[i];
        SendMessageW(Handle(), LB_SETITEMDATA, index, mark ? 1 : 0);
        // The line in the place of one shown before the refresh: a reader hears how it differs.
        const std::size_t at = lines_.size();
        if (at < previousLines_.size()) {
            if (previousMarks_[at] != mark)
                Notify(EVENT_OBJECT_STATECHANGE, static_cast<int>(at));
            if (previousLines_[at] != lines[i])
                Notify(EVENT_OBJECT_NAMECHANGE, static_cast<int>(at));
        }
        lines_.push_back(lines[i]);
    }
    Notify(EVENT_OBJECT_REORDER, -1);
}

std::string CheckListBox::Line(int index) const {
    return AnsiOf(lines_.at(index));
}

void CheckListBox::SetLine(int index, std::wstring text) {
    std::wstring& line = lines_.at(index);
    if (line == text)
        return;
    // The list box's copy shows the line; replace it in place, keeping mark and selection.
    const HWND window = Handle();
    const auto mark = SendMessageW(window, LB_GETITEMDATA, index, 0);
    const auto selected = SendMessageW(window, LB_GETCURSEL, 0, 0);
    const auto top = SendMessageW(window, LB_GETTOPINDEX, 0, 0);
    {
        RedrawSuspender quiet(window);
        SendMessageW(window, LB_DELETESTRING, index, 0);
        SendMessageW(window, LB_INSERTSTRING, index, reinterpret_cast<LPARAM>(text.c_str()));
        SendMessageW(window, LB_SETITEMDATA, index, mark);
        if (selected == index)
            SendMessageW(window, LB_SETCURSEL, index, 0);
        SendMessageW(window, LB_SETTOPINDEX, top, 0);
    }
    line = std::move(text);
    Notify(EVENT_OBJECT_NAMECHANGE, index);
}

bool CheckListBox::Checked(int index) const {
    return SendMessageA(Handle(), LB_GETITEMDATA, static_cast<WPARAM>(index), 0) == 1;
}

void CheckListBox::SetChecked(int index, bool checked) {
    const bool changed = Checked(index) != checked;
    SendMessageA(Handle(), LB_SETITEMDATA, static_cast<WPARAM>(index), checked ? 1 : 0);
    RECT rect;
    if (SendMessageA(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect)) != LB_ERR)
        InvalidateRect(Handle(), &rect, FALSE);
    if (changed)
        Notify(EVENT_OBJECT_STATECHANGE, index);
}

void CheckListBox::ToggleByUser(int index) {
    if (index < 0 || index >= Count())
        return;
    SetChecked(index, !Checked(index));
    SendMessageA(GetParent(Handle()), WM_COMMAND, MAKEWPARAM(id_, kClickCheckNotification),
                 reinterpret_cast<LPARAM>(Handle()));
}

bool CheckListBox::TakesInput() const {
    return IsWindowEnabled(Handle()) && IsWindowEnabled(GetAncestor(Handle(), GA_ROOT));
}

bool CheckListBox::ToggleLater(int index) {
    if (index < 0 || index >= Count() || !TakesInput())
        return false;
    return PostMessageW(Handle(), kToggleLineLater, static_cast<WPARAM>(index), generation_) != FALSE;
}

int CheckListBox::CaretLine() const {
    const auto caret = SendMessageW(Handle(), LB_GETCARETINDEX, 0, 0);
    return caret >= 0 && caret < Count() ? static_cast<int>(caret) : -1;
}

int CheckListBox::SelectedLine() const {
    const auto selected = SendMessageW(Handle(), LB_GETCURSEL, 0, 0);
    return selected >= 0 && selected < Count() ? static_cast<int>(selected) : -1;
}

bool CheckListBox::LineRect(int index, RECT* rect) const {
    return SendMessageW(Handle(), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(rect)) != LB_ERR;
}

int CheckListBox::LineAt(int y) const {
    RECT client;
    GetClientRect(Handle(), &client);
    if (y < 0 || y >= client.bottom)
        return -1;
    // Lines have a fixed height; LB_ITEMFROMPOINT would cut indexes to 16 bits.
    const auto top = SendMessageA(Handle(), LB_GETTOPINDEX, 0, 0);
    const auto lineHeight = SendMessageA(Handle(), LB_GETITEMHEIGHT, 0, 0);
    const int index = static_cast<int>(top) + y / static_cast<int>(lineHeight > 0 ? lineHeight : Scaled(kItemHeight));
    return index < Count() ? index : -1;
}

bool CheckListBox::LineInSight(int index) const {
    RECT line = {};
    if (!IsWindowVisible(Handle()) || !LineRect(index, &line))
        return false;
    // What of the line the list, and every window around it, leaves in sight.
    HWND window = Handle();
    while (window && !IsRectEmpty(&line)) {
        RECT client = {};
        GetClientRect(window, &client);
        IntersectRect(&line, &line, &client);
        const HWND parent = (GetWindowLongW(window, GWL_STYLE) & WS_CHILD) ? GetParent(window) : nullptr;
        if (parent)
            MapWindowPoints(window, parent, reinterpret_cast<POINT*>(&line), 2);
        window = parent;
    }
    return !IsRectEmpty(&line);
}

std::wstring CheckListBox::SectionTitle() const {
    const HWND box = GetParent(Handle());
    const int length = GetWindowTextLengthW(box);
    std::wstring title(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(box, &title[0], length + 1);
    title.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return title;
}

void CheckListBox::SelectLine(int index, bool focus) {
    if (index < 0 || index >= Count())
        return;
    if (focus)
        SetFocus(Handle());
    SendMessageW(Handle(), LB_SETCURSEL, static_cast<WPARAM>(index), 0);
    // The section follows it as it follows the keys.
    SendMessageW(GetParent(Handle()), WM_COMMAND, MAKEWPARAM(id_, LBN_SELCHANGE), reinterpret_cast<LPARAM>(Handle()));
}

void CheckListBox::SelectionChanged() const {
    const int selected = SelectedLine();
    if (selected >= 0)
        Notify(EVENT_OBJECT_SELECTION, selected);
    const int caret = CaretLine();
    if (caret >= 0 && GetFocus() == Handle())
        Notify(EVENT_OBJECT_FOCUS, caret);
}

bool CheckListBox::OnCheckBox(LPARAM point, int* index) const {
    const int x = GET_X_LPARAM(point);
    if (x < 0 || x >= Scaled(kCheckWidth))
        return false;
    *index = LineAt(GET_Y_LPARAM(point));
    return *index >= 0;
}

void CheckListBox::Draw(const DRAWITEMSTRUCT& item) const {
    // A list as tall as its lines, mostly below the window, is asked for every line it holds.
    if (item.itemID == static_cast<UINT>(-1) || !RectVisible(item.hDC, &item.rcItem))
        return;
    const HDC dc = item.hDC;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    RECT rect = item.rcItem;
    FillRect(dc, &rect, GetSysColorBrush(COLOR_WINDOW));

    const int index = static_cast<int>(item.itemID);
    const int checkSize = Scaled(kCheckSize);
    RECT box = {rect.left + Scaled(1), rect.top + (rect.bottom - rect.top - checkSize) / 2, 0, 0};
    box.right = box.left + checkSize;
    box.bottom = box.top + checkSize;
    painter_.Draw(dc, box, item.itemData == 1);

    RECT text = rect;
    text.left += Scaled(kCheckWidth + 1);
    FillRect(dc, &text, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    RECT textRect = text;
    textRect.left += Scaled(2);
    constexpr UINT kFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_EXPANDTABS;
    if (index >= 0 && index < Count()) {
        const std::wstring& line = lines_[index];
        DrawTextW(dc, line.data(), ShownLength(line), &textRect, kFormat);
    }
    if (item.itemState & ODS_FOCUS)
        DrawFocusRect(dc, &text);
}

LRESULT CheckListBox::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (PassTabOn(Handle(), message, wParam))
        return 0;
    switch (message) {
    case kReflectedDrawItem:
        Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        // The list box selects the line first; a press on the check box then changes its
        // mark. A double click arrives as a press and a double-click press: two changes.
        const LRESULT result = CallOwnProcedure(message, wParam, lParam);
        int index = 0;
        if (OnCheckBox(lParam, &index))
            ToggleByUser(index);
        return result;
    }
    case WM_KEYDOWN:
        if (wParam == VK_SPACE) {
            ToggleByUser(static_cast<int>(SendMessageA(Handle(), LB_GETCARETINDEX, 0, 0)));
            return 0;
        }
        break;
    case WM_CHAR:
        if (wParam == ' ')
            return 0; // the space bar changes the mark; it does not search the lines
        break;
    case WM_MOUSEWHEEL:
        if (PassesWheelOn(Handle()))
            return SendMessageA(GetParent(Handle()), message, wParam, lParam);
        break;
    case kToggleLineLater:
        if (lParam == generation_ && TakesInput())
            ToggleByUser(static_cast<int>(wParam));
        return 0;
    case WM_GETOBJECT:
        // The object id is a DWORD, whatever the width of lParam.
        if (static_cast<DWORD>(lParam) == static_cast<DWORD>(OBJID_CLIENT)) {
            if (!accessible_)
                accessible_.reset(CheckListAccessible::Create(*this));
            if (accessible_)
                return LresultFromObject(IID_IAccessible, wParam, static_cast<IAccessible*>(accessible_.get()));
        }
        break;
    case WM_SETFOCUS: {
        const LRESULT result = CallOwnProcedure(message, wParam, lParam);
        const int caret = CaretLine();
        if (caret >= 0)
            Notify(EVENT_OBJECT_FOCUS, caret);
        return result;
    }
    case WM_THEMECHANGED:
        painter_.Open(Handle());
        InvalidateRect(Handle(), nullptr, TRUE);
        break;
    case WM_SYSCOLORCHANGE:
        // The colours are the system's at every paint.
        InvalidateRect(Handle(), nullptr, TRUE);
        break;
    case WM_DESTROY:
        // Clients holding the accessible object are answered that the list is gone.
        accessible_.reset();
        painter_.Close();
        break;
    }
    return CallOwnProcedure(message, wParam, lParam);
}

ListMetrics CheckListBox::Measure(int, int) const {
    ListMetrics metrics;
    metrics.frame = Frame().cy;
    metrics.row = static_cast<int>(SendMessageW(Handle(), LB_GETITEMHEIGHT, 0, 0));
    return metrics;
}
