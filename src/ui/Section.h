// One section of the window: a group box whose caption is the section title, holding one list
// that fills it. The section owns its source: it knows where its entries come from, loads them,
// and writes a change of its list back to that source. The title is made from the source for
// the eye only; nothing reads a source back from a window's text.
#pragma once

#include "Control.h"
#include "SectionLayout.h"
#include "SectionList.h"
#include "StoredLayout.h"

#include "../sources/StartupFolder.h"

#include <optional>
#include <string>

// What a section needs of the window that holds it.
class SectionHost {
  public:
    virtual bool HideEmpty() const = 0;
    // Called whenever a section's height or visibility changed.
    virtual void SectionLayoutChanged() = 0;
    // The section's list got the focus.
    virtual void ListFocused(HWND list) = 0;
    // The keys moved the current line or row of a list to `rowInList` (in the list's client
    // coordinates).
    virtual void ShowCurrentRow(HWND list, const RECT& rowInList) = 0;
    // The listing of a Startup folder (0: the current user's, 1: the all-users one) read ahead
    // while the window was made, once; empty when there is none. Raises the error its reading
    // raised.
    virtual std::optional<StartupFolderListing> TakePrefetchedStartupFolder(int which) = 0;
    // The Startup folders are loaded when the window's reading of them ends, not now.
    virtual bool StartupFolderFollows() const = 0;

  protected:
    ~SectionHost() = default;
};

// What a load found: the number of entries, and whether the source could be opened at all.
struct SectionContents {
    int count = 0;
    bool opened = true;
};

class Section : public Control {
  public:
    Section(SectionHost& host, const layout::SectionDesign& design);
    virtual ~Section() = default;

    // Creates the box where it is first placed, and its list inside: a list made at its place
    // needs no resizing, which costs a report list a new layout.
    void Create(HWND parent, HFONT font, int top, int width);
    virtual SectionList& List() = 0;
    // Reads the section's source anew and shows it. An error leaves the section as far as it
    // got, neither sized nor hidden.
    virtual void Load() = 0;

    const layout::SectionDesign& Design() const { return design_; }
    bool IsVisible() const { return visible_; }
    int Height() const { return height_; }
    // The title as the window shows it: in the ANSI code page, or exactly, as wide text.
    std::string Title() const;
    std::wstring WideTitle() const;

    // The window's width for the section changes (the window was resized, its scroll bar came or
    // went): a section sized for its rows takes the height they need at that width, the list's
    // horizontal scroll bar included. Answers whether the height changed; the host restacks.
    bool FitWidth(int width);
    // Called by the host to place the section; the list inside follows. A box already in
    // its place is left alone: moving a window to where it is still costs its messages.
    void Place(int top, int width);

  protected:
    SectionHost& Host() const { return host_; }
    virtual void CreateList(const RECT& place, HFONT font) = 0;
    // A list's notifications come to its group box, the section: WM_COMMAND's code, WM_NOTIFY's
    // header.
    virtual void OnListCommand(WORD) {}
    virtual LRESULT OnListNotify(const NMHDR&) { return 0; }

    // The title in the ANSI code page (a boot file's path is bytes in it), or wide.
    void SetTitle(const std::string& title);
    void SetTitle(const std::wstring& title);

    // Every load: the section becomes visible, is filled (fill sets the title and the list
    // and answers what it found), and is then sized by its kind's height for its entries, or,
    // when it is empty, hidden when the hide-empty option is on and otherwise left as it is.
    template <typename Fill> void LoadSection(Fill&& fill) {
        MakeVisible();
        sizedCount_.reset();
        ShowContents(fill());
    }

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    // Where the list fills the box inside its frame, in the box's client coordinates.
    RECT ListRect() const;
    void FitList();
    void MakeVisible();
    void ShowContents(SectionContents contents);
    int HeightShowing(int count, int width);
    void SetHeight(int height);

    SectionHost& host_;
    const layout::SectionDesign& design_;
    int height_;
    RECT placed_ = {}; // where the box was last put, in its parent's client coordinates
    bool visible_ = true;
    // The entries the height was last set for, and the width it was reckoned at; none while the
    // section shows no height of its own (empty, or a load that failed).
    std::optional<int> sizedCount_;
    int fittedWidth_ = 0;
};
