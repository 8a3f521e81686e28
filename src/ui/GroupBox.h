// One section of the window: a group box whose caption is the section title and the record
// of where its entries came from, holding one list that fills it.
#pragma once

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

class GroupBox {
  public:
    GroupBox(SectionHost& host, int designedHeight) : host_(host), height_(designedHeight) {}
    GroupBox(const GroupBox&) = delete;
    GroupBox& operator=(const GroupBox&) = delete;

    // Creates the box where it is first placed: a list made inside it afterwards at ListRect
    // needs no resizing, which costs a report list a new layout.
    void Create(HWND parent, int id, const char* caption, HFONT font, int top, int width);
    HWND Handle() const { return window_; }
    // Where the list fills the box inside its frame, in the box's client coordinates.
    RECT ListRect() const;

    void MakeVisible();
    bool IsVisible() const { return visible_; }
    void SetTitle(const std::string& title);
    std::string Title() const;
    void SetHeight(int height);
    int Height() const { return height_; }
    // The loaded section has nothing to show: hidden when the hide-empty option is on,
    // otherwise left as it is.
    void LeaveEmpty();

    // Called by the host to place the section; the list inside follows. A box already in
    // its place is left alone: moving a window to where it is still costs its messages.
    void Place(int top, int width);

  private:
    static LRESULT CALLBACK Procedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    void FitList() const;

    SectionHost& host_;
    HWND window_ = nullptr;
    int height_;
    RECT placed_ = {}; // where the box was last put, in its parent's client coordinates
    bool visible_ = true;
};

// The inner text of a window's caption, as the toggle handlers read their section's title.
std::string WindowText(HWND window);
