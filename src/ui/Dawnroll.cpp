#include "Dawnroll.h"

#include "ControlMessages.h"
#include "ErrorDialog.h"
#include "Resource.h"
#include "StoredLayout.h"

#include "../sources/SystemInformation.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace {
// Designed pixels of one line of scrolling, scaled to the system's resolution where used.
constexpr int kScrollLine = 13;

HINSTANCE Instance() {
    return GetModuleHandleA(nullptr);
}

void RegisterWindowClass(WNDPROC procedure) {
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExA(Instance(), TFormDawnroll::kClassName, &windowClass))
        return;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = Instance();
    windowClass.hIcon = LoadIconA(Instance(), MAKEINTRESOURCEA(IDI_DAWNROLL));
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = TFormDawnroll::kClassName;
    RegisterClassExA(&windowClass);
}

// The number of a section's list from its control ID, or 0 when the ID is none of them.
int ListNumber(UINT_PTR id, int first, int count) {
    const int number = static_cast<int>(id) - first + 1;
    return number >= 1 && number <= count ? number : 0;
}
} // namespace

TFormDawnroll::TFormDawnroll(SourceLocators locators) : locators_(std::move(locators)), onWow64_(IsRunningOnWow64()) {
    if (!locators_.windowsFolder)
        locators_.windowsFolder = GetWindowsFolder;
    const int count = onWow64_ ? layout::kSectionCountOnWow64 : layout::kSectionCount;
    for (int i = 0; i < count; ++i) {
        const auto& design = layout::kSections[i];
        boxes_.push_back(std::make_unique<Section>(*this, design.sourceKind, Scaled(design.designedHeight)));
        if (design.listKind != layout::ListKind::CheckList)
            listViews_.push_back(std::make_unique<EntryListView>());
    }
}

RegistryView TFormDawnroll::ViewOf(RootKey root) const {
    // The current user's keys are one key in both views.
    return onWow64_ && root == RootKey::LocalMachine ? RegistryView::Native : RegistryView::Default;
}

TFormDawnroll::~TFormDawnroll() {
    if (window_ && IsWindow(window_))
        DestroyWindow(window_);
}

HWND TFormDawnroll::Create() {
    try {
        prefetch_ = std::make_unique<ShellPrefetch>(ViewOf(RootKey::LocalMachine));
    } catch (const std::system_error&) {
        // Without a thread of its own the first refresh reads everything itself.
    }
    RegisterWindowClass(&TFormDawnroll::WindowProcedure);
    // The designed 8 points at every resolution (-11 at 96 dots per inch).
    font_ = UniqueFont(CreateFontA(FontHeightForPoints(layout::kFontPoints, SystemDpi()), 0, 0, 0, FW_NORMAL, FALSE,
                                   FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                   DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, layout::kFontName));
    HMENU menu = LoadMenuA(Instance(), MAKEINTRESOURCEA(IDR_MAINMENU));
    // The object goes with the creation message and is known from WM_NCCREATE on (see
    // WindowProcedure); window_ is set there.
    CreateWindowExA(0, kClassName, layout::kDesignedCaption, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu, Instance(), this);
    if (!window_) {
        if (menu)
            DestroyMenu(menu);
        prefetch_.reset();
        throw std::runtime_error("The main window could not be created");
    }
    SendMessageA(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    CreateSections();
    Restack();
    // An error in the creation handler skips the rest of it; the window is still shown.
    DeliverEvent([this] { FormCreate(); });
    // Later refreshes read anew, also when the first one ended before the Startup sections.
    prefetch_.reset();
    return window_;
}

void TFormDawnroll::CreateSections() {
    // Each section is made where the stack at its designed heights puts it, so that the first
    // Restack resizes nothing.
    const auto tops = StackTops(Stack(), 0);
    RECT client;
    GetClientRect(window_, &client);
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        const auto& design = layout::kSections[i];
        Section& box = *boxes_[i];
        box.Create(window_, design.boxId, design.boxName, font_.Get(), tops[i], client.right);
        const RECT place = box.ListRect();
        if (design.listKind == layout::ListKind::CheckList)
            checkLists_.at(design.listId - IDC_CHECKLISTBOX_FIRST)
                .Create(box.Handle(), place, design.listId, font_.Get());
        else {
            EntryListView& list = *listViews_.at(design.listId - IDC_LISTVIEW_FIRST);
            list.Create(box.Handle(), place, design.listId, font_.Get());
            list.DesignColumns(design.listId != layout::kListWithDefaultColumnWidths);
        }
    }
}

void TFormDawnroll::FormCreate() {
    SetWindowTextA(window_,
                   (std::string(layout::kDesignedCaption) + layout::kVersionText + layout::kMakersNotice).c_str());
    SetSystemImages();
    RefreshAll();
}

void TFormDawnroll::SetSystemImages() {
    HIMAGELIST images = prefetch_ ? prefetch_->SystemImages() : nullptr;
    if (!images)
        images = ShellSmallImages();
    for (const auto& design : layout::kSections) {
        if (design.listKind == layout::ListKind::EntryListWithIcons)
            listViews_.at(design.listId - IDC_LISTVIEW_FIRST)->SetSmallImages(images);
    }
}

// Section 5 (which = 0) or 6 (which = 1), from the first reading while it is there.
void TFormDawnroll::LoadStartupSection(int which) {
    LoadStartupFolder(GroupBoxN(5 + which), ListViewN(1 + which), [&] {
        if (prefetch_)
            return prefetch_->StartupFolder(which);
        const StartupFolderPlace place = StartupFolderPlaceOf(which, ViewOf(RootKey::LocalMachine));
        return ReadStartupFolder(place.valueName, place.root, place.view);
    });
}

void TFormDawnroll::RefreshAll() {
    // Every load changes its section's height; the sections are restacked once, when all are
    // loaded or a load has failed, instead of after each.
    struct RestackAtEnd {
        TFormDawnroll& form;
        explicit RestackAtEnd(TFormDawnroll& f) : form(f) { form.restackDeferred_ = true; }
        ~RestackAtEnd() {
            form.restackDeferred_ = false;
            form.Restack();
            form.KeepFocusOnAList();
        }
    } restackAtEnd(*this);
    LoadBootFile(GroupBoxN(1), CheckListBoxN(1), locators_.configSys);
    LoadBootFile(GroupBoxN(2), CheckListBoxN(2), locators_.autoexecBat);
    LoadIniList(GroupBoxN(3), CheckListBoxN(3), "Load", locators_.windowsFolder() + "WIN.INI");
    LoadIniList(GroupBoxN(4), CheckListBoxN(4), "Run", locators_.windowsFolder() + "WIN.INI");
    LoadStartupSection(0);
    LoadStartupSection(1);
    LoadRunKey(GroupBoxN(7), ListViewN(3), "Run", RootKey::CurrentUser);
    LoadRunKey(GroupBoxN(8), ListViewN(4), "RunOnce", RootKey::CurrentUser);
    LoadRunKey(GroupBoxN(9), ListViewN(5), "Run", RootKey::LocalMachine);
    LoadRunKey(GroupBoxN(10), ListViewN(6), "RunOnce", RootKey::LocalMachine);
    LoadRunKey(GroupBoxN(11), ListViewN(7), "RunServices", RootKey::LocalMachine);
    if (!onWow64_)
        return;
    // The 32-bit programs' run keys, which a 64-bit system runs at logon as well.
    const char* const keyNames[] = {"Run", "RunOnce", "RunServices"};
    for (int i = 0; i < 3; ++i)
        LoadRunKey(GroupBoxN(12 + i), ListViewN(8 + i),
                   RunKeyLocator{RootKey::LocalMachine, Wow6432NodeRunKeyPath(keyNames[i]), RegistryView::Native});
}

void TFormDawnroll::SetDisplayOption(bool hideEmpty) {
    HMENU menu = GetMenu(window_);
    CheckMenuItem(menu, IDM_HIDEEMPTYSTARTUPS, MF_BYCOMMAND | (hideEmpty ? MF_CHECKED : MF_UNCHECKED));
    CheckMenuItem(menu, IDM_SHOWEMPTYSTARTUPS, MF_BYCOMMAND | (hideEmpty ? MF_UNCHECKED : MF_CHECKED));
}

void TFormDawnroll::Hideemptystartups1Click() {
    SetDisplayOption(true);
    RefreshAll();
}

void TFormDawnroll::Showemptystartups1Click() {
    SetDisplayOption(false);
    RefreshAll();
}

bool TFormDawnroll::HideEmpty() const {
    return (GetMenuState(GetMenu(window_), IDM_HIDEEMPTYSTARTUPS, MF_BYCOMMAND) & MF_CHECKED) != 0;
}

void TFormDawnroll::SectionLayoutChanged() {
    if (restackDeferred_)
        return;
    Restack();
}

std::vector<StackedSection> TFormDawnroll::Stack() const {
    std::vector<StackedSection> stack;
    for (const auto& box : boxes_)
        stack.push_back({box->IsVisible(), box->Height()});
    return stack;
}

Section& TFormDawnroll::SectionHolding(HWND list) {
    const HWND box = GetParent(list);
    for (const auto& section : boxes_) {
        if (section->Handle() == box)
            return *section;
    }
    throw std::logic_error("A list outside the window's sections");
}

void TFormDawnroll::Restack() {
    // Messages before the sections exist (WM_SIZE at creation) have nothing to place.
    if (restacking_ || !window_ || !boxes_.back()->Handle())
        return;
    restacking_ = true;
    const std::vector<StackedSection> stack = Stack();
    const int total = StackTops(stack, 0).back();

    RECT client;
    GetClientRect(window_, &client);
    // The scroll bar shows only while the stack is taller than the client area; showing it
    // narrows the client area, which is read again below.
    SCROLLINFO scroll = {};
    scroll.cbSize = sizeof scroll;
    scroll.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    scroll.nMin = 0;
    scroll.nMax = std::max(0, total - 1);
    scroll.nPage = static_cast<UINT>(std::max(0L, client.bottom));
    scrollTop_ = std::clamp(scrollTop_, 0, std::max(0, total - static_cast<int>(client.bottom)));
    scroll.nPos = scrollTop_;
    SetScrollInfo(window_, SB_VERT, &scroll, TRUE);
    GetClientRect(window_, &client);

    const auto tops = StackTops(stack, -scrollTop_);
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        if (boxes_[i]->IsVisible())
            boxes_[i]->Place(tops[i], client.right);
    }
    restacking_ = false;
}

void TFormDawnroll::ScrollTo(int position) {
    scrollTop_ = position;
    Restack();
}

void TFormDawnroll::OnVerticalScroll(int code) {
    SCROLLINFO scroll = {};
    scroll.cbSize = sizeof scroll;
    scroll.fMask = SIF_ALL;
    GetScrollInfo(window_, SB_VERT, &scroll);
    int position = scroll.nPos;
    switch (code) {
    case SB_LINEUP:
        position -= Scaled(kScrollLine);
        break;
    case SB_LINEDOWN:
        position += Scaled(kScrollLine);
        break;
    case SB_PAGEUP:
        position -= static_cast<int>(scroll.nPage);
        break;
    case SB_PAGEDOWN:
        position += static_cast<int>(scroll.nPage);
        break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION:
        position = scroll.nTrackPos;
        break;
    case SB_TOP:
        position = 0;
        break;
    case SB_BOTTOM:
        position = scroll.nMax;
        break;
    default:
        return;
    }
    ScrollTo(position);
}

void TFormDawnroll::OnMouseWheel(int delta) {
    UINT lines = 3;
    if (!SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &lines, 0))
        lines = 3;
    RECT client;
    GetClientRect(window_, &client);
    const int linesPerNotch =
        lines == WHEEL_PAGESCROLL ? WheelScroll::kWheelScreen : static_cast<int>(std::min<UINT>(lines, 0x7FFF));
    const int by = wheel_.Turn(delta, linesPerNotch, Scaled(kScrollLine), static_cast<int>(client.bottom));
    if (by != 0)
        ScrollTo(scrollTop_ + by);
}

HWND TFormDawnroll::ListOfSection(std::size_t index) const {
    return GetWindow(boxes_.at(index)->Handle(), GW_CHILD);
}

int TFormDawnroll::SectionIndexOf(HWND list) const {
    if (!list)
        return -1;
    for (std::size_t i = 0; i < boxes_.size(); ++i) {
        if (boxes_[i]->Handle() && ListOfSection(i) == list)
            return static_cast<int>(i);
    }
    return -1;
}

void TFormDawnroll::MoveFocus(HWND from, bool backwards) {
    const int count = static_cast<int>(boxes_.size());
    int index = SectionIndexOf(from);
    if (index < 0)
        index = backwards ? count : -1;
    for (int step = 1; step <= count; ++step) {
        const int next = ((index + (backwards ? -step : step)) % count + count) % count;
        if (boxes_[next]->IsVisible()) {
            focusByTab_ = true;
            SetFocus(ListOfSection(next));
            focusByTab_ = false;
            return;
        }
    }
}

void TFormDawnroll::FocusFirstList() {
    MoveFocus(nullptr, false);
}

void TFormDawnroll::KeepFocusOnAList() {
    if (!window_ || GetActiveWindow() != window_)
        return;
    const int index = SectionIndexOf(GetFocus());
    if (index < 0 || !boxes_[index]->IsVisible())
        FocusFirstList();
}

void TFormDawnroll::ListFocused(HWND list) {
    const int index = SectionIndexOf(list);
    if (index < 0)
        return;
    focusedList_ = list;
    const int top = StackTops(Stack(), 0)[index];
    const int bottom = top + boxes_[index]->Height();
    RECT client;
    GetClientRect(window_, &client);
    const int page = static_cast<int>(client.bottom);
    const bool outOfSight = bottom <= scrollTop_ || top >= scrollTop_ + page;
    // A click focuses a list the user sees; the window stays where it is for it.
    if (!outOfSight && !focusByTab_)
        return;
    const int position = ScrollPositionShowing(scrollTop_, page, top, bottom);
    if (position != scrollTop_)
        ScrollTo(position);
}

void TFormDawnroll::ShowCurrentRow(HWND list, const RECT& rowInList) {
    if (GetFocus() != list || SectionIndexOf(list) < 0)
        return;
    RECT row = rowInList;
    MapWindowPoints(list, window_, reinterpret_cast<POINT*>(&row), 2);
    RECT client;
    GetClientRect(window_, &client);
    const int position = ScrollPositionShowing(scrollTop_, static_cast<int>(client.bottom), row.top + scrollTop_,
                                               row.bottom + scrollTop_);
    if (position != scrollTop_)
        ScrollTo(position);
}

void TFormDawnroll::OnCommand(WPARAM wParam, LPARAM lParam) {
    const UINT id = LOWORD(wParam);
    const UINT code = HIWORD(wParam);
    if (lParam == 0) {
        if (id == IDM_HIDEEMPTYSTARTUPS)
            Hideemptystartups1Click();
        else if (id == IDM_SHOWEMPTYSTARTUPS)
            Showemptystartups1Click();
        return;
    }
    if (code == LBN_SETFOCUS) {
        ListFocused(reinterpret_cast<HWND>(lParam));
        return;
    }
    if (code == LBN_SELCHANGE) {
        const HWND list = reinterpret_cast<HWND>(lParam);
        RECT row = {};
        const auto caret = SendMessageA(list, LB_GETCARETINDEX, 0, 0);
        if (caret >= 0 &&
            SendMessageA(list, LB_GETITEMRECT, static_cast<WPARAM>(caret), reinterpret_cast<LPARAM>(&row)) != LB_ERR)
            ShowCurrentRow(list, row);
        return;
    }
    if (code != kClickCheckNotification)
        return;
    switch (const int number = ListNumber(id, IDC_CHECKLISTBOX_FIRST, 4)) {
    case 1:
    case 2:
        BootFileClickCheck(CheckListBoxN(number));
        break;
    case 3:
    case 4:
        WinIniClickCheck(CheckListBoxN(number));
        break;
    default:
        break;
    }
}

LRESULT TFormDawnroll::OnNotify(const NMHDR& header) {
    const int number = ListNumber(header.idFrom, IDC_LISTVIEW_FIRST, static_cast<int>(listViews_.size()));
    if (number == 0)
        return 0;
    switch (header.code) {
    case NM_SETFOCUS:
        ListFocused(header.hwndFrom);
        return 0;
    case LVN_ITEMCHANGED: {
        const auto& report = reinterpret_cast<const NMLISTVIEW&>(header);
        if (report.iItem >= 0 && (report.uChanged & LVIF_STATE) && (report.uNewState & LVIS_FOCUSED) &&
            !(report.uOldState & LVIS_FOCUSED)) {
            RECT bounds = {};
            bounds.left = LVIR_BOUNDS;
            if (SendMessageA(header.hwndFrom, LVM_GETITEMRECT, static_cast<WPARAM>(report.iItem),
                             reinterpret_cast<LPARAM>(&bounds)))
                ShowCurrentRow(header.hwndFrom, bounds);
        }
        int row = 0;
        RowChange change;
        if (!ReadRowChange(reinterpret_cast<const NMLISTVIEW&>(header), &row, &change))
            return 0;
        if (number <= 2)
            StartupClickCheck(ListViewN(number), row, change);
        else
            RunClickCheck(ListViewN(number), row, change);
        return 0;
    }
    case LVN_ENDLABELEDITA:
    case LVN_ENDLABELEDITW:
        // An edit changes the row's caption only; a cancelled edit has no text.
        return reinterpret_cast<const NMLVDISPINFOA&>(header).item.pszText != nullptr;
    default:
        return 0;
    }
}

LRESULT TFormDawnroll::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        return 0;
    case WM_NOTIFY:
        return OnNotify(*reinterpret_cast<const NMHDR*>(lParam));
    case WM_SIZE:
        Restack();
        return 0;
    case WM_VSCROLL:
        OnVerticalScroll(LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case kMoveFocus:
        MoveFocus(reinterpret_cast<HWND>(lParam), wParam != 0);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_TAB) { // no list has the focus: Tab gives it to one
            MoveFocus(nullptr, (GetKeyState(VK_SHIFT) & 0x8000) != 0);
            return 0;
        }
        break;
    case WM_SETFOCUS: {
        // The window's focus belongs to a list: the one that had it last, or the first.
        const int index = SectionIndexOf(focusedList_);
        if (index >= 0 && boxes_[index]->IsVisible())
            SetFocus(focusedList_);
        else
            FocusFirstList();
        return 0;
    }
    case WM_DESTROY:
        if (mainForm_)
            PostQuitMessage(0); // closing the main window ends the program
        return 0;
    case WM_NCDESTROY: {
        const LRESULT result = DefWindowProcA(window_, message, wParam, lParam);
        window_ = nullptr;
        return result;
    }
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT CALLBACK TFormDawnroll::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The window's object comes as the creation parameter of its first message and is kept in
    // the window's user data; the few messages before WM_NCCREATE go to the system.
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TFormDawnroll*>(reinterpret_cast<const CREATESTRUCTA*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TFormDawnroll*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcA(window, message, wParam, lParam);
    return DeliverEvent([&] { return self->HandleMessage(message, wParam, lParam); });
}
