#include "RunKey.h"

#include "AppError.h"
#include "RegistryValue.h"

#include <vector>

namespace {
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
} // namespace

void ReadRunKey(const RunKeyLocator& locator, const std::function<void(RunValue&&)>& onValue) {
    const UniqueRegKey key = OpenKeyFullAccess(locator.root, locator.keyPath, locator.view);
    if (!key)
        return;
    for (auto& name : ValueNames(key.Get())) {
        StringValue value = ReadStringValue(key.Get(), name);
        onValue(RunValue{std::move(name), std::move(value.text), value.type});
    }
}

void DeleteRunValue(const RunKeyLocator& locator, const std::string& name) {
    const UniqueRegKey key = OpenKeyFullAccess(locator.root, locator.keyPath, locator.view);
    if (key)
        RegDeleteValueA(key.Get(), name.c_str()); // a value already gone is no error
}

void WriteRunValue(const RunKeyLocator& locator, const RunValue& value) {
    const UniqueRegKey key = OpenKeyFullAccess(locator.root, locator.keyPath, locator.view);
    if (!key)
        return;
    // The same text and the same type as loaded; only a value without data can have a type
    // other than a string and still be listed.
    const bool text = value.type == REG_SZ || value.type == REG_EXPAND_SZ;
    const LONG status = text ? RegSetValueExA(key.Get(), value.name.c_str(), 0, value.type,
                                              reinterpret_cast<const BYTE*>(value.data.c_str()),
                                              static_cast<DWORD>(value.data.size() + 1))
                             : RegSetValueExA(key.Get(), value.name.c_str(), 0, value.type, nullptr, 0);
    if (status != ERROR_SUCCESS)
        throw AppError(FormatMessageWith("Failed to set data for '%s'", value.name));
}
