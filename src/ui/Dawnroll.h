// The main window: eleven sections, one per autostart source, stacked from top to bottom (on a
// 64-bit system fourteen: the local machine's run keys in both registry views), the "Display"
// menu with the hide-empty option, and the refresh cycle that reloads them all.
#pragma once

#include "CheckListBox.h"
#include "EntryListView.h"
#include "GdiObjects.h"
#include "Section.h"
#include "ShellPrefetch.h"

#include "../sources/RunKeyLocator.h"
#include "../sources/StartupFolder.h"

#include <windows.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Where the sources are found. The program uses the system's own places; tests point the
// files elsewhere (the registry roots they redirect with RegOverridePredefKey).
struct SourceLocators {
    std::string configSys = "C:\\CONFIG.SYS";
    std::string autoexecBat = "C:\\AUTOEXEC.BAT";
    std::function<std::string()> windowsFolder; // the system's Windows folder when empty
};

class TFormDawnroll : public SectionHost {
  public:
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

    void RefreshAll();
    void Hideemptystartups1Click();
    void Showemptystartups1Click();

    // The loaders, which fill one section from its source, and the toggle handlers, which write
    // one change of a list back to its source; one file per kind of source (BootFileSection.cpp,
    // IniListSection.cpp, StartupFolderSection.cpp, RunKeySection.cpp). A handler finds its
    // section as the group box holding the list and reads the locator back from its title.
    void LoadBootFile(Section& box, CheckListBox& list, const std::string& path);
    void BootFileClickCheck(CheckListBox& list);
    void LoadIniList(Section& box, CheckListBox& list, const std::string& key, const std::string& profileFile);
    // The same for a locator read back from a section's title, which is wide text.
    void LoadIniList(Section& box, CheckListBox& list, const std::wstring& key, const std::wstring& profileFile);
    void WinIniClickCheck(CheckListBox& list);
    void LoadStartupFolder(Section& box, EntryListView& list, const std::string& valueName, RootKey root);
    // The same with the listing from read; an error of read leaves the section empty, as an
    // error of the reading above does.
    void LoadStartupFolder(Section& box, EntryListView& list, const std::function<StartupFolderListing()>& read);
    void StartupClickCheck(EntryListView& list, int row, const RowChange& change);
    // The run key KEYNAME of the root, opened in the view the window uses for that root.
    void LoadRunKey(Section& box, EntryListView& list, const std::string& keyName, RootKey root);
    void LoadRunKey(Section& box, EntryListView& list, const RunKeyLocator& key);
    void RunClickCheck(EntryListView& list, int row, const RowChange& change);

    // Sections by their design numbers: GroupBox(1..11), CheckListBox(1..4), ListView(1..7);
    // on a 64-bit system also GroupBox(12..14) and ListView(8..10).
    Section& GroupBoxN(int number) { return *boxes_.at(number - 1); }
    CheckListBox& CheckListBoxN(int number) { return checkLists_.at(number - 1); }
    EntryListView& ListViewN(int number) { return *listViews_.at(number - 1); }
    int SectionCount() const { return static_cast<int>(boxes_.size()); }
    // Whether the program runs as a 32-bit process on a 64-bit system, decided when the window
    // object is made: the local machine's keys are then opened in the native view, and sections
    // 12 to 14 show the 32-bit programs' run keys.
    bool OnWow64() const { return onWow64_; }
    // The view the window opens a root's keys in.
    RegistryView ViewOf(RootKey root) const;

    bool HideEmpty() const override;
    void SectionLayoutChanged() override;

  private:
    static LRESULT CALLBACK WindowProcedure(HWND, UINT, WPARAM, LPARAM);
    // The section whose group box holds a list.
    Section& SectionHolding(HWND list);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateSections();
    void FormCreate();
    void SetSystemImages();
    void LoadStartupSection(int which);
    void SetDisplayOption(bool hideEmpty);
    void OnCommand(WPARAM wParam, LPARAM lParam);
    LRESULT OnNotify(const NMHDR& header);
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
    // A list has got the focus: a section out of sight (or any part of it, after Tab) scrolls
    // into view.
    void ListFocused(HWND list);
    // The keys moved the current line or row of the focused list: it scrolls into view, when
    // the section is taller than what the window shows of it.
    void ShowCurrentRow(HWND list, const RECT& rowInList);

    SourceLocators locators_;
    bool onWow64_ = false;
    HWND window_ = nullptr;
    UniqueFont font_;
    std::vector<std::unique_ptr<Section>> boxes_; // 11, or 14 on a 64-bit system
    std::array<CheckListBox, 4> checkLists_;
    std::vector<std::unique_ptr<EntryListView>> listViews_; // 7, or 10 on a 64-bit system
    // The shell's share of the first refresh, read while the window is made; gone after it.
    std::unique_ptr<ShellPrefetch> prefetch_;
    int scrollTop_ = 0;
    WheelScroll wheel_;
    HWND focusedList_ = nullptr; // the list that had the focus last, given back on activation
    bool focusByTab_ = false;
    bool restacking_ = false;
    bool restackDeferred_ = false; // during RefreshAll
    bool mainForm_ = false;
};
