// Sections 7 to 11, and 12 to 14 on a 64-bit system: the values of a registry run key. Each row
// carries the value it was loaded from, exactly.
#pragma once

#include "EntryListSection.h"

#include "../sources/RunKeyLocator.h"

class RunKeySection : public EntryListSection {
  public:
    RunKeySection(SectionHost& host, const layout::SectionDesign& design, RunKeyLocator key)
        : EntryListSection(host, design), key_(std::move(key)) {}

    const RunKeyLocator& Key() const { return key_; }
    // Shows another key from the next load on.
    void PointAt(RunKeyLocator key) { key_ = std::move(key); }

    void Load() override { LoadRunKey(); }
    void LoadRunKey();
    // Brings the registry in line with the row's check mark: deletes the value of an unchecked
    // row, writes back the value of a row just checked again.
    void RunClickCheck(int row, const RowChange& change);

  private:
    void OnRowChange(int row, const RowChange& change) override { RunClickCheck(row, change); }

    RunKeyLocator key_;
};
