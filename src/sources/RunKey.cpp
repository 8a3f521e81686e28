#include "RunKey.h"

#include "AppError.h"
#include "RegistryValue.h"

#include <vector>

namespace {
// A run value is changed by querying it and then setting or deleting it; nothing more is asked.
constexpr REGSAM kChangeAccess = KEY_QUERY_VALUE | KEY_SET_VALUE;
} // namespace

std::wstring ShownName(const RunValue& value) {
    return value.name.substr(0, value.name.find(L'\0'));
}

std::wstring ShownData(const RunValue& value) {
    return TextOfData(value.data);
}

bool NameIsReachable(const std::wstring& name) {
    return name.find(L'\0') == std::wstring::npos;
}

void ReadRunKey(const RunKeyLocator& locator, const std::function<void(RunValue&&)>& onValue) {
    const UniqueRegKey key = OpenKeyForReading(locator.root, locator.keyPath, locator.view);
    if (!key)
        return;
    ForEachValue(key.Get(), [&](std::wstring&& name, DWORD type, std::vector<unsigned char>&& data) {
        if (!data.empty() && type != REG_SZ && type != REG_EXPAND_SZ)
            throw AppError(FormatMessageWith("Invalid data type for '%s'", MessageName(name)));
        onValue(RunValue{std::move(name), type, std::move(data)});
    });
}

std::optional<RunValue> ReadRunValue(const RunKeyLocator& locator, const std::wstring& name) {
    const UniqueRegKey key = OpenKeyForReading(locator.root, locator.keyPath, locator.view);
    if (!key)
        return std::nullopt;
    if (NameIsReachable(name)) {
        auto now = ReadRawValue(key.Get(), name);
        if (!now)
            return std::nullopt;
        return RunValue{name, now->type, std::move(now->bytes)};
    }
    // The calls that take a name would name another value: it is found among all of them.
    std::optional<RunValue> found;
    ForEachValue(key.Get(), [&](std::wstring&& each, DWORD type, std::vector<unsigned char>&& data) {
        if (!found && each == name)
            found = RunValue{std::move(each), type, std::move(data)};
    });
    return found;
}

std::optional<RunValue> DeleteRunValue(const RunKeyLocator& locator, const std::wstring& name) {
    RequireReachableName(name);
    // Read first: a value that is gone asks for no change, so that a key the user may only read
    // refuses nothing then.
    if (!ReadRunValue(locator, name))
        return std::nullopt;
    const UniqueRegKey key = OpenKeyForChanging(locator.root, locator.keyPath, kChangeAccess, locator.view);
    if (!key)
        return std::nullopt; // the key is gone, and its values with it
    // What is there now, whatever another program made of it since the load, is what checking
    // the row again has to bring back.
    auto now = ReadRawValue(key.Get(), name);
    const LONG status = RegDeleteValueW(key.Get(), name.c_str());
    if (status == ERROR_FILE_NOT_FOUND || status == ERROR_KEY_DELETED)
        return std::nullopt; // already gone, or gone with its key just now: no error
    if (status != ERROR_SUCCESS)
        RaiseRefusedChange(locator.root, status);
    if (!now)
        return std::nullopt;
    return RunValue{name, now->type, std::move(now->bytes)};
}

std::optional<RunValue> RestoreRunValue(const RunKeyLocator& locator, const RunValue& value) {
    RequireReachableName(value.name);
    const UniqueRegKey key = OpenKeyForChanging(locator.root, locator.keyPath, kChangeAccess, locator.view);
    if (!key)
        throw ChangeRefused("the key no longer exists", ERROR_FILE_NOT_FOUND);
    // Another program that wrote the value again since it was deleted here has the last word.
    if (auto now = ReadRawValue(key.Get(), value.name))
        return RunValue{value.name, now->type, std::move(now->bytes)};
    // The system adds a terminating zero to string data that lacks one whenever the memory just
    // after the data holds a zero; data written without one must come back without one, so what
    // follows it here is never zero.
    std::vector<unsigned char> padded(value.data);
    padded.insert(padded.end(), {0xFF, 0xFF, 0xFF});
    const LONG status =
        RegSetValueExW(key.Get(), value.name.c_str(), 0, value.type, value.data.empty() ? nullptr : padded.data(),
                       static_cast<DWORD>(value.data.size()));
    if (status != ERROR_SUCCESS)
        throw AppError(FormatMessageWith("Failed to set data for '%s'", MessageName(value.name)) + ": " +
                       RefusedChangeReason(locator.root, static_cast<unsigned long>(status)));
    return std::nullopt;
}
