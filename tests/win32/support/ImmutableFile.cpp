#include "ImmutableFile.h"

#include <windows.h>

#include <stdexcept>

namespace {
constexpr const char* kChattr = "Z:\\usr\\bin\\chattr";

// The host's path of a Wine path, through Wine's own kernel32 export.
std::string HostPathOf(const std::string& path) {
    using UnixName = char*(CDECL*)(LPCWSTR);
    const auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    if (!unixName)
        return "";
    wchar_t wide[MAX_PATH] = {};
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    char* name = unixName(wide);
    if (!name)
        return "";
    std::string result = name;
    HeapFree(GetProcessHeap(), 0, name);
    return result;
}

// Whether the host lets the file be opened for writing.
bool Writable(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

// Runs chattr on the host (Wine starts a host program as a process of its own, without a handle
// to wait on) and waits until the file is or is not writable.
bool Chattr(const char* change, const std::string& hostPath, const std::string& path, bool writable) {
    std::string command = std::string("chattr ") + change + " \"" + hostPath + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(kChattr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return false;
    if (process.hProcess)
        CloseHandle(process.hProcess);
    if (process.hThread)
        CloseHandle(process.hThread);
    for (int i = 0; i < 200; ++i) {
        if (Writable(path) == writable)
            return true;
        Sleep(25);
    }
    return false;
}
} // namespace

std::string ImmutableFile::Unavailable() {
    if (!GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name"))
        return "not running on Wine";
    if (GetFileAttributesA(kChattr) == INVALID_FILE_ATTRIBUTES)
        return "no chattr on the host";
    // Wine runs as the host user; only root may make a file immutable.
    char user[256] = {};
    DWORD size = sizeof user;
    GetEnvironmentVariableA("USERNAME", user, size);
    if (std::string(user) != "root")
        return "not running as root (USERNAME=" + std::string(user) + ")";
    return "";
}

ImmutableFile::ImmutableFile(const std::string& path) : path_(path), hostPath_(HostPathOf(path)) {
    if (hostPath_.empty())
        throw std::runtime_error("no host path for " + path);
    if (!Chattr("+i", hostPath_, path_, false)) {
        Chattr("-i", hostPath_, path_, true);
        throw std::runtime_error("chattr +i did not make " + hostPath_ + " immutable");
    }
}

ImmutableFile::~ImmutableFile() {
    Chattr("-i", hostPath_, path_, true);
}
