// The check list of sections 1 to 4: a list of text lines, each with a two-state check box.
// A list box, owner-drawn, whose item data is the line's mark (1 checked, 0 unchecked).
// The exact text of each line is kept here, since a list box cuts its strings at a NUL: bytes
// shown through the ANSI code page (the boot files), or wide text (the WIN.INI lists).
#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

class CheckListBox {
  public:
    CheckListBox() = default;
    CheckListBox(const CheckListBox&) = delete;
    CheckListBox& operator=(const CheckListBox&) = delete;

    // Creates the list in its group box at place.
    void Create(HWND groupBox, const RECT& place, int id, HFONT font);
    HWND Handle() const { return window_; }

    void Clear();
    // Adds lines after the present ones, each with its mark. Marks set by the program never
    // call the click-check handler.
    void Append(const std::vector<std::string>& lines, const std::vector<bool>& marks);
    void Append(const std::vector<std::wstring>& lines, const std::vector<bool>& marks);
    int Count() const { return static_cast<int>(lines_.size() + wideLines_.size()); }
    // A line's bytes; a wide line in the ANSI code page.
    std::string Line(int index) const;
    // A line exactly as wide text; a line of bytes read in the ANSI code page.
    std::wstring WideLine(int index) const;
    void SetLine(int index, std::string text);
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);

    // The source's text as this list last read or wrote it. A change is written only while the
    // source still holds it, so that what another program wrote meanwhile is never overwritten.
    const std::string& SourceText() const { return sourceText_; }
    void SetSourceText(std::string text) { sourceText_ = std::move(text); }
    // The same for a source of wide text (a WIN.INI entry).
    const std::wstring& WideSourceText() const { return wideSourceText_; }
    void SetWideSourceText(std::wstring text) { wideSourceText_ = std::move(text); }

    // What a click on the check box or the space bar does: changes the line's mark and then
    // tells the parent (kClickCheckNotification), which calls the section's handler.
    void ToggleByUser(int index);

  private:
    static LRESULT CALLBACK Procedure(HWND, UINT, WPARAM, LPARAM, UINT_PTR, DWORD_PTR);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Draw(const DRAWITEMSTRUCT& item) const;
    bool OnCheckBox(LPARAM point, int* index) const;

    HWND window_ = nullptr;
    int id_ = 0;
    // One of the two is used, by the kind of lines the list was filled with last.
    std::vector<std::string> lines_;
    std::vector<std::wstring> wideLines_;
    std::string sourceText_;
    std::wstring wideSourceText_;
};
