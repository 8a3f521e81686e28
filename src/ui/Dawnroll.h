// The main window: eleven sections, one per autostart source, stacked from top to bottom (on a
// 64-bit system fourteen: the local machine's run keys in both registry views), the "Display"
// menu with the hide-empty option, and the refresh cycle that reloads them all.
#pragma once

#include "BootFileSection.h"
#include "GdiObjects.h"
#include "IniListSection.h"
#include "RunKeySection.h"
#include "Section.h"
#include "SectionTable.h"
#include "ShellPrefetch.h"
#include "StartupFolderSection.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

class TFormDawnroll : public SectionHost {
  public:
    // The window class's name, as other programs look for the window.
    static constexpr const char* kClassName = "TFormDawnroll";

    explicit TFormDawnroll(SourceLocators locators = {});
    ~TFormDawnroll();
    TFormDawnroll(const TFormDawnroll&) = delete;
    TFormDawnroll& operator=(const TFormDawnroll&) = delete;

    // Creates the window from its stored layout and runs FormCreate, which performs the first
    // RefreshAll. The window is not shown yet.
    HWND Create();
    HWND Handle() const { return window_; }
    // Makes this the program's main window: closing it ends the message loop.
    void BecomeMainForm() { mainForm_ = true; }
    // Lets Create show the window before the Startup folders are read when the shell is slow:
    // their sections are then loaded as soon as the reading ends. Without it, Create returns
    // with every section loaded.
    void LetStartupFoldersFollow() { startupFoldersMayFollow_ = true; }
    // Lets Create load only the sections the window shows at first: those below it follow
    // its first paint, one at a time, each after the user's input waiting then.
    void LetSectionsOutOfSightFollow() { sectionsMayFollow_ = true; }

    // Reloads every section from its source, in the table's order.
    void RefreshAll();
    void Hideemptystartups1Click();
    void Showemptystartups1Click();
    bool HideEmpty() const override { return hideEmpty_; }

    // Sections by their design numbers: GroupBox(1..11), and on a 64-bit system 12 to 14; the
    // section of a kind, e.g. Section<RunKeySection>(7); the lists by their design numbers:
    // CheckListBox(1..4) are sections 1 to 4's, ListView(1..7) (8..10) sections 5 to 11's (12 to
    // 14's).
    Section& GroupBoxN(int number) { return *sections_.at(static_cast<std::size_t>(number - 1)); }
    template <typename Kind> Kind& SectionN(int number) {
        if (auto* section = dynamic_cast<Kind*>(&GroupBoxN(number)))
            return *section;
        throw std::logic_error("Section " + std::to_string(number) + " is of another kind");
    }
    CheckListBox& CheckListBoxN(int number);
    EntryListView& ListViewN(int number);
    // A section by its identity in the table; out_of_range for one this window does not have
    // (the 32-bit programs' keys on a 32-bit system).
    Section& SectionOf(layout::SectionId id);
    template <typename Kind> Kind& SectionOf(layout::SectionId id) {
        if (auto* section = dynamic_cast<Kind*>(&SectionOf(id)))
            return *section;
        throw std::logic_error("The section is of another kind");
    }
    int SectionCount() const { return static_cast<int>(sections_.size()); }
    // Whether the program runs as a 32-bit process on a 64-bit system, decided when the window
    // object is made: the local machine's keys are then opened in the native view, and sections
    // 12 to 14 show the 32-bit programs' run keys.
    bool OnA64BitSystem() const { return system64Bit_; }

  private:
    static LRESULT CALLBACK WindowProcedure(HWND, UINT, WPARAM, LPARAM);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateSections();
    void FormCreate();
    void SetSystemImages();
    // Loads the sections chosen, in the table's order, and restacks the window once; a section
    // whose load fails has its message in failures (one place per section).
    using SectionFailures = std::vector<std::optional<std::string>>;
    void LoadSections(const std::function<bool(const Section&)>& chosen, SectionFailures& failures);
    static void ThrowFailures(const SectionFailures& failures);
    // The reading of the Startup folders that the first refresh left to follow has ended.
    void StartupFoldersRead();
    std::size_t IndexOf(const Section& section) const;
    // Whether sections below the window are still to be loaded after the first refresh.
    bool SectionsFollow() const;
    // Loads the next of them, and asks for the one after; the failures are told after the last.
    void LoadFollowingSection();
    // Shows other programs, by the window's property, whether sections are still to follow.
    void MarkLoading();
    void SetDisplayOption(bool hideEmpty);
    void OnCommand(WPARAM wParam, LPARAM lParam);

    // SectionHost
    void SectionLayoutChanged() override;
    void ListFocused(HWND list) override;
    void ShowCurrentRow(HWND list, const RECT& rowInList) override;
    std::optional<StartupFolderListing> TakePrefetchedStartupFolder(int which) override;
    bool StartupFolderFollows() const override;
    // The `number`th section (from 1) whose list is of a kind, in the table's order.
    template <typename Kind> Kind* NthOfKind(int number) {
        for (const auto& section : sections_) {
            if (auto* found = dynamic_cast<Kind*>(section.get()); found && --number == 0)
                return found;
        }
        return nullptr;
    }

    // The sections as they stack: shown or not, and their heights, in the table's order.
    std::vector<StackedSection> Stack() const;
    void Restack();
    void ScrollTo(int position);
    void OnVerticalScroll(int code);
    void OnMouseWheel(int delta);
    // The keyboard: the list of a visible section holds the focus; Tab and Shift+Tab move it
    // to the next or previous visible section's list, in the table's order, round the end.
    HWND ListOfSection(std::size_t index) const;
    int SectionIndexOf(HWND list) const; // -1 for none
    void MoveFocus(HWND from, bool backwards);
    void FocusFirstList();
    // While the window is active, a focus left on no visible list goes to the first one.
    void KeepFocusOnAList();

    SourceLocators locators_;
    bool system64Bit_ = false;
    HWND window_ = nullptr;
    UniqueFont font_;
    std::vector<std::unique_ptr<Section>> sections_; // 11, or 14 on a 64-bit system
    bool hideEmpty_ = true;
    // The shell's share of the first refresh, read while the window is made; gone after it.
    std::unique_ptr<ShellPrefetch> prefetch_;
    bool startupFoldersMayFollow_ = false;
    bool startupFoldersFollow_ = false; // the first refresh left the Startup sections to the reading
    bool systemImagesSet_ = false;      // the Startup sections' lists have the shell's icons
    bool sectionsMayFollow_ = false;
    std::vector<bool> sectionFollows_; // by index: left by the first refresh to follow, not loaded yet
    SectionFailures followFailures_;   // the first refresh's, told when the last section followed
    int scrollTop_ = 0;
    WheelScroll wheel_;
    HWND focusedList_ = nullptr; // the list that had the focus last, given back on activation
    bool focusByTab_ = false;
    bool restacking_ = false;
    bool restackDeferred_ = false; // during RefreshAll
    bool mainForm_ = false;
};
