#include "RunKey.h"

#include "AppError.h"
#include "RegistryValue.h"
#include "RunKeyLocator.h"

#include "../ui/EntryListView.h"
#include "../ui/GdiObjects.h"
#include "../ui/GroupBox.h"
#include "../ui/SectionLayout.h"

#include <vector>

namespace {
RootKey RootOf(HKEY root) {
    return root == HKEY_CURRENT_USER ? RootKey::CurrentUser : RootKey::LocalMachine;
}

HKEY HandleOf(RootKey root) {
    return root == RootKey::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// The names of the key's values in the registry's own order; the default value has an empty name.
std::vector<std::string> ValueNames(HKEY key) {
    DWORD count = 0;
    DWORD longest = 0;
    if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longest, nullptr, nullptr,
                         nullptr) != ERROR_SUCCESS)
        return {};
    std::vector<std::string> names;
    names.reserve(count);
    std::string name(longest + 1, '\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        const LONG status = RegEnumValueA(key, index, &name[0], &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {
            // A longer name was added since the key was asked; grow and read this index again.
            name.assign(name.size() * 2, '\0');
            --index;
            continue;
        }
        if (status != ERROR_SUCCESS)
            break;
        names.emplace_back(name.data(), length);
    }
    return names;
}

// Writes a value back exactly as it was loaded: the same text, the same type.
LONG WriteValue(HKEY key, const EntryRecord& record) {
    if (record.type == REG_SZ || record.type == REG_EXPAND_SZ)
        return RegSetValueExA(key, record.name.c_str(), 0, record.type,
                              reinterpret_cast<const BYTE*>(record.data.c_str()),
                              static_cast<DWORD>(record.data.size() + 1));
    // Only a value without data can have another type and still be listed.
    return RegSetValueExA(key, record.name.c_str(), 0, record.type, nullptr, 0);
}
} // namespace

void LoadRunKey(GroupBox& box, EntryListView& list, const std::string& keyName, HKEY root) {
    box.MakeVisible();
    list.ResetColumns();
    box.SetTitle(RunKeyTitle(RootOf(root), keyName));
    list.Clear();
    {
        // The list is repainted once at the end, also when an error leaves the load.
        RedrawSuspender quiet(list.Handle());
        const UniqueRegKey key = OpenKeyFullAccess(root, RunKeyPath(keyName));
        if (key) {
            const TextMeasurer measure(list.Handle());
            for (const auto& name : ValueNames(key.Get())) {
                // Read first: a value that cannot be listed leaves no half-filled row behind.
                StringValue value = ReadStringValue(key.Get(), name);
                const int row = list.AddCheckedRow(name);
                list.SetFullname(row, value.text);
                list.FitColumns(name, value.text, measure);
                list.AttachRecord(row, EntryRecord{name, std::move(value.text), value.type});
            }
        }
    }
    const int rows = list.Count();
    if (rows == 0) {
        box.LeaveEmpty();
        return;
    }
    box.SetHeight(FilledSectionHeight(SectionKind::RegistryKey, TextMeasurer(list.Handle()).LineHeight(), rows));
}

void RunClickCheck(EntryListView& list, int row, const RowChange& change) {
    const EntryRecord* record = list.Record(row);
    if (!record)
        return; // the row is still being filled
    const bool checked = list.Checked(row);
    // A checked row is written only when its mark has just been set: selecting a row or
    // moving the focus must not overwrite the value.
    if (checked && !change.checkChanged)
        return;
    const auto locator = ParseRunKeyTitle(list.GroupCaption());
    if (!locator)
        return;
    const UniqueRegKey key = OpenKeyFullAccess(HandleOf(locator->root), locator->keyPath);
    if (!key)
        return;
    if (!checked) {
        RegDeleteValueA(key.Get(), record->name.c_str()); // a value already gone is no error
        return;
    }
    if (WriteValue(key.Get(), *record) != ERROR_SUCCESS)
        throw AppError(FormatMessageWith("Failed to set data for '%s'", record->name));
}
