// A section whose list is an entry list (the Startup folders, the run keys): every change the
// list reports of a row comes to OnRowChange, the check mark's and also selection and focus.
#pragma once

#include "EntryListView.h"
#include "Section.h"

class EntryListSection : public Section {
  public:
    using Section::Section;

    EntryListView& List() override { return list_; }
    const EntryListView& Rows() const { return list_; }

  protected:
    virtual void OnRowChange(int row, const RowChange& change) = 0;

    // Runs a change of a row's entry. When the change is not made, the row's mark is set back to
    // `markAsItIs` (what the source now says) without a report of its own, so that no failed
    // change waits in the window for a later report to retry it; a refusal of the source is told
    // as `what` followed by its reason, any other error as it is.
    template <typename Change> void ChangeEntry(int row, bool markAsItIs, const std::string& what, Change&& change) {
        try {
            change();
        } catch (...) {
            ShowMark(row, markAsItIs);
            RethrowNamed(what);
        }
    }
    // Sets a row's mark to what its entry is, with no report to OnRowChange.
    void ShowMark(int row, bool checked);

  private:
    void CreateList(const RECT& place, HFONT font) override;
    LRESULT OnListNotify(const NMHDR& header) override;
    [[noreturn]] static void RethrowNamed(const std::string& what);

    EntryListView list_;
    bool quiet_ = false; // the program sets a mark back: the list's report of it is no change
};
