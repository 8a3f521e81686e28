// A section whose list is a check list (the boot files, the WIN.INI lists): a line whose mark
// the user changed comes to OnClickCheck.
#pragma once

#include "CheckListBox.h"
#include "Section.h"

class CheckListSection : public Section {
  public:
    using Section::Section;

    CheckListBox& List() override { return list_; }
    const CheckListBox& Lines() const { return list_; }

  protected:
    // The user changed a line's mark (the mark has changed already).
    virtual void OnClickCheck() = 0;

  private:
    void CreateList(const RECT& place, HFONT font) override;
    void OnListCommand(WORD code) override;

    CheckListBox list_;
};
