#include "RunKeySection.h"

#include "GdiObjects.h"

#include "../sources/RunKey.h"

void RunKeySection::LoadRunKey() {
    LoadSection([&] {
        EntryListView& list = List();
        list.ResetColumns();
        SetTitle(RunKeyTitle(key_));
        list.Clear();
        // The list is repainted once at the end, also when an error leaves the load.
        RedrawSuspender quiet(list.Handle());
        const TextMeasurer measure(list.Handle());
        // A value that cannot be read raises its error before its row is made: the rows before
        // it stay, and no half-filled row is left behind.
        ReadRunKey(key_, [&](RunValue&& value) {
            const std::wstring name = ShownName(value);
            const std::wstring data = ShownData(value);
            const int row = list.AddCheckedRow(name);
            list.SetFullname(row, data);
            list.FitColumns(name, data, measure);
            list.AttachRecord(row, EntryRecord{std::move(value.name), std::move(value.data), value.type});
        });
        return SectionContents{list.Count()};
    });
}

void RunKeySection::RunClickCheck(int row, const RowChange& change) {
    EntryListView& list = List();
    const EntryRecord* record = list.Record(row);
    if (!record)
        return; // the row is still being filled
    const bool checked = list.Checked(row);
    // A checked row is written only when its mark has just been set: selecting a row or
    // moving the focus must not overwrite the value.
    if (checked && !change.checkChanged)
        return;
    // A value the registry's calls cannot name is told about once per change of its mark, not
    // at every selection of its row.
    if (!NameIsReachable(record->name) && !change.checkChanged)
        return;
    if (checked) {
        RestoreRunValue(key_, RunValue{record->name, record->type, record->data});
        return;
    }
    // The value as it stands now, also when another program changed it since the load, is what
    // checking the row again brings back; a value already gone leaves the row's record as it was.
    if (auto now = DeleteRunValue(key_, record->name))
        list.AttachRecord(row, EntryRecord{std::move(now->name), std::move(now->data), now->type});
}
