#include "Section.h"

#include "GdiObjects.h"

#include "ControlMessages.h"
#include "ErrorDialog.h"

#include "../sources/WideText.h"

#include <commctrl.h>

Section::Section(SectionHost& host, const layout::SectionDesign& design)
    : host_(host), design_(design), height_(Scaled(design.designedHeight)) {}

void Section::Create(HWND parent, HFONT font, int top, int width) {
    // A wide window, so that a title holds any character exactly, for the eye and for
    // accessibility tools alike.
    const HWND box = CreateWindowExW(WS_EX_CONTROLPARENT, L"BUTTON", WideOfAnsi(design_.boxName).c_str(),
                                     WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | BS_GROUPBOX, 0, top, width, height_,
                                     parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(design_.boxId)),
                                     GetModuleHandleW(nullptr), nullptr);
    placed_ = {0, top, width, top + height_};
    SendMessageW(box, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    Attach(box);
    CreateList(ListRect(), font);
}

void Section::MakeVisible() {
    if (visible_)
        return;
    visible_ = true;
    ShowWindow(Handle(), SW_SHOWNA);
    host_.SectionLayoutChanged();
}

void Section::SetTitle(const std::string& title) {
    SetWindowTextA(Handle(), title.c_str());
}

void Section::SetTitle(const std::wstring& title) {
    SetWindowTextW(Handle(), title.c_str());
}

std::wstring Section::WideTitle() const {
    const int length = GetWindowTextLengthW(Handle());
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int copied = GetWindowTextW(Handle(), &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

std::string Section::Title() const {
    const int length = GetWindowTextLengthA(Handle());
    std::string text(static_cast<std::size_t>(length) + 1, '\0');
    const int copied = GetWindowTextA(Handle(), &text[0], length + 1);
    text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    return text;
}

void Section::SetHeight(int height) {
    if (height == height_)
        return;
    height_ = height;
    host_.SectionLayoutChanged();
}

int Section::HeightShowing(int count, int width) {
    const SectionList& list = List();
    const int rule =
        FilledSectionHeight(design_.source.kind, TextMeasurer(list.Handle()).LineHeight(), count, SystemDpi());
    // Rows taller than the text (small icons, larger resolutions), a header taller than the
    // rule allows for, or the list's horizontal scroll bar would leave the list too short for
    // its rows: the section then takes the height its rows need.
    const int listWidth = width - Scaled(kListInsetLeft) - Scaled(kListInsetRight);
    return SectionHeightShowingRows(rule, list.Measure(count, listWidth), count, SystemDpi());
}

bool Section::FitWidth(int width) {
    if (!sizedCount_ || width == fittedWidth_)
        return false;
    fittedWidth_ = width;
    const int height = HeightShowing(*sizedCount_, width);
    if (height == height_)
        return false;
    height_ = height;
    return true;
}

void Section::ShowContents(SectionContents contents) {
    sizedCount_.reset();
    if (!SectionIsEmpty(design_.source.kind, contents.count, contents.opened)) {
        RECT box = {};
        GetWindowRect(Handle(), &box);
        fittedWidth_ = box.right - box.left;
        sizedCount_ = contents.count;
        SetHeight(HeightShowing(contents.count, fittedWidth_));
        return;
    }
    if (!host_.HideEmpty() || !visible_)
        return;
    visible_ = false;
    ShowWindow(Handle(), SW_HIDE);
    host_.SectionLayoutChanged();
}

void Section::Place(int top, int width) {
    const RECT place = {0, top, width, top + height_};
    if (EqualRect(&place, &placed_))
        return;
    SetWindowPos(Handle(), nullptr, 0, top, width, height_, SWP_NOZORDER | SWP_NOACTIVATE);
    placed_ = place;
}

RECT Section::ListRect() const {
    RECT client = {};
    GetClientRect(Handle(), &client);
    const LONG left = Scaled(kListInsetLeft);
    const LONG top = Scaled(kListInsetTop);
    return {left, top, std::max(left, client.right - Scaled(kListInsetRight)),
            std::max(top, client.bottom - Scaled(kListInsetBottom))};
}

void Section::FitList() {
    if (HWND list = List().Handle()) {
        const RECT place = ListRect();
        SetWindowPos(list, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT Section::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        if (reinterpret_cast<HWND>(lParam) == List().Handle())
            OnListCommand(HIWORD(wParam));
        return 0;
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        return header.hwndFrom == List().Handle() ? OnListNotify(header) : 0;
    }
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        return SendMessageW(item->hwndItem, kReflectedDrawItem, wParam, lParam);
    }
    case WM_ERASEBKGND: {
        // A group box paints only its frame and caption; the face between the frame and
        // its list is the window's colour.
        RECT client;
        GetClientRect(Handle(), &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, GetSysColorBrush(COLOR_BTNFACE));
        return TRUE;
    }
    case WM_SIZE: {
        const LRESULT result = CallOwnProcedure(message, wParam, lParam);
        FitList();
        return result;
    }
    }
    return CallOwnProcedure(message, wParam, lParam);
}
