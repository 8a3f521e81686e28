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

  private:
    void CreateList(const RECT& place, HFONT font) override;
    LRESULT OnListNotify(const NMHDR& header) override;

    EntryListView list_;
};
