#include "RunKeySection.h"

#include "../sources/RegistryValue.h"

void RunKeySection::LoadRunKey() {
    SetTitle(RunKeyTitle(key_));
    LoadEntries([&](RowAdder& add) {
        // A value that cannot be read raises its error before its row is made: the rows before
        // it stay, and no half-filled row is left behind.
        ReadRunKey(key_, [&](RunValue&& value) {
            auto record = std::make_unique<ValueRow>();
            record->value = std::move(value);
            const RunValue& shown = record->value;
            add.Add(ShownName(shown), ShownData(shown), std::move(record));
        });
    });
}

std::string RunKeySection::EntryName(const RowRecord& record) const {
    return "The value \"" + MessageName(ValueOf(record).name) + "\" of " + RunKeyTitle(key_);
}

bool RunKeySection::Present(const RowRecord& record) const {
    return ReadRunValue(key_, ValueOf(record).name).has_value();
}

// The value as it stands now, also when another program changed it since the load, is what
// checking the row again brings back; a value already gone leaves the record as it was.
void RunKeySection::DeleteEntry(int, RowRecord& record) {
    RunValue& value = static_cast<ValueRow&>(record).value;
    if (auto now = DeleteRunValue(key_, value.name))
        value = std::move(*now);
}

// Where another program has written a value of that name since, its value stays, and the row
// shows it.
void RunKeySection::RestoreEntry(int row, RowRecord& record) {
    RunValue& value = static_cast<ValueRow&>(record).value;
    if (auto now = RestoreRunValue(key_, value)) {
        value = std::move(*now);
        List().SetFullname(row, ShownData(value));
    }
}
