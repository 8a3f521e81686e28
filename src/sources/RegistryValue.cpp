#include "RegistryValue.h"

#include "AppError.h"

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

StringValue ReadStringValue(HKEY key, const std::string& name) {
    StringValue value;
    DWORD size = 0;
    if (RegQueryValueExA(key, name.c_str(), nullptr, &value.type, nullptr, &size) != ERROR_SUCCESS) {
        value.type = REG_SZ;
        return value; // a missing value reads as empty
    }
    if (size == 0)
        return value;
    if (value.type != REG_SZ && value.type != REG_EXPAND_SZ)
        throw AppError(FormatMessageWith("Invalid data type for '%s'", name));
    // The value may grow between the two queries; ask again with the size it reports.
    std::string data;
    LONG status = ERROR_MORE_DATA;
    while (status == ERROR_MORE_DATA) {
        data.assign(size + 1, '\0');
        DWORD type = 0;
        status = RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size);
    }
    if (status != ERROR_SUCCESS)
        throw AppError(FormatMessageWith("Failed to get data for '%s'", name));
    data.resize(std::min<std::size_t>(size, data.size()));
    value.text = data.substr(0, data.find('\0'));
    return value;
}
