#include "RunKeySection.h"

#include "GdiObjects.h"

#include "../sources/RegistryValue.h"
#include "../sources/RunKey.h"
#include "../sources/StartupApproved.h"

void RunKeySection::LoadRunKey() {
    LoadSection([&] {
        EntryListView& list = List();
        list.ResetColumns();
        SetTitle(RunKeyTitle(key_));
        list.Clear();
        // The list is repainted once at the end, also when an error leaves the load.
        RedrawSuspender quiet(list.Handle());
        const TextMeasurer measure(list.Handle());
        // The entries the system's own switch keeps off load unchecked: they will not start.
        const auto approvals = ApprovalPlaceOf(key_);
        const SwitchedOffNames switchedOff = approvals ? ReadSwitchedOff(*approvals) : SwitchedOffNames{};
        // A value that cannot be read raises its error before its row is made: the rows before
        // it stay, and no half-filled row is left behind.
        ReadRunKey(key_, [&](RunValue&& value) {
            const std::wstring name = ShownName(value);
            const std::wstring data = ShownData(value);
            const bool off = switchedOff.count(value.name) > 0;
            const int row = list.AddRow(name, !off);
            list.SetFullname(row, data);
            list.FitColumns(name, data, measure);
            list.AttachRecord(row, EntryRecord{std::move(value.name), std::move(value.data), value.type, off});
        });
        return SectionContents{list.Count()};
    });
}

// A change that is not made sets the row's mark back to what the registry now says, and is told.
void RunKeySection::RunClickCheck(int row, const RowChange& change) {
    EntryListView& list = List();
    const EntryRecord* found = list.Record(row);
    if (!found)
        return; // the row is still being filled
    const EntryRecord record = *found;
    const bool checked = list.Checked(row);
    // A checked row is written only when its mark has just been set: selecting a row or
    // moving the focus must not overwrite the value.
    if (checked && !change.checkChanged)
        return;
    // A value the registry's calls cannot name is told about once per change of its mark, not
    // at every selection of its row.
    if (!NameIsReachable(record.name) && !change.checkChanged)
        return;
    const std::string value = "The value \"" + MessageName(record.name) + "\" of " + RunKeyTitle(key_);
    const auto approvals = ApprovalPlaceOf(key_);
    if (record.switchedOff) {
        // Kept off by the system's switch: the user's check turns the switch on and leaves the
        // value as it is; nothing else ever deletes it.
        if (!checked || !change.checkChanged)
            return;
        ChangeEntry(row, false, value + " was not switched on", [&] {
            if (approvals)
                TurnApprovalOn(*approvals, record.name);
        });
        list.AttachRecord(row, EntryRecord{record.name, record.data, record.type, false});
        return;
    }
    if (checked) {
        ChangeEntry(row, false, value + " was not written back", [&] {
            // Where another program has written a value of that name since, its value stays,
            // and the row shows it.
            if (auto now = RestoreRunValue(key_, RunValue{record.name, record.type, record.data})) {
                list.SetFullname(row, ShownData(*now));
                list.AttachRecord(row, EntryRecord{std::move(now->name), std::move(now->data), now->type, false});
            }
        });
        // A switch the system left off for the value would keep it from starting. When it is not
        // turned on, the value is back but switched off, and its row is such an entry's row: the
        // user's check turns the switch on, and no selection deletes the value again.
        ChangeEntry(row, false, value + " was written back but stays switched off", [&] {
            if (!approvals)
                return;
            try {
                TurnApprovalOn(*approvals, record.name);
            } catch (...) {
                if (const EntryRecord* now = list.Record(row)) {
                    EntryRecord off = *now;
                    off.switchedOff = true;
                    list.AttachRecord(row, std::move(off));
                }
                throw;
            }
        });
        return;
    }
    // The value as it stands now, also when another program changed it since the load, is what
    // checking the row again brings back; a value already gone leaves the row's record as it was.
    ChangeEntry(row, true, value + " was not deleted", [&] {
        if (auto now = DeleteRunValue(key_, record.name))
            list.AttachRecord(row, EntryRecord{std::move(now->name), std::move(now->data), now->type, false});
    });
}
