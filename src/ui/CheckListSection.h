// A section whose list is a check list (the boot files, the WIN.INI lists): a line whose mark
// the user changed comes to OnClickCheck.
#pragma once

#include "CheckListBox.h"
#include "Section.h"

#include <functional>
#include <string>

class CheckListSection : public Section {
  public:
    using Section::Section;

    CheckListBox& List() override { return list_; }
    const CheckListBox& Lines() const { return list_; }

  protected:
    // The user changed a line's mark (the mark has changed already).
    virtual void OnClickCheck() = 0;

    // The one way a change of a check list's source goes: `change` writes it, answering true
    // when the source found that another program changed it since the section's copy (nothing
    // written then). Made or refused, the marks are then what the source says now: read with read
    // access, a source that still holds the section's copy (what it last read or wrote) shows that
    // copy's marks; one another program changed is read again whole and the user told. A change
    // not made is told after that.
    void ChangeSource(const std::function<bool()>& change);
    // Whether the source holds the section's copy now, read with read access; a source that
    // cannot be read at this moment (held open by another program) leaves the copy standing.
    virtual bool SourceHoldsCopy() const = 0;
    // Sets every line's mark to what the section's copy says, with no report of its own.
    virtual void ShowCopy() = 0;
    // What the user is told when another program changed the source: before the change, which
    // then wrote nothing, or after it.
    virtual std::string ChangedElsewhere(bool nothingWritten) const = 0;

  private:
    void CreateList(const RECT& place, HFONT font) override;
    void OnListCommand(WORD code) override;

    CheckListBox list_;
};
