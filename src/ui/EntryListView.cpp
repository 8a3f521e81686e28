#include "EntryListView.h"

#include "ControlMessages.h"
#include "ErrorDialog.h"
#include "GdiObjects.h"

#include "../sources/WideText.h"

#include <commctrl.h>

#include <algorithm>

namespace {
// Designed pixels, scaled to the system's resolution where used.
constexpr int kStartWidth = 100;
// The width a column has when its design sets none.
constexpr int kDefaultColumnWidth = 50;
constexpr int kCaptionMargin = 41;
constexpr int kFullnameMargin = 21;
constexpr int kWidestColumn = 32767;
// How far Left and Right scroll a list sideways.
constexpr int kSidewaysStep = 20;
constexpr UINT kCheckedState = INDEXTOSTATEIMAGEMASK(2);
constexpr UINT kUncheckedState = INDEXTOSTATEIMAGEMASK(1);

void AddColumn(HWND list, int index, const char* title) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.cx = Scaled(kDefaultColumnWidth);
    column.pszText = const_cast<char*>(title);
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, reinterpret_cast<LPARAM>(&column));
}
} // namespace

void EntryListView::Create(HWND groupBox, const RECT& place, int id, HFONT font) {
    const HWND window = CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_EDITLABELS | LVS_SHAREIMAGELISTS,
        place.left, place.top, place.right - place.left, place.bottom - place.top, groupBox,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    SendMessageW(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    SendMessageW(window, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
    AddColumn(window, 0, "Displayname");
    AddColumn(window, 1, "Fullname");
    Attach(window);
}

void EntryListView::SetSmallImages(HIMAGELIST images) {
    SendMessageA(Handle(), LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
}

void EntryListView::Clear() {
    SendMessageA(Handle(), LVM_DELETEALLITEMS, 0, 0);
    records_.clear();
}

void EntryListView::DesignColumns(bool fitHeaders) {
    if (!fitHeaders)
        return; // the default width they were made with
    SendMessageA(Handle(), LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE_USEHEADER);
    SendMessageA(Handle(), LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE_USEHEADER);
}

void EntryListView::ResetColumns() {
    SendMessageA(Handle(), LVM_SETCOLUMNWIDTH, 0, Scaled(kStartWidth));
    SendMessageA(Handle(), LVM_SETCOLUMNWIDTH, 1, Scaled(kStartWidth));
}

int EntryListView::Count() const {
    return static_cast<int>(SendMessageA(Handle(), LVM_GETITEMCOUNT, 0, 0));
}

int EntryListView::AddRow(const std::wstring& caption, bool checked) {
    LVITEMW item = {};
    item.mask = LVIF_PARAM | LVIF_TEXT;
    item.iItem = Count();
    item.pszText = const_cast<wchar_t*>(caption.c_str());
    item.lParam = nextId_++;
    const int row = static_cast<int>(SendMessageW(Handle(), LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
    if (row < 0)
        throw std::bad_alloc();
    SetChecked(row, true);
    if (!checked)
        SetChecked(row, false);
    return row;
}

void EntryListView::SetFullname(int row, const std::wstring& text) {
    LVITEMW item = {};
    item.iSubItem = 1;
    item.pszText = const_cast<wchar_t*>(text.c_str());
    SendMessageW(Handle(), LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
}

void EntryListView::SetImage(int row, int image) {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = image;
    SendMessageA(Handle(), LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item));
}

LPARAM EntryListView::RecordId(int row) const {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (!SendMessageA(Handle(), LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
        return 0;
    return item.lParam;
}

void EntryListView::AttachRecord(int row, std::unique_ptr<RowRecord> record) {
    records_[RecordId(row)] = std::move(record);
}

RowRecord* EntryListView::Record(int row) const {
    const auto found = records_.find(RecordId(row));
    return found == records_.end() ? nullptr : found->second.get();
}

std::wstring EntryListView::WideItemText(int row, int column) const {
    std::wstring text(260, L'\0');
    for (;;) {
        LVITEMW item = {};
        item.iSubItem = column;
        item.pszText = &text[0];
        item.cchTextMax = static_cast<int>(text.size());
        const auto length =
            static_cast<std::size_t>(SendMessageW(Handle(), LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(text.size() * 4);
    }
}

std::string EntryListView::Caption(int row) const {
    return AnsiOf(WideItemText(row, 0));
}

std::string EntryListView::Fullname(int row) const {
    return AnsiOf(WideItemText(row, 1));
}

bool EntryListView::Checked(int row) const {
    return (SendMessageA(Handle(), LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) == kCheckedState;
}

void EntryListView::SetChecked(int row, bool checked) {
    LVITEMA item = {};
    item.stateMask = LVIS_STATEIMAGEMASK;
    item.state = checked ? kCheckedState : kUncheckedState;
    SendMessageA(Handle(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&item));
}

int EntryListView::ColumnWidth(int column) const {
    return static_cast<int>(SendMessageA(Handle(), LVM_GETCOLUMNWIDTH, column, 0));
}

void EntryListView::FitColumns(std::wstring_view caption, std::wstring_view fullname, const TextMeasurer& measure) {
    // The list takes a column width as a 16-bit signed number: wider texts get the widest.
    const int captionWidth = std::min(measure.Width(caption) + Scaled(kCaptionMargin), kWidestColumn);
    if (ColumnWidth(0) < captionWidth)
        SendMessageA(Handle(), LVM_SETCOLUMNWIDTH, 0, captionWidth);
    const int fullnameWidth = std::min(measure.Width(fullname) + Scaled(kFullnameMargin), kWidestColumn);
    if (ColumnWidth(1) < fullnameWidth)
        SendMessageA(Handle(), LVM_SETCOLUMNWIDTH, 1, fullnameWidth);
}

void EntryListView::RemoveRowLater(int row) {
    const LPARAM id = RecordId(row);
    // The record goes now, so that later reports of the row before its removal do nothing.
    records_.erase(id);
    PostMessageA(Handle(), kRemoveRecordRow, static_cast<WPARAM>(id), 0);
}

void EntryListView::RemoveRecordRow(LPARAM id) {
    LVFINDINFOA find = {};
    find.flags = LVFI_PARAM;
    find.lParam = id;
    const auto row = SendMessageA(Handle(), LVM_FINDITEMA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&find));
    if (row >= 0)
        SendMessageA(Handle(), LVM_DELETEITEM, row, 0);
}

LRESULT EntryListView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRemoveRecordRow) {
        RemoveRecordRow(static_cast<LPARAM>(wParam));
        return 0;
    }
    if (PassTabOn(Handle(), message, wParam))
        return 0;
    if (message == WM_MOUSEWHEEL && PassesWheelOn(Handle()))
        return SendMessageW(GetParent(Handle()), message, wParam, lParam);
    if (message == WM_KEYDOWN && wParam == VK_ADD && (GetKeyState(VK_CONTROL) & 0x8000)) {
        // What dragging the dividers does with the mouse, from the keyboard (as Windows' own
        // lists do): every column as wide as its widest text.
        SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, 0, LVSCW_AUTOSIZE);
        SendMessageW(Handle(), LVM_SETCOLUMNWIDTH, 1, LVSCW_AUTOSIZE);
        return 0;
    }
    if (message == WM_KEYDOWN && (wParam == VK_LEFT || wParam == VK_RIGHT)) {
        // A list has one column of rows: the arrows sideways scroll it, as its scroll bar does.
        const int step = Scaled(kSidewaysStep);
        SendMessageW(Handle(), LVM_SCROLL, static_cast<WPARAM>(wParam == VK_LEFT ? -step : step), 0);
        return 0;
    }
    return CallOwnProcedure(message, wParam, lParam);
}

ListMetrics EntryListView::Measure(int count, int width) const {
    ListMetrics metrics;
    const SIZE frame = Frame();
    metrics.frame = frame.cy;
    const HWND list = Handle();
    if (count > 0) {
        RECT row = {};
        row.left = LVIR_BOUNDS;
        if (SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)))
            metrics.row = row.bottom - row.top;
    }
    const HWND header = reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0));
    if (!header)
        return metrics;
    RECT rect = {};
    GetWindowRect(header, &rect);
    metrics.header = rect.bottom - rect.top;
    if (metrics.header <= 0) {
        // A header not laid out yet: ask it where it would go.
        RECT bounds = {0, 0, 32767, 32767};
        WINDOWPOS place = {};
        HDLAYOUT layout = {&bounds, &place};
        if (SendMessageW(header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout)))
            metrics.header = place.cy;
    }
    int columns = 0;
    const int columnCount = static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0));
    for (int column = 0; column < columnCount; ++column)
        columns += ColumnWidth(column);
    if (columns > width - frame.cx)
        metrics.scrollBar = GetSystemMetrics(SM_CYHSCROLL);
    return metrics;
}

bool ReadRowChange(const NMLISTVIEW& report, int* row, RowChange* change) {
    if (report.iItem < 0)
        return false;
    *row = report.iItem;
    change->checkChanged =
        (report.uChanged & LVIF_STATE) != 0 && ((report.uOldState ^ report.uNewState) & LVIS_STATEIMAGEMASK) != 0;
    return true;
}

void EntryListView::FollowSystemColours() {
    SectionList::FollowSystemColours();
    SendMessageW(Handle(), LVM_SETBKCOLOR, 0, static_cast<LPARAM>(GetSysColor(COLOR_WINDOW)));
}
