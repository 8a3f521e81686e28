#include "RunKeyLocator.h"

#include "AppError.h"

namespace {
constexpr std::string_view kComputer = "My Computer\\";
} // namespace

const char* RootKeyName(RootKey root) {
    return root == RootKey::CurrentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE";
}

std::string RunKeyPath(std::string_view keyName) {
    return "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\" + std::string(keyName);
}

std::string Wow6432NodeRunKeyPath(std::string_view keyName) {
    return "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\" + std::string(keyName);
}

std::string RunKeyTitle(const RunKeyLocator& key) {
    return std::string(kComputer) + RootKeyName(key.root) + "\\" + key.keyPath;
}

std::string RunKeyTitle(RootKey root, std::string_view keyName) {
    return RunKeyTitle(RunKeyLocator{root, RunKeyPath(keyName)});
}

std::string RefusedChangeReason(RootKey root, unsigned long code) {
    constexpr unsigned long kAccessDenied = 5;
    std::string reason = ReasonOfError(code);
    if (code == kAccessDenied && root == RootKey::LocalMachine)
        reason += "; changing the local machine's entries needs Dawnroll started with \"Run as administrator\"";
    return reason;
}
