// A section whose list is an entry list (the Startup folders, the run keys): every change the
// list reports of a row comes to one path, the check mark's and also selection and focus. The
// kinds of section give only what is theirs: how their entries are named, found, deleted and put
// back, and where the system keeps its own switch of them.
#pragma once

#include "EntryListView.h"
#include "GdiObjects.h"
#include "Section.h"

#include "../sources/StartupApproved.h"

#include <memory>
#include <optional>
#include <string>

class EntryListSection : public Section {
  public:
    using Section::Section;

    EntryListView& List() override { return list_; }
    const EntryListView& Rows() const { return list_; }

  protected:
    // Every change the list reports of a row comes here.
    virtual void OnRowChange(int row, const RowChange& change) = 0;
    // The one way a row's change reaches its source: the change is tried, and then, made or
    // refused, the row's mark is what the source says now; a change not made is told after that.
    void ChangeRow(int row, const RowChange& change);

    // Adds the rows of one load: each checked unless the system's own switch keeps its entry off.
    class RowAdder {
      public:
        explicit RowAdder(EntryListSection& section);
        // A complete row; its record is attached last, so that the list's reports while the row
        // is filled change nothing.
        void Add(const std::wstring& caption, const std::wstring& fullname, std::unique_ptr<RowRecord> record,
                 std::optional<int> image = std::nullopt);

      private:
        EntryListSection& section_;
        SwitchedOffNames switchedOff_;
        TextMeasurer measure_;
    };

    // Every load of an entry list: the list emptied, its columns as designed, repainted once at
    // the end (also when an error leaves the load); `fill` sets the title and adds the rows.
    template <typename Fill> void LoadEntries(Fill&& fill) {
        LoadSection([&] {
            list_.Clear();
            list_.ResetColumns();
            RedrawSuspender quiet(list_.Handle());
            RowAdder add(*this);
            fill(add);
            return SectionContents{list_.Count()};
        });
    }

    // The entry as messages name it: "The value "Tool" of ...", "The file ...".
    virtual std::string EntryName(const RowRecord& record) const = 0;
    // Where the system keeps its switch of this section's entries; none for sources without one.
    virtual std::optional<ApprovalPlace> Approvals() const = 0;
    // The name of the entry's record there.
    virtual std::wstring ApprovalName(const RowRecord& record) const = 0;
    // Whether the entry is in its source now, read with read access.
    virtual bool Present(const RowRecord& record) const = 0;
    // Whether the source's calls can name the entry at all; one they cannot is told only when the
    // user changes its mark, not at every selection of its row.
    virtual bool Nameable(const RowRecord&) const { return true; }
    // Takes the entry out of its source (the row was unchecked); may bring the row up to date or
    // remove it. A change that is not made raises its error.
    virtual void DeleteEntry(int row, RowRecord& record) = 0;
    // Puts the entry back into its source (the row was checked again), as DeleteEntry does.
    virtual void RestoreEntry(int row, RowRecord& record) = 0;

  private:
    void CreateList(const RECT& place, HFONT font) override;
    LRESULT OnListNotify(const NMHDR& header) override;
    // Sets the row's record and mark to what its entry is now: checked only when the entry is
    // there and not switched off, with no report of its own.
    void ShowAsItIs(int row);
    [[noreturn]] static void RethrowNamed(const std::exception_ptr& error, const std::string& what);

    EntryListView list_;
    bool quiet_ = false; // the program sets a mark: the list's report of it is no change
};
