#include "StartupApprovedRules.h"

#include <algorithm>
#include <cctype>

namespace {
constexpr std::size_t kRecordSize = 12;

bool SamePath(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}
} // namespace

bool ApprovalSaysOff(const std::vector<unsigned char>& data) {
    return data.size() >= kRecordSize && (data[0] & 1) != 0;
}

std::vector<unsigned char> ApprovalOnBytes() {
    std::vector<unsigned char> bytes(kRecordSize, 0);
    bytes[0] = 0x02;
    return bytes;
}

std::string StartupApprovedPath(std::string_view subkey) {
    return "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\" + std::string(subkey);
}

std::optional<ApprovalPlace> ApprovalPlaceOf(const RunKeyLocator& key) {
    if (SamePath(key.keyPath, RunKeyPath("Run")))
        return ApprovalPlace{key.root, StartupApprovedPath("Run"), key.view};
    if (key.root == RootKey::LocalMachine && SamePath(key.keyPath, Wow6432NodeRunKeyPath("Run")))
        return ApprovalPlace{key.root, StartupApprovedPath("Run32"), key.view};
    return std::nullopt;
}

ApprovalPlace StartupFolderApprovalPlace(RootKey root, RegistryView view) {
    return ApprovalPlace{root, StartupApprovedPath("StartupFolder"), view};
}
