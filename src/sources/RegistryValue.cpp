#include "RegistryValue.h"

#include "AppError.h"
#include "WideText.h"

#include <cstring>

HKEY RootHandle(RootKey root) {
    return root == RootKey::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

UniqueRegKey OpenKeyFullAccess(RootKey root, const std::string& path, RegistryView view) {
    // The view's flag goes only where there are two views: older systems know no such flag.
    const REGSAM access = KEY_ALL_ACCESS | (view == RegistryView::Native ? KEY_WOW64_64KEY : 0);
    HKEY key = nullptr;
    if (RegOpenKeyExA(RootHandle(root), path.c_str(), 0, access, &key) != ERROR_SUCCESS)
        return UniqueRegKey();
    return UniqueRegKey(key);
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
