#include "RunKey.h"

#include "AppError.h"
#include "RegistryValue.h"

#include <vector>

namespace {
void RequireReachableName(const std::wstring& name) {
    if (!NameIsReachable(name))
        throw AppError(FormatMessageWith("The name of value '%s' holds a zero character; it cannot be changed",
                                         MessageName(name)));
}
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
    const UniqueRegKey key = OpenKeyFullAccess(locator.root, locator.keyPath, locator.view);
    if (!key)
        return;
    DWORD count = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (RegQueryInfoKeyW(key.Get(), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName,
                         &longestData, nullptr, nullptr) != ERROR_SUCCESS)
        return;
    // Each value is read by its index, name and data in one call: a name that holds a zero
    // character could not be asked for by name.
    std::wstring name(longestName + 1, L'\0');
    std::vector<unsigned char> data(longestData + 2);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG status = RegEnumValueW(key.Get(), index, &name[0], &nameLength, nullptr, &type, data.data(), &size);
        if (status == ERROR_MORE_DATA) {
            // A longer name or data came since the key was asked; grow and read this index again.
            name.assign(name.size() * 2, L'\0');
            data.assign(std::max<std::size_t>(data.size() * 2, size + 2), 0);
            --index;
            continue;
        }
        if (status != ERROR_SUCCESS)
            break;
        RunValue value{std::wstring(name.data(), nameLength), type,
                       std::vector<unsigned char>(data.begin(), data.begin() + size)};
        if (size > 0 && type != REG_SZ && type != REG_EXPAND_SZ)
            throw AppError(FormatMessageWith("Invalid data type for '%s'", MessageName(value.name)));
        onValue(std::move(value));
    }
}

std::optional<RunValue> DeleteRunValue(const RunKeyLocator& locator, const std::wstring& name) {
    RequireReachableName(name);
    const UniqueRegKey key = OpenKeyFullAccess(locator.root, locator.keyPath, locator.view);
    if (!key)
        return std::nullopt;
    // What is there now, whatever another program made of it since the load, is what checking
    // the row again has to bring back.
    auto now = ReadRawValue(key.Get(), name);
    RegDeleteValueW(key.Get(), name.c_str()); // a value already gone is no error
    if (!now)
        return std::nullopt;
    return RunValue{name, now->type, std::move(now->bytes)};
}

void WriteRunValue(const RunKeyLocator& locator, const RunValue& value) {
    RequireReachableName(value.name);
    const UniqueRegKey key = OpenKeyFullAccess(locator.root, locator.keyPath, locator.view);
    if (!key)
        return;
    // The system adds a terminating zero to string data that lacks one whenever the memory just
    // after the data holds a zero; data written without one must come back without one, so what
    // follows it here is never zero.
    std::vector<unsigned char> padded(value.data);
    padded.insert(padded.end(), {0xFF, 0xFF, 0xFF});
    const LONG status =
        RegSetValueExW(key.Get(), value.name.c_str(), 0, value.type, value.data.empty() ? nullptr : padded.data(),
                       static_cast<DWORD>(value.data.size()));
    if (status != ERROR_SUCCESS)
        throw AppError(FormatMessageWith("Failed to set data for '%s'", MessageName(value.name)));
}
