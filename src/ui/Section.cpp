#include "Section.h"

#include "GdiObjects.h"

#include "ControlMessages.h"
#include "ErrorDialog.h"
#include "WindowSubclass.h"

#include "../sources/WideText.h"

#include <commctrl.h>

#include <cstring>

namespace {
// What the list of a section measures for showing its rows: a check list has rows of its item
// height and no header; a report list has its header and rows as tall as its images or text
// make them, and a horizontal scroll bar while its columns are wider than it.
ListMetrics MeasureList(HWND list, int count) {
    ListMetrics metrics;
    RECT frame = {0, 0, 0, 0};
    AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongA(list, GWL_STYLE)) & ~(WS_VSCROLL | WS_HSCROLL), FALSE,
                       static_cast<DWORD>(GetWindowLongA(list, GWL_EXSTYLE)));
    metrics.frame = frame.bottom - frame.top;
    char className[32] = {};
    GetClassNameA(list, className, sizeof className);
    if (std::strcmp(className, WC_LISTVIEWA) != 0) {
        metrics.row = static_cast<int>(SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
        return metrics;
    }
    if (count > 0) {
        RECT row = {};
        row.left = LVIR_BOUNDS;
        if (SendMessageA(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row)))
            metrics.row = row.bottom - row.top;
    }
    if (HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0))) {
        RECT rect = {};
        GetWindowRect(header, &rect);
        metrics.header = rect.bottom - rect.top;
        if (metrics.header <= 0) {
            // A header not laid out yet: ask it where it would go.
            RECT bounds = {0, 0, 32767, 32767};
            WINDOWPOS place = {};
            HDLAYOUT layout = {&bounds, &place};
            if (SendMessageA(header, HDM_LAYOUT, 0, reinterpret_cast<LPARAM>(&layout)))
                metrics.header = place.cy;
        }
        int columns = 0;
        const int columnCount = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
        for (int column = 0; column < columnCount; ++column)
            columns += static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
        RECT outer = {};
        GetWindowRect(list, &outer);
        if (columns > (outer.right - outer.left) - (frame.right - frame.left))
            metrics.scrollBar = GetSystemMetrics(SM_CYHSCROLL);
    }
    return metrics;
}
} // namespace

void Section::Create(HWND parent, int id, const char* caption, HFONT font, int top, int width) {
    // A wide window, so that a title holds any character exactly, for the eye and for
    // accessibility tools alike.
    window_ = CreateWindowExW(WS_EX_CONTROLPARENT, L"BUTTON", WideOfAnsi(caption).c_str(),
                              WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | BS_GROUPBOX, 0, top, width, height_, parent,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    placed_ = {0, top, width, top + height_};
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    InstallSubclass(window_, &Section::Procedure, 0, reinterpret_cast<DWORD_PTR>(this));
}

void Section::MakeVisible() {
    if (visible_)
        return;
    visible_ = true;
    ShowWindow(window_, SW_SHOWNA);
    host_.SectionLayoutChanged();
}

void Section::SetTitle(const std::string& title) {
    SetWindowTextA(window_, title.c_str());
}

void Section::SetTitle(const std::wstring& title) {
    SetWindowTextW(window_, title.c_str());
}

std::wstring Section::WideTitle() const {
    const int length = GetWindowTextLengthW(window_);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(window_, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

std::string Section::Title() const {
    const int length = GetWindowTextLengthA(window_);
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(window_, &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void Section::SetHeight(int height) {
    if (height == height_)
        return;
    height_ = height;
    host_.SectionLayoutChanged();
}

void Section::ShowContents(SectionContents contents) {
    if (!SectionIsEmpty(kind_, contents.count, contents.opened)) {
        const HWND list = GetWindow(window_, GW_CHILD);
        const int rule = FilledSectionHeight(kind_, TextMeasurer(list).LineHeight(), contents.count, SystemDpi());
        // Rows taller than the text (small icons, larger resolutions) or a header taller than
        // the rule allows for would leave the list too short for its rows: the section then
        // takes the height its rows need.
        SetHeight(SectionHeightShowingRows(rule, MeasureList(list, contents.count), contents.count, SystemDpi()));
        return;
    }
    if (!host_.HideEmpty() || !visible_)
        return;
    visible_ = false;
    ShowWindow(window_, SW_HIDE);
    host_.SectionLayoutChanged();
}

void Section::Place(int top, int width) {
    const RECT place = {0, top, width, top + height_};
    if (EqualRect(&place, &placed_))
        return;
    SetWindowPos(window_, nullptr, 0, top, width, height_, SWP_NOZORDER | SWP_NOACTIVATE);
    placed_ = place;
}

RECT Section::ListRect() const {
    RECT client = {};
    GetClientRect(window_, &client);
    const LONG left = Scaled(kListInsetLeft);
    const LONG top = Scaled(kListInsetTop);
    return {left, top, std::max(left, client.right - Scaled(kListInsetRight)),
            std::max(top, client.bottom - Scaled(kListInsetBottom))};
}

void Section::FitList() const {
    if (HWND list = GetWindow(window_, GW_CHILD)) {
        const RECT place = ListRect();
        SetWindowPos(list, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT CALLBACK Section::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    auto* self = reinterpret_cast<Section*>(data);
    return DeliverEvent([&]() -> LRESULT {
        switch (message) {
        case WM_COMMAND:
        case WM_NOTIFY:
            // The list's notifications belong to the form, which knows the sections' handlers.
            return SendMessageA(GetParent(window), message, wParam, lParam);
        case WM_DRAWITEM: {
            const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
            return SendMessageA(item->hwndItem, kReflectedDrawItem, wParam, lParam);
        }
        case WM_ERASEBKGND: {
            // A group box paints only its frame and caption; the face between the frame and
            // its list is the window's colour.
            RECT client;
            GetClientRect(window, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
            return TRUE;
        }
        case WM_SIZE: {
            const LRESULT result = CallControlProcedure(window, message, wParam, lParam);
            self->FitList();
            return result;
        }
        case WM_NCDESTROY:
            RemoveSubclass(window);
            break;
        }
        return CallControlProcedure(window, message, wParam, lParam);
    });
}
