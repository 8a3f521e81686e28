// The check list of sections 1 to 4: a list of text lines, each with a two-state check box.
// A list box, owner-drawn, whose item data is the line's mark (1 checked, 0 unchecked).
// The exact text of each line is kept here as wide text, since a list box cuts its strings at a
// NUL; what the line stands for in its source (a boot file's bytes, a WIN.INI program) is the
// section's own.
#pragma once

#include "CheckMarkPainter.h"
#include "SectionList.h"

#include <memory>
#include <string>
#include <vector>

class CheckListAccessible;

class CheckListBox : public SectionList {
  public:
    CheckListBox() = default;
    ~CheckListBox();

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
    // The same, as soon as the present message is done (for a screen reader's default action,
    // whose call must not wait for a refusal's message). Answers false for no such line, and
    // while the list takes no input.
    bool ToggleLater(int index);
    // Whether the user's input reaches the list: not while its window, or the main window (under
    // a message), is disabled.
    bool TakesInput() const;

    // What a screen reader asks of the lines (see CheckListAccessible): the current line (the
    // caret, -1 for none), the selected one, where a line is, which line is at a height in the
    // client area (-1 for none), whether a line shows on the screen, and the title of the list's
    // section.
    int CaretLine() const;
    int SelectedLine() const;
    bool LineRect(int index, RECT* rect) const;
    int LineAt(int y) const;
    bool LineInSight(int index) const;
    std::wstring SectionTitle() const;
    // Makes a line the selected one, as the keys do, and with `focus` gives the list the focus.
    void SelectLine(int index, bool focus);
    // The selected line changed: screen readers hear of it.
    void SelectionChanged() const;

    ListMetrics Measure(int count, int width) const override;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Draw(const DRAWITEMSTRUCT& item) const;
    bool OnCheckBox(LPARAM point, int* index) const;
    void Notify(DWORD event, int index) const;

    // The list's reference to its accessible object, which is cut off from the list when the
    // window goes.
    struct DisconnectAccessible {
        void operator()(CheckListAccessible* object) const;
    };

    int id_ = 0;
    std::vector<std::wstring> lines_;
    // The lines and marks before the last Clear, while a screen reader has looked at the list: a
    // refresh that gives the line in a place another mark or text is heard as that line's change.
    std::vector<std::wstring> previousLines_;
    std::vector<bool> previousMarks_;
    // Counts the Clears, so that a toggle asked for before one is not done on another line.
    LPARAM generation_ = 0;
    CheckMarkPainter painter_;
    std::unique_ptr<CheckListAccessible, DisconnectAccessible> accessible_;
};
