// One section of the window: a group box whose caption is the section title and the record
// of where its entries came from, holding one list that fills it, and the rule that shows or
// hides it and sets its height after every load.
#pragma once

#include "SectionLayout.h"

#include <windows.h>

#include <string>

// What a section needs of the window that holds it.
class SectionHost {
  public:
    virtual bool HideEmpty() const = 0;
    // Called whenever a section's height or visibility changed.
    virtual void SectionLayoutChanged() = 0;

  protected:
    ~SectionHost() = default;
};

// What a load found: the number of entries, and whether the source could be opened at all.
struct SectionContents {
    int count = 0;
    bool opened = true;
};

class Section {
  public:
    Section(SectionHost& host, SectionKind kind, int designedHeight)
        : host_(host), kind_(kind), height_(designedHeight) {}
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;

    // Creates the box where it is first placed: a list made inside it afterwards at ListRect
    // needs no resizing, which costs a report list a new layout.
    void Create(HWND parent, int id, const char* caption, HFONT font, int top, int width);
    HWND Handle() const { return window_; }
    // Where the list fills the box inside its frame, in the box's client coordinates.
    RECT ListRect() const;

    void MakeVisible();
    bool IsVisible() const { return visible_; }
    // The title in the ANSI code page (the boot files' paths are bytes in it), or in wide text,
    // exactly.
    void SetTitle(const std::string& title);
    void SetTitle(const std::wstring& title);
    std::string Title() const;
    std::wstring WideTitle() const;
    int Height() const { return height_; }
    // Ends a load: a section with entries gets its kind's height for them, measured in its
    // list's font; an empty one is hidden when the hide-empty option is on, otherwise left as
    // it is.
    void ShowContents(SectionContents contents);

    // Called by the host to place the section; the list inside follows. A box already in
    // its place is left alone: moving a window to where it is still costs its messages.
    void Place(int top, int width);

  private:
    static LRESULT CALLBACK Procedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    void FitList() const;

    void SetHeight(int height);

    SectionHost& host_;
    SectionKind kind_;
    HWND window_ = nullptr;
    int height_;
    RECT placed_ = {}; // where the box was last put, in its parent's client coordinates
    bool visible_ = true;
};

// Every load: the section becomes visible, is filled (fill sets the title and the list and
// answers what it found), and is then sized or hidden by ShowContents. An error while filling
// leaves the section as far as it got, neither sized nor hidden.
template <typename Fill> void LoadSection(Section& section, Fill&& fill) {
    section.MakeVisible();
    section.ShowContents(fill());
}
