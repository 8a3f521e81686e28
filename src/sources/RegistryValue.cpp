#include "RegistryValue.h"

#include "AppError.h"
#include "WideText.h"

#include <algorithm>
#include <cstring>

HKEY RootHandle(RootKey root) {
    return root == RootKey::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

namespace {
LONG OpenKey(RootKey root, const std::string& path, REGSAM access, RegistryView view, UniqueRegKey& opened) {
    // The view's flag goes only where there are two views: older systems know no such flag.
    access |= view == RegistryView::Native ? KEY_WOW64_64KEY : 0;
    HKEY key = nullptr;
    const LONG status = RegOpenKeyExA(RootHandle(root), path.c_str(), 0, access, &key);
    if (status == ERROR_SUCCESS)
        opened.Reset(key);
    return status;
}
} // namespace

UniqueRegKey OpenKeyForReading(RootKey root, const std::string& path, RegistryView view) {
    // Querying values is all that counting and enumerating them needs too.
    UniqueRegKey key;
    OpenKey(root, path, KEY_QUERY_VALUE, view, key);
    return key;
}

UniqueRegKey OpenKeyForChanging(RootKey root, const std::string& path, REGSAM access, RegistryView view) {
    UniqueRegKey key;
    const LONG status = OpenKey(root, path, access, view, key);
    if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND && status != ERROR_PATH_NOT_FOUND)
        RaiseRefusedChange(root, status);
    return key;
}

void RaiseRefusedChange(RootKey root, LONG code) {
    throw ChangeRefused(RefusedChangeReason(root, static_cast<unsigned long>(code)), static_cast<unsigned long>(code));
}

void RequireReachableName(const std::wstring& name) {
    if (name.find(L'\0') != std::wstring::npos)
        throw AppError(FormatMessageWith("The name of value '%s' holds a zero character; it cannot be changed",
                                         MessageName(name)));
}

std::optional<RawValue> ReadRawValue(HKEY key, const std::wstring& name) {
    RawValue value;
    DWORD size = 0;
    if (RegQueryValueExW(key, name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    // The value may grow between the two queries; ask again with the size it reports.
    LONG status = ERROR_MORE_DATA;
    while (status == ERROR_MORE_DATA) {
        value.bytes.assign(size, 0);
        status = RegQueryValueExW(key, name.c_str(), nullptr, &value.type, size ? value.bytes.data() : nullptr, &size);
    }
    if (status == ERROR_FILE_NOT_FOUND)
        return std::nullopt; // deleted between the two queries
    if (status != ERROR_SUCCESS)
        throw AppError(FormatMessageWith("Failed to get data for '%s'", MessageName(name)));
    value.bytes.resize(std::min<std::size_t>(size, value.bytes.size()));
    return value;
}

void ForEachValue(
    HKEY key, const std::function<void(std::wstring&& name, DWORD type, std::vector<unsigned char>&& data)>& onValue) {
    DWORD count = 0;
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count, &longestName, &longestData,
                         nullptr, nullptr) != ERROR_SUCCESS)
        return;
    std::wstring name(longestName + 1, L'\0');
    std::vector<unsigned char> data(longestData + 2);
    for (DWORD index = 0;; ++index) {
        DWORD nameLength = static_cast<DWORD>(name.size());
        DWORD size = static_cast<DWORD>(data.size());
        DWORD type = 0;
        const LONG status = RegEnumValueW(key, index, &name[0], &nameLength, nullptr, &type, data.data(), &size);
        if (status == ERROR_MORE_DATA) {
            // A longer name or data came since the key was asked; grow and read this index again.
            name.assign(name.size() * 2, L'\0');
            data.assign(std::max<std::size_t>(data.size() * 2, size + 2), 0);
            --index;
            continue;
        }
        if (status != ERROR_SUCCESS)
            break;
        onValue(std::wstring(name.data(), nameLength), type,
                std::vector<unsigned char>(data.begin(), data.begin() + size));
    }
}

std::wstring TextOfData(const std::vector<unsigned char>& bytes) {
    std::wstring text(bytes.size() / sizeof(wchar_t), L'\0');
    if (!text.empty())
        std::memcpy(&text[0], bytes.data(), text.size() * sizeof(wchar_t));
    text.resize(std::min(text.size(), text.find(L'\0')));
    return text;
}

std::string MessageName(std::wstring_view name) {
    std::string shown;
    for (;;) {
        const auto zero = name.find(L'\0');
        shown += Utf8Of(name.substr(0, zero));
        if (zero == std::wstring_view::npos)
            return shown;
        shown += "\\0";
        name.remove_prefix(zero + 1);
    }
}

StringValue ReadStringValue(HKEY key, const std::wstring& name) {
    StringValue value;
    const auto raw = ReadRawValue(key, name);
    if (!raw || raw->bytes.empty())
        return value; // a missing value, or one without data, reads as empty
    value.type = raw->type;
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ)
        throw AppError(FormatMessageWith("Invalid data type for '%s'", MessageName(name)));
    value.text = TextOfData(raw->bytes);
    return value;
}
