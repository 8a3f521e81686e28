// Scratch places for the tests and the benchmark: a folder of their own under the system's
// temporary folder and scratch registry keys to which the process's HKEY_CURRENT_USER and
// HKEY_LOCAL_MACHINE are redirected, so that the program under test reaches only them; files
// written into them, and a run key filled with many values. Header only, without GoogleTest: the benchmark uses it too.
// Every failure throws std::runtime_error.
#pragma once

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>

// A name no other scratch place of any process has: the stem, the process, a count and the time.
inline std::string UniqueScratchName(const std::string& stem) {
    static std::atomic<unsigned> counter{0};
    return stem + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++counter) + "-" +
           std::to_string(GetTickCount());
}

// Creates or replaces a file with exactly these bytes.
inline void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        throw std::runtime_error("cannot create " + path);
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    if (!ok || written != bytes.size())
        throw std::runtime_error("cannot write " + path);
}

// Removes a folder (its path ending in a backslash) with everything in it, read-only files too.
inline void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..")
                continue;
            const std::string path = folder + name;
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path + "\\");
            else
                DeleteFileA(path.c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

// A folder of its own under the system's temporary folder, named after the stem, removed with
// everything in it at the end.
class ScratchFolder {
  public:
    explicit ScratchFolder(const std::string& stem = "dawnroll-test-") {
        char temp[MAX_PATH] = {};
        GetTempPathA(sizeof temp, temp);
        path_ = temp + UniqueScratchName(stem) + "\\";
        if (!CreateDirectoryA(path_.c_str(), nullptr))
            throw std::runtime_error("cannot create " + path_);
    }
    ~ScratchFolder() { RemoveTree(path_); }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    // The folder's path, ending in a backslash.
    const std::string& Path() const { return path_; }
    std::string File(const std::string& name) const { return path_ + name; }

  private:
    std::string path_;
};

// Redirects this process's HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE to two scratch keys below
// HKEY_CURRENT_USER\<parent>, so that the program's registry calls reach only them; the roots
// are restored and the keys removed at the end (and the parent with them when nothing else is
// left in it). WIN.INI's [windows] section, which the system maps to the user's registry, then
// lands in the scratch user key, provided the process made its first profile call before the
// redirection (the system looks the mapping up once, in the local machine's registry).
class RegistrySandbox {
  public:
    explicit RegistrySandbox(const std::string& parent = "Software\\DawnrollTests")
        : parent_(parent), base_(parent + "\\" + UniqueScratchName("sandbox-")) {
        Create(base_ + "\\HKCU", currentUser_);
        Create(base_ + "\\HKLM", localMachine_);
        Check(RegOverridePredefKey(HKEY_CURRENT_USER, currentUser_), "RegOverridePredefKey");
        Check(RegOverridePredefKey(HKEY_LOCAL_MACHINE, localMachine_), "RegOverridePredefKey");
    }
    ~RegistrySandbox() {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(localMachine_);
        RegCloseKey(currentUser_);
        RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, parent_.c_str()); // only when nothing else is left
    }
    RegistrySandbox(const RegistrySandbox&) = delete;
    RegistrySandbox& operator=(const RegistrySandbox&) = delete;
    // The scratch keys, reachable also while the roots are redirected elsewhere.
    HKEY CurrentUser() const { return currentUser_; }
    HKEY LocalMachine() const { return localMachine_; }

    // Whether the [windows] entries of the WIN.INI file land in the scratch user key: a probe
    // entry written through the profile call is looked for there, and removed again.
    bool HoldsWinIniEntriesOf(const std::string& winIni) const {
        const std::string probe = UniqueScratchName("DawnrollProbe-");
        if (!WritePrivateProfileStringA("windows", probe.c_str(), "mapped", winIni.c_str()))
            return false;
        char data[16] = {};
        DWORD size = sizeof data - 1;
        HKEY key = nullptr;
        const bool found = RegOpenKeyExA(currentUser_, "Software\\Microsoft\\Windows NT\\CurrentVersion\\Windows", 0,
                                         KEY_READ, &key) == ERROR_SUCCESS &&
                           RegQueryValueExA(key, probe.c_str(), nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                                            &size) == ERROR_SUCCESS;
        if (key)
            RegCloseKey(key);
        WritePrivateProfileStringA("windows", probe.c_str(), nullptr, winIni.c_str());
        return found && std::string(data) == "mapped";
    }

  private:
    static void Check(LONG status, const char* what) {
        if (status != ERROR_SUCCESS)
            throw std::runtime_error(std::string(what) + " failed: " + std::to_string(status));
    }
    static void Create(const std::string& path, HKEY& key) {
        Check(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              "RegCreateKeyEx");
    }

    std::string parent_;
    std::string base_;
    HKEY currentUser_ = nullptr;
    HKEY localMachine_ = nullptr;
};

// Creates the key below the (possibly redirected) root when needed and adds `count` string values
// to it, in order: "Program 00000" = "C:\Programs\Tool00000\tool.exe /start", and so on.
inline void FillRunKey(HKEY root, const std::string& path, int count) {
    HKEY key = nullptr;
    LONG status = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("RegCreateKeyEx " + path + " failed: " + std::to_string(status));
    char name[32];
    char data[64];
    for (int i = 0; i < count && status == ERROR_SUCCESS; ++i) {
        std::snprintf(name, sizeof name, "Program %05d", i);
        std::snprintf(data, sizeof data, "C:\\Programs\\Tool%05d\\tool.exe /start", i);
        status = RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(data),
                                static_cast<DWORD>(std::strlen(data) + 1));
    }
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("RegSetValueEx in " + path + " failed: " + std::to_string(status));
}
