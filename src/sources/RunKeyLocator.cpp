#include "RunKeyLocator.h"

#include "AppError.h"

namespace {
constexpr std::string_view kComputer = "My Computer\\";
constexpr std::string_view kCurrentUser = "HKEY_CURRENT_USER\\";
constexpr std::string_view kLocalMachine = "HKEY_LOCAL_MACHINE\\";

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}
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

std::optional<RunKeyLocator> ParseRunKeyTitle(std::string_view title) {
    const auto slash = title.find('\\');
    if (slash == std::string_view::npos)
        return std::nullopt;
    title.remove_prefix(slash + 1);
    if (StartsWith(title, kCurrentUser))
        return RunKeyLocator{RootKey::CurrentUser, std::string(title.substr(kCurrentUser.size()))};
    if (StartsWith(title, kLocalMachine))
        return RunKeyLocator{RootKey::LocalMachine, std::string(title.substr(kLocalMachine.size()))};
    return std::nullopt;
}
