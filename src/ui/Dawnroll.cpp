#include "Dawnroll.h"

#include "CheckListSection.h"
#include "ControlMessages.h"
#include "EntryListSection.h"
#include "ErrorDialog.h"
#include "ErrorText.h"
#include "Resource.h"
#include "StartupFolderSection.h"
#include "StoredLayout.h"

#include "../sources/AppError.h"
#include "../sources/SystemInformation.h"
#include "../sources/WideText.h"

#include <commctrl.h>

#include <algorithm>
#include <stdexcept>
#include <system_error>
#include <vector>

namespace {
constexpr const wchar_t* kWideClassName = L"TFormDawnroll";

// Designed pixels of one line of scrolling, scaled to the system's resolution where used.
constexpr int kScrollLine = 13;
// The timer that lets the sections below the window follow once the window is painted and the
// user's input handled.
constexpr UINT_PTR kFollowAfterInputTimer = 1;
// How long the sections that follow may be read before the window answers again.
constexpr ULONGLONG kFollowingLoadsMs = 50;

bool IsStartupFolder(const Section& section) {
    return dynamic_cast<const StartupFolderSection*>(&section) != nullptr;
}

HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}

void RegisterWindowClass(WNDPROC procedure) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof windowClass;
    if (GetClassInfoExW(Instance(), kWideClassName, &windowClass))
        return;
    windowClass.style = CS_DBLCLKS;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = Instance();
    windowClass.hIcon = LoadIconW(Instance(), MAKEINTRESOURCEW(IDI_DAWNROLL));
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWideClassName;
    RegisterClassExW(&windowClass);
}
} // namespace

TFormDawnroll::TFormDawnroll(SourceLocators locators)
    : locators_(std::move(locators)), system64Bit_(IsSystem64Bit()),
      sections_(MakeSections(*this, locators_, system64Bit_)) {}

// The lists are numbered by their kind, in the table's order, as they were designed.
CheckListBox& TFormDawnroll::CheckListBoxN(int number) {
    auto* section = number >= 1 ? NthOfKind<CheckListSection>(number) : nullptr;
    if (!section)
        throw std::out_of_range("No CheckListBox" + std::to_string(number));
    return section->List();
}

EntryListView& TFormDawnroll::ListViewN(int number) {
    auto* section = number >= 1 ? NthOfKind<EntryListSection>(number) : nullptr;
    if (!section)
        throw std::out_of_range("No ListView" + std::to_string(number));
    return section->List();
}

Section& TFormDawnroll::SectionOf(layout::SectionId id) {
    for (const auto& section : sections_) {
        if (section->Design().id == id)
            return *section;
    }
    throw std::out_of_range("This window has no such section");
}

TFormDawnroll::~TFormDawnroll() {
    if (window_ && IsWindow(window_))
        DestroyWindow(window_);
}

HWND TFormDawnroll::Create() {
    try {
        prefetch_ = std::make_unique<ShellPrefetch>(ViewOf(RootKey::LocalMachine, system64Bit_));
    } catch (const std::system_error&) {
        // Without a thread of its own the first refresh reads everything itself.
    }
    RegisterWindowClass(&TFormDawnroll::WindowProcedure);
    // The designed 8 points at every resolution (-11 at 96 dots per inch).
    font_ =
        UniqueFont(CreateFontW(FontHeightForPoints(layout::kFontPoints, SystemDpi()), 0, 0, 0, FW_NORMAL, FALSE, FALSE,
                               FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                               DEFAULT_PITCH | FF_DONTCARE, WideOfAnsi(layout::kFontName).c_str()));
    HMENU menu = LoadMenuW(Instance(), MAKEINTRESOURCEW(IDR_MAINMENU));
    // The object goes with the creation message and is known from WM_NCCREATE on (see
    // WindowProcedure); window_ is set there.
    CreateWindowExW(0, kWideClassName, WideOfAnsi(layout::kDesignedCaption).c_str(),
                    WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                    nullptr, menu, Instance(), this);
    if (!window_) {
        if (menu)
            DestroyMenu(menu);
        prefetch_.reset();
        throw std::runtime_error("The main window could not be created");
    }
    SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(font_.Get()), FALSE);
    if (prefetch_ && startupFoldersMayFollow_)
        prefetch_->TellWhenRead(window_, kStartupFoldersRead);
    SetDisplayOption(hideEmpty_);
    CreateSections();
    Restack();
    // An error in the creation handler skips the rest of it; the window is still shown.
    DeliverEvent([this] { FormCreate(); });
    // Later refreshes read anew, also when the first one ended before the Startup sections.
    if (!startupFoldersFollow_ && !SectionsFollow())
        prefetch_.reset();
    return window_;
}

void TFormDawnroll::CreateSections() {
    // Each section is made where the stack at its designed heights puts it, so that the first
    // Restack resizes nothing.
    const auto tops = StackTops(Stack(), 0);
    RECT client;
    GetClientRect(window_, &client);
    for (std::size_t i = 0; i < sections_.size(); ++i)
        sections_[i]->Create(window_, font_.Get(), tops[i], client.right);
}

void TFormDawnroll::FormCreate() {
    SetWindowTextW(
        window_,
        WideOfAnsi(std::string(layout::kDesignedCaption) + layout::kVersionText + layout::kMakersNotice).c_str());
    // The Startup folders come last, so that their reading has the other sections' loads to end
    // in; still going on then, it leaves them to follow: the window is shown and used without
    // waiting for the shell.
    startupFoldersFollow_ = startupFoldersMayFollow_ && prefetch_;
    // Only the sections the window shows at first are loaded now; those below follow its first
    // paint. A section's place is known once those above it are loaded (a section found empty
    // is hidden): from the first one whose top is below the window on, all follow.
    sectionFollows_.assign(sections_.size(), false);
    RECT client = {};
    GetClientRect(window_, &client);
    bool inSight = true;
    SectionFailures failures(sections_.size());
    LoadSections(
        [&](const Section& section) {
            const std::size_t index = IndexOf(section);
            inSight = inSight && (!sectionsMayFollow_ || StackTops(Stack(), 0)[index] < client.bottom);
            sectionFollows_[index] = !inSight;
            return inSight;
        },
        failures);
    if (startupFoldersFollow_ && prefetch_->Read()) {
        startupFoldersFollow_ = false;
        LoadSections(
            [&](const Section& section) { return IsStartupFolder(section) && !sectionFollows_[IndexOf(section)]; },
            failures);
    }
    MarkLoading();
    if (SectionsFollow()) {
        // Told together with the failures of the sections that follow, once they are loaded.
        followFailures_ = std::move(failures);
        PostMessageW(window_, kLoadFollowingSection, 0, 0);
        return;
    }
    ThrowFailures(failures);
}

void TFormDawnroll::MarkLoading() {
    if (startupFoldersFollow_ || SectionsFollow())
        SetPropW(window_, kLoadingProperty, reinterpret_cast<HANDLE>(1));
    else
        RemovePropW(window_, kLoadingProperty);
}

std::size_t TFormDawnroll::IndexOf(const Section& section) const {
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (sections_[i].get() == &section)
            return i;
    }
    throw std::logic_error("The section is not this window's");
}

bool TFormDawnroll::SectionsFollow() const {
    return std::find(sectionFollows_.begin(), sectionFollows_.end(), true) != sectionFollows_.end();
}

void TFormDawnroll::LoadFollowingSection() {
    if (!SectionsFollow())
        return; // all loaded, or a refresh read everything since
    if (HIWORD(GetQueueStatus(QS_INPUT | QS_PAINT)) != 0) {
        // What the window shows is painted, and the user's input handled, before anything more
        // is read: a timer's message comes after both.
        SetTimer(window_, kFollowAfterInputTimer, USER_TIMER_MINIMUM, nullptr);
        return;
    }
    // As many as are read within a moment, restacked together; then the user's input, if any,
    // and the next. Each is read hidden: a list on the screen redraws and rearranges itself
    // with every row, even below the window where nobody sees it. It is shown again where it
    // then stands (the one holding the focus stays).
    struct ShownAgain {
        std::vector<Section*> sections;
        ~ShownAgain() {
            for (Section* section : sections) {
                if (section->IsVisible())
                    ShowWindow(section->Handle(), SW_SHOWNA);
            }
        }
    } hidden;
    const ULONGLONG start = GetTickCount64();
    LoadSections(
        [&](const Section& section) {
            const std::size_t index = IndexOf(section);
            if (!sectionFollows_[index])
                return false;
            const bool first = hidden.sections.empty();
            if (!first && (GetTickCount64() - start >= kFollowingLoadsMs || HIWORD(GetQueueStatus(QS_INPUT)) != 0))
                return false;
            sectionFollows_[index] = false;
            Section& chosen = *sections_[index];
            hidden.sections.push_back(&chosen);
            if (GetFocus() != chosen.List().Handle())
                ShowWindow(chosen.Handle(), SW_HIDE);
            return true;
        },
        followFailures_);
    if (SectionsFollow()) {
        PostMessageW(window_, kLoadFollowingSection, 0, 0);
        return;
    }
    if (!startupFoldersFollow_)
        prefetch_.reset();
    MarkLoading();
    const SectionFailures failures = std::move(followFailures_);
    followFailures_.clear();
    ThrowFailures(failures);
}

void TFormDawnroll::SetSystemImages() {
    // Asked for when the first Startup folder is shown, not before: the shell builds the list
    // on its first use, which the reading of the folders does meanwhile on its own thread.
    if (systemImagesSet_)
        return;
    systemImagesSet_ = true;
    const HIMAGELIST images = ShellSmallImages();
    for (const auto& section : sections_) {
        if (auto* folder = dynamic_cast<StartupFolderSection*>(section.get()))
            folder->SetSystemImages(images);
    }
}

bool TFormDawnroll::StartupFolderFollows() const {
    return startupFoldersFollow_;
}

void TFormDawnroll::StartupFoldersRead() {
    if (!startupFoldersFollow_)
        return; // loaded already, or read anew by a refresh since
    startupFoldersFollow_ = false;
    // The sections still to follow take their listings when their turn comes.
    const struct DropPrefetch {
        TFormDawnroll& form;
        ~DropPrefetch() {
            if (!form.SectionsFollow())
                form.prefetch_.reset();
            form.MarkLoading();
        }
    } drop{*this};
    SectionFailures failures(sections_.size());
    LoadSections([&](const Section& section) { return IsStartupFolder(section) && !sectionFollows_[IndexOf(section)]; },
                 failures);
    ThrowFailures(failures);
}

std::optional<StartupFolderListing> TFormDawnroll::TakePrefetchedStartupFolder(int which) {
    if (!prefetch_)
        return std::nullopt;
    return prefetch_->StartupFolder(which);
}

void TFormDawnroll::RefreshAll() {
    // A refresh while the first one's Startup folders are still being read, or its sections
    // below the window are still to follow, reads them anew.
    startupFoldersFollow_ = false;
    sectionFollows_.assign(sections_.size(), false);
    followFailures_.clear();
    prefetch_.reset();
    MarkLoading();
    SectionFailures failures(sections_.size());
    LoadSections([](const Section&) { return true; }, failures);
    ThrowFailures(failures);
}

void TFormDawnroll::LoadSections(const std::function<bool(const Section&)>& chosen, SectionFailures& failures) {
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
    // Each section loads on its own: one that fails stays as far as it got, and every other
    // section still shows its source.
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (!chosen(*sections_[i]))
            continue;
        if (IsStartupFolder(*sections_[i]) && !startupFoldersFollow_)
            SetSystemImages();
        try {
            sections_[i]->Load();
        } catch (const std::exception& error) {
            failures[i] = error.what();
        }
    }
}

void TFormDawnroll::ThrowFailures(const SectionFailures& failures) {
    // Told together, in one dialog, in the table's order.
    std::vector<std::string> messages;
    for (const auto& failure : failures) {
        if (failure)
            messages.push_back(*failure);
    }
    if (!messages.empty())
        throw AppError(JoinedMessages(messages));
}

void TFormDawnroll::SetDisplayOption(bool hideEmpty) {
    hideEmpty_ = hideEmpty;
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

void TFormDawnroll::SectionLayoutChanged() {
    if (restackDeferred_)
        return;
    Restack();
}

std::vector<StackedSection> TFormDawnroll::Stack() const {
    std::vector<StackedSection> stack;
    for (const auto& box : sections_)
        stack.push_back({box->IsVisible(), box->Height()});
    return stack;
}

void TFormDawnroll::Restack() {
    // Messages before the sections exist (WM_SIZE at creation) have nothing to place.
    if (restacking_ || !window_ || !sections_.back()->Handle())
        return;
    restacking_ = true;
    // The scroll bar shows only while the stack is taller than the client area; showing it
    // narrows the client area, which may give a list a horizontal scroll bar and its section
    // more height, which may bring the scroll bar: a few rounds settle it.
    RECT client;
    for (int round = 0;; ++round) {
        const std::vector<StackedSection> stack = Stack();
        const int total = StackTops(stack, 0).back();
        GetClientRect(window_, &client);
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
        bool heightsChanged = false;
        for (const auto& section : sections_) {
            if (section->IsVisible())
                heightsChanged |= section->FitWidth(client.right);
        }
        if (!heightsChanged || round == 3)
            break;
    }

    const auto tops = StackTops(Stack(), -scrollTop_);
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (sections_[i]->IsVisible())
            sections_[i]->Place(tops[i], client.right);
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
    if (!SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0))
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
    return sections_.at(index)->List().Handle();
}

int TFormDawnroll::SectionIndexOf(HWND list) const {
    if (!list)
        return -1;
    for (std::size_t i = 0; i < sections_.size(); ++i) {
        if (sections_[i]->Handle() && ListOfSection(i) == list)
            return static_cast<int>(i);
    }
    return -1;
}

void TFormDawnroll::MoveFocus(HWND from, bool backwards) {
    const int count = static_cast<int>(sections_.size());
    int index = SectionIndexOf(from);
    if (index < 0)
        index = backwards ? count : -1;
    for (int step = 1; step <= count; ++step) {
        const int next = ((index + (backwards ? -step : step)) % count + count) % count;
        if (sections_[next]->IsVisible()) {
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
    if (index < 0 || !sections_[index]->IsVisible())
        FocusFirstList();
}

void TFormDawnroll::ListFocused(HWND list) {
    const int index = SectionIndexOf(list);
    if (index < 0)
        return;
    focusedList_ = list;
    const int top = StackTops(Stack(), 0)[index];
    const int bottom = top + sections_[index]->Height();
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
    // The lists' notifications go to their sections; the window has only its menu's commands.
    if (lParam != 0)
        return;
    switch (LOWORD(wParam)) {
    case IDM_HIDEEMPTYSTARTUPS:
        Hideemptystartups1Click();
        break;
    case IDM_SHOWEMPTYSTARTUPS:
        Showemptystartups1Click();
        break;
    }
}

LRESULT TFormDawnroll::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND:
        OnCommand(wParam, lParam);
        return 0;
    case WM_SIZE:
        Restack();
        return 0;
    case WM_VSCROLL:
        OnVerticalScroll(LOWORD(wParam));
        return 0;
    case WM_MOUSEWHEEL:
        OnMouseWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    case WM_SYSCOLORCHANGE:
        // Only top-level windows are told; every list takes the new colours, and everything is
        // painted with them.
        for (const auto& section : sections_)
            section->List().FollowSystemColours();
        RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        return 0;
    case kStartupFoldersRead:
        StartupFoldersRead();
        return 0;
    case kLoadFollowingSection:
        LoadFollowingSection();
        return 0;
    case WM_TIMER:
        if (wParam == kFollowAfterInputTimer) {
            KillTimer(window_, kFollowAfterInputTimer);
            LoadFollowingSection();
        }
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
        if (index >= 0 && sections_[index]->IsVisible())
            SetFocus(focusedList_);
        else
            FocusFirstList();
        return 0;
    }
    case WM_DESTROY:
        RemovePropW(window_, kLoadingProperty);
        if (mainForm_)
            PostQuitMessage(0); // closing the main window ends the program
        return 0;
    case WM_NCDESTROY: {
        const LRESULT result = DefWindowProcW(window_, message, wParam, lParam);
        window_ = nullptr;
        return result;
    }
    }
    return DefWindowProcW(window_, message, wParam, lParam);
}

LRESULT CALLBACK TFormDawnroll::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    // The window's object comes as the creation parameter of its first message and is kept in
    // the window's user data; the few messages before WM_NCCREATE go to the system.
    if (message == WM_NCCREATE) {
        auto* self = static_cast<TFormDawnroll*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<TFormDawnroll*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self)
        return DefWindowProcW(window, message, wParam, lParam);
    return DeliverEvent([&] { return self->HandleMessage(message, wParam, lParam); });
}
