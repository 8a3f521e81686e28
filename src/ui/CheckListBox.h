// The check list of sections 1 to 4: a list of text lines, each with a two-state check box.
// A list box, owner-drawn, whose item data is the line's mark (1 checked, 0 unchecked).
// The exact text of each line is kept here as wide text, since a list box cuts its strings at a
// NUL; what the line stands for in its source (a boot file's bytes, a WIN.INI program) is the
// section's own.
#pragma once

#include "SectionList.h"

#include <string>
#include <vector>

class CheckListBox : public SectionList {
  public:
    CheckListBox() = default;

    // Creates the list in its group box at place.
    void Create(HWND groupBox, const RECT& place, int id, HFONT font);

    void Clear();
    // Adds lines after the present ones, each with its mark. Marks set by the program never
    // call the click-check handler.
    void Append(const std::vector<std::wstring>& lines, const std::vector<bool>& marks);
    int Count() const { return static_cast<int>(lines_.size()); }
    // A line exactly, and in the ANSI code page.
    const std::wstring& WideLine(int index) const { return lines_.at(index); }
    std::string Line(int index) const;
    void SetLine(int index, std::wstring text);
    bool Checked(int index) const;
    void SetChecked(int index, bool checked);

    // What a click on the check box or the space bar does: changes the line's mark and then
    // tells the parent (kClickCheckNotification), which calls the section's handler.
    void ToggleByUser(int index);

    ListMetrics Measure(int count, int width) const override;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Draw(const DRAWITEMSTRUCT& item) const;
    bool OnCheckBox(LPARAM point, int* index) const;

    int id_ = 0;
    std::vector<std::wstring> lines_;
};
