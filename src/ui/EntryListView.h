// The entry list of sections 5 to 11: a report list with a check box per row and two columns,
// "Displayname" (the row's caption) and "Fullname" (its first sub-item, the entry's data).
// Each complete row carries a record of what it was loaded from, kept here so that a toggle
// acts on the entry as loaded, whatever the user did to the row's caption.
#pragma once

#include "SectionList.h"

#include <commctrl.h>

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TextMeasurer;

// What a row was loaded from, exactly; each kind of section keeps its own (a run value, a
// file's path) on this base. Every record says whether the system's own switch keeps the entry
// off (the row is then unchecked, and only the user's check turns it on).
struct RowRecord {
    virtual ~RowRecord() = default;
    bool switchedOff = false;
};

// One change report of a row, as the list gives it to its section's handler.
struct RowChange {
    bool checkChanged = false; // the check mark itself changed with this report
};

class EntryListView : public SectionList {
  public:
    EntryListView() = default;

    // Creates the list in its group box at place.
    void Create(HWND groupBox, const RECT& place, int id, HFONT font);

    void SetSmallImages(HIMAGELIST images);
    void Clear();
    // The columns' designed widths, until the first load: both fitted to their header texts,
    // or (fitHeaders false) the default width they are made with.
    void DesignColumns(bool fitHeaders);
    // What every load starts with: both columns 100 designed pixels wide.
    void ResetColumns();
    int Count() const;

    // Adds a row at the end, with its caption, checked by the program, then unchecked when
    // `checked` is false. It has no record until AttachRecord.
    int AddRow(const std::wstring& caption, bool checked = true);
    void SetFullname(int row, const std::wstring& text);
    void SetImage(int row, int image);
    void AttachRecord(int row, std::unique_ptr<RowRecord> record);
    // The record of a complete row; null while the row is being filled, and once it is removed.
    RowRecord* Record(int row) const;

    // The texts in the ANSI code page, and exactly, as wide text.
    std::string Caption(int row) const;
    std::string Fullname(int row) const;
    bool Checked(int row) const;
    void SetChecked(int row, bool checked);

    // Widens the columns for a row: the first to its caption's width + 41, the second to its
    // full name's width + 21 (designed pixels), when narrower. Columns only grow during a load.
    void FitColumns(std::wstring_view caption, std::wstring_view fullname, const TextMeasurer& measure);
    int ColumnWidth(int column) const;

    // Removes the row once the list has finished reporting the present change.
    void RemoveRowLater(int row);

    // A report list has its header and rows as tall as its images or text make them, and a
    // horizontal scroll bar when its columns are wider than it.
    ListMetrics Measure(int count, int width) const override;
    // Its background is the window colour again, as the system now has it.
    void FollowSystemColours() override;

  private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    LPARAM RecordId(int row) const;
    void RemoveRecordRow(LPARAM id);
    std::wstring WideItemText(int row, int column) const;

    LPARAM nextId_ = 1;
    std::unordered_map<LPARAM, std::unique_ptr<RowRecord>> records_;
};

// Reads one change report of the list: which row, and whether its check mark changed.
bool ReadRowChange(const NMLISTVIEW& report, int* row, RowChange* change);
