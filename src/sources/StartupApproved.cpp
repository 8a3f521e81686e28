#include "StartupApproved.h"

#include "RegistryValue.h"
#include "RunKey.h"

bool RegistryNameLess::operator()(const std::wstring& a, const std::wstring& b) const {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_LESS_THAN;
}

ApprovalPlace ApprovalPlaceOf(const StartupFolderPlace& folder) {
    return StartupFolderApprovalPlace(folder.root, folder.view);
}

SwitchedOffNames ReadSwitchedOff(const ApprovalPlace& place) {
    SwitchedOffNames names;
    const UniqueRegKey key = OpenKeyForReading(place.root, place.keyPath, place.view);
    if (!key)
        return names;
    ForEachValue(key.Get(), [&](std::wstring&& name, DWORD type, std::vector<unsigned char>&& data) {
        if (type == REG_BINARY && ApprovalSaysOff(data))
            names.insert(std::move(name));
    });
    return names;
}

bool SwitchedOffNow(const ApprovalPlace& place, const std::wstring& name) {
    if (!NameIsReachable(name))
        return false; // a record is named as its entry: no record can name this one
    const UniqueRegKey key = OpenKeyForReading(place.root, place.keyPath, place.view);
    if (!key)
        return false;
    const auto now = ReadRawValue(key.Get(), name);
    return now && now->type == REG_BINARY && ApprovalSaysOff(now->bytes);
}

bool TurnApprovalOn(const ApprovalPlace& place, const std::wstring& name) {
    RequireReachableName(name);
    // Read first: a record that is on already, or none, asks for no change, so that a key the
    // user may only read refuses nothing then.
    if (!SwitchedOffNow(place, name))
        return false;
    const UniqueRegKey key = OpenKeyForChanging(place.root, place.keyPath, KEY_QUERY_VALUE | KEY_SET_VALUE, place.view);
    if (!key)
        return false;
    const auto now = ReadRawValue(key.Get(), name);
    if (!now || now->type != REG_BINARY || !ApprovalSaysOff(now->bytes))
        return false;
    const std::vector<unsigned char> on = ApprovalOnBytes();
    const LONG status =
        RegSetValueExW(key.Get(), name.c_str(), 0, REG_BINARY, on.data(), static_cast<DWORD>(on.size()));
    if (status != ERROR_SUCCESS)
        RaiseRefusedChange(place.root, status);
    return true;
}
