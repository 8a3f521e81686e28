// Sections 7 to 11, and 12 to 14 on a 64-bit system: the values of a registry run key. Each row
// carries the value it was loaded from, exactly.
#pragma once

#include "EntryListSection.h"

#include "../sources/RunKey.h"
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
    // row, writes back the value of a row just checked again (ChangeRow).
    void RunClickCheck(int row, const RowChange& change) { ChangeRow(row, change); }

  private:
    void OnRowChange(int row, const RowChange& change) override { RunClickCheck(row, change); }
    // A row's record: the value as the registry last held it here, exactly.
    struct ValueRow : RowRecord {
        RunValue value;
    };
    static const RunValue& ValueOf(const RowRecord& record) { return static_cast<const ValueRow&>(record).value; }

    std::string EntryName(const RowRecord& record) const override;
    std::optional<ApprovalPlace> Approvals() const override { return ApprovalPlaceOf(key_); }
    std::wstring ApprovalName(const RowRecord& record) const override { return ValueOf(record).name; }
    bool Present(const RowRecord& record) const override;
    bool Nameable(const RowRecord& record) const override { return NameIsReachable(ValueOf(record).name); }
    void DeleteEntry(int row, RowRecord& record) override;
    void RestoreEntry(int row, RowRecord& record) override;

    RunKeyLocator key_;
};
