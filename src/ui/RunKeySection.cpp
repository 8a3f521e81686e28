// Sections 7 to 11, and 12 to 14 on a 64-bit system: the values of the registry run keys.
#include "Dawnroll.h"

#include "../sources/AppError.h"
#include "../sources/RunKey.h"

void TFormDawnroll::LoadRunKey(Section& box, EntryListView& list, const std::string& keyName, RootKey root) {
    LoadRunKey(box, list, RunKeyLocator{root, RunKeyPath(keyName), ViewOf(root)});
}

void TFormDawnroll::LoadRunKey(Section& box, EntryListView& list, const RunKeyLocator& key) {
    LoadSection(box, [&] {
        list.ResetColumns();
        box.SetTitle(RunKeyTitle(key));
        list.Clear();
        // The list is repainted once at the end, also when an error leaves the load.
        RedrawSuspender quiet(list.Handle());
        const TextMeasurer measure(list.Handle());
        // A value that cannot be read raises its error before its row is made: the rows before
        // it stay, and no half-filled row is left behind.
        ReadRunKey(key, [&](RunValue&& value) {
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

// Brings the registry in line with the row's check mark: deletes the value of an unchecked
// row, writes back the value of a row just checked again.
void TFormDawnroll::RunClickCheck(EntryListView& list, int row, const RowChange& change) {
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
    auto locator = ParseRunKeyTitle(SectionHolding(list.Handle()).Title());
    if (!locator)
        return;
    // On a 64-bit system the title names a key of the native view, also the Wow6432Node keys.
    locator->view = ViewOf(locator->root);
    if (checked) {
        RestoreRunValue(*locator, RunValue{record->name, record->type, record->data});
        return;
    }
    // The value as it stands now, also when another program changed it since the load, is what
    // checking the row again brings back; a value already gone leaves the row's record as it was.
    if (auto now = DeleteRunValue(*locator, record->name))
        list.AttachRecord(row, EntryRecord{std::move(now->name), std::move(now->data), now->type});
}
