// A realistic mix of autostart entries in every source Dawnroll reads, written into the Wine
// prefix (or Windows system) the calling program runs in. Used by the demo's seeding tool and by
// the end-to-end driver, which checks the program against the same entries.
// Every function throws std::runtime_error when the system refuses a write.
#pragma once

#include "sources/SystemInformation.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <stdexcept>
#include <string>
#include <vector>

namespace demo {

inline constexpr const char* kConfigSys = "C:\\CONFIG.SYS";
inline constexpr const char* kAutoexecBat = "C:\\AUTOEXEC.BAT";
inline constexpr const char* kRunKeyBase = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
inline constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Boot files: lines as written (each ends in CR LF), some already switched off with "REM ".
inline const std::vector<std::string> kConfigLines = {"DEVICE=C:\\WINDOWS\\HIMEM.SYS",
                                                      "REM DEVICE=C:\\WINDOWS\\EMM386.EXE NOEMS", "DOS=HIGH,UMB",
                                                      "FILES=40", "BUFFERS=20"};
inline const std::vector<std::string> kAutoexecLines = {"@ECHO OFF", "PROMPT $P$G",
                                                        "SET PATH=C:\\WINDOWS;C:\\WINDOWS\\COMMAND",
                                                        "REM LH C:\\MOUSE\\MOUSE.COM", "LH C:\\WINDOWS\\SMARTDRV.EXE"};

// WIN.INI, section [Windows]: semicolon lists of programs.
inline constexpr const char* kLoadPrograms = "C:\\Tools\\clock.exe;C:\\Program Files\\Weather\\weather.exe";
inline constexpr const char* kRunPrograms = "notepad.exe C:\\todo.txt;C:\\Tools\\reminder.exe";

// Startup folders: shortcut file name, target program (below the system folder), arguments.
struct Shortcut {
    const char* file;
    const char* program;
    const char* arguments;
};
inline const std::vector<Shortcut> kUserShortcuts = {{"Notepad.lnk", "notepad.exe", "C:\\todo.txt"},
                                                     {"Minesweeper.lnk", "winemine.exe", ""}};
inline const std::vector<Shortcut> kCommonShortcuts = {{"Command Prompt.lnk", "cmd.exe", ""},
                                                       {"Task Manager.lnk", "taskmgr.exe", ""}};

// Run keys: the five sections in the window's order, then, on a 64-bit system, the local
// machine's three keys of the 32-bit programs (under SOFTWARE\Wow6432Node).
struct RunValue {
    const char* name;
    const char* data;
    DWORD type;
};
struct RunKey {
    HKEY root;
    const char* name;
    std::vector<RunValue> values;
    bool wow6432Node = false;
};
inline const std::vector<RunKey> kRunKeys = {
    {HKEY_CURRENT_USER,
     "Run",
     {{"WeatherApplet", "\"C:\\Program Files\\Weather\\weather.exe\" /tray", REG_SZ},
      {"CloudBackup", "%ProgramFiles%\\Cloud Backup\\backup.exe --background", REG_EXPAND_SZ}}},
    {HKEY_CURRENT_USER, "RunOnce", {{"FinishSetup", "C:\\Setup\\finish.exe /quiet", REG_SZ}}},
    {HKEY_LOCAL_MACHINE,
     "Run",
     {{"SoundMixer", "C:\\WINDOWS\\mixer.exe /hide", REG_SZ},
      {"PrinterMonitor", "\"C:\\Program Files\\Printer\\monitor.exe\"", REG_SZ}}},
    {HKEY_LOCAL_MACHINE, "RunOnce", {{"UpdateCleanup", "C:\\WINDOWS\\TEMP\\cleanup.exe /silent", REG_SZ}}},
    {HKEY_LOCAL_MACHINE, "RunServices", {{"NetworkAgent", "C:\\WINDOWS\\SYSTEM\\netagent.exe -service", REG_SZ}}},
    {HKEY_LOCAL_MACHINE,
     "Run",
     {{"LegacyTray", "\"C:\\Program Files (x86)\\Legacy\\tray.exe\" /min", REG_SZ}},
     true},
    {HKEY_LOCAL_MACHINE, "RunOnce", {{"LegacyUpdate", "C:\\Program Files (x86)\\Legacy\\update.exe", REG_SZ}}, true},
    {HKEY_LOCAL_MACHINE, "RunServices", {{"LegacyAgent", "C:\\Program Files (x86)\\Legacy\\agent.exe", REG_SZ}}, true},
};

// The run keys this system's window shows: five, or eight on a 64-bit system.
inline std::vector<RunKey> RunKeysOfThisSystem() {
    std::vector<RunKey> keys;
    for (const auto& key : kRunKeys) {
        if (!key.wow6432Node || IsSystem64Bit())
            keys.push_back(key);
    }
    return keys;
}

inline void Check(bool ok, const std::string& what) {
    if (!ok)
        throw std::runtime_error(what + " failed (error " + std::to_string(GetLastError()) + ")");
}

inline void CheckStatus(LONG status, const std::string& what) {
    if (status != ERROR_SUCCESS)
        throw std::runtime_error(what + " failed (status " + std::to_string(status) + ")");
}

inline std::string JoinLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines)
        text += line + "\r\n";
    return text;
}

inline void WriteFileBytes(const std::string& path, const std::string& bytes) {
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    Check(file != INVALID_HANDLE_VALUE, "creating " + path);
    DWORD written = 0;
    const BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    Check(ok && written == bytes.size(), "writing " + path);
}

inline std::string WindowsFolder() {
    char folder[MAX_PATH] = {};
    GetWindowsDirectoryA(folder, sizeof folder);
    return folder;
}

inline std::string SystemFolder() {
    char folder[MAX_PATH] = {};
    GetSystemDirectoryA(folder, sizeof folder);
    return folder;
}

// The WIN.INI whose [Windows] section the program reads (on NT and Wine the section lives in
// HKCU\Software\Microsoft\Windows NT\CurrentVersion\Windows; the profile calls know that).
inline std::string WinIni() {
    return WindowsFolder() + "\\WIN.INI";
}

inline void SetWinIniEntry(const char* key, const char* programs) {
    Check(WritePrivateProfileStringA("Windows", key, programs, WinIni().c_str()) != FALSE,
          std::string("writing ") + key + " of WIN.INI");
}

inline std::string ReadWinIniEntry(const char* key) {
    std::vector<char> buffer(65536, '\0');
    const DWORD length = GetPrivateProfileStringA("Windows", key, "", buffer.data(), static_cast<DWORD>(buffer.size()),
                                                  WinIni().c_str());
    return std::string(buffer.data(), length);
}

// The Startup folder named by the Shell Folders value ("Startup" under HKCU, "Common Startup"
// under HKLM), created when missing. When the value itself is missing it is set to the folder
// the shell knows for the same purpose.
inline std::string StartupFolder(HKEY root, const char* valueName, int csidl) {
    HKEY key = nullptr;
    CheckStatus(RegCreateKeyExA(root, kShellFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                "opening Shell Folders");
    char folder[MAX_PATH] = {};
    DWORD size = sizeof folder - 1;
    DWORD type = 0;
    const LONG status = RegQueryValueExA(key, valueName, nullptr, &type, reinterpret_cast<BYTE*>(folder), &size);
    if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || folder[0] == '\0') {
        folder[0] = '\0';
        if (FAILED(SHGetFolderPathA(nullptr, csidl | CSIDL_FLAG_CREATE, nullptr, SHGFP_TYPE_CURRENT, folder))) {
            RegCloseKey(key);
            throw std::runtime_error(std::string("the shell knows no folder for ") + valueName);
        }
        const LONG written = RegSetValueExA(key, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(folder),
                                            static_cast<DWORD>(strlen(folder) + 1));
        RegCloseKey(key);
        CheckStatus(written, std::string("setting Shell Folders value ") + valueName);
    } else {
        RegCloseKey(key);
    }
    const std::string path = folder;
    // Create every missing folder along the path.
    for (std::size_t at = path.find('\\', 3); at != std::string::npos; at = path.find('\\', at + 1))
        CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
    CreateDirectoryA(path.c_str(), nullptr);
    Check((GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY) != 0 &&
              GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES,
          "creating " + path);
    return path;
}

inline std::string UserStartupFolder() {
    return StartupFolder(HKEY_CURRENT_USER, "Startup", CSIDL_STARTUP);
}
inline std::string CommonStartupFolder() {
    return StartupFolder(HKEY_LOCAL_MACHINE, "Common Startup", CSIDL_COMMON_STARTUP);
}

// Deletes every file (not sub-folders) of a folder.
inline void EmptyFolder(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        const std::string path = folder + "\\" + found.cFileName;
        SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(path.c_str());
    } while (FindNextFileA(find, &found));
    FindClose(find);
}

// A shell link (.lnk) at path pointing at a program, with arguments. COM must be initialised.
inline void CreateShortcut(const std::string& path, const std::string& program, const std::string& arguments) {
    IShellLinkA* link = nullptr;
    HRESULT result = CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                      reinterpret_cast<void**>(&link));
    if (FAILED(result))
        throw std::runtime_error("creating a shell link object failed");
    link->SetPath(program.c_str());
    link->SetArguments(arguments.c_str());
    const auto slash = program.rfind('\\');
    if (slash != std::string::npos)
        link->SetWorkingDirectory(program.substr(0, slash).c_str());
    IPersistFile* file = nullptr;
    result = link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    if (SUCCEEDED(result)) {
        std::wstring widePath(path.size() + 1, L'\0');
        MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, &widePath[0], static_cast<int>(widePath.size()));
        result = file->Save(widePath.c_str(), TRUE);
        file->Release();
    }
    link->Release();
    if (FAILED(result))
        throw std::runtime_error("saving shortcut " + path + " failed");
}

inline void FillStartupFolder(const std::string& folder, const std::vector<Shortcut>& shortcuts) {
    EmptyFolder(folder);
    for (const auto& shortcut : shortcuts)
        CreateShortcut(folder + "\\" + shortcut.file, SystemFolder() + "\\" + shortcut.program, shortcut.arguments);
}

inline std::string RunKeyPath(const char* keyName) {
    return std::string(kRunKeyBase) + keyName;
}
inline std::string RunKeyPath(const RunKey& runKey) {
    return runKey.wow6432Node ? "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\" + std::string(runKey.name)
                              : RunKeyPath(runKey.name);
}
// The local machine's keys are opened in the native view, where each path names one key for
// the 32-bit and the 64-bit seeder alike.
inline REGSAM ViewOf(HKEY root) {
    return root == HKEY_LOCAL_MACHINE ? KEY_WOW64_64KEY : 0;
}

// Removes every value of a run key (the key itself stays, created when missing).
inline void ClearRunKeyAt(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    CheckStatus(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | ViewOf(root), nullptr, &key, nullptr),
                "opening run key " + path);
    for (;;) {
        char name[16384];
        DWORD length = sizeof name;
        if (RegEnumValueA(key, 0, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        if (RegDeleteValueA(key, name) != ERROR_SUCCESS)
            break;
    }
    RegCloseKey(key);
}

inline void ClearRunKey(HKEY root, const char* keyName) {
    ClearRunKeyAt(root, RunKeyPath(keyName));
}

inline void SetRunValueAt(HKEY root, const std::string& path, const RunValue& value) {
    HKEY key = nullptr;
    CheckStatus(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | ViewOf(root), nullptr, &key, nullptr),
                "opening run key " + path);
    const LONG status = RegSetValueExA(key, value.name, 0, value.type, reinterpret_cast<const BYTE*>(value.data),
                                       static_cast<DWORD>(strlen(value.data) + 1));
    RegCloseKey(key);
    CheckStatus(status, std::string("setting run value ") + value.name);
}

inline void SetRunValue(HKEY root, const char* keyName, const RunValue& value) {
    SetRunValueAt(root, RunKeyPath(keyName), value);
}

inline void SeedRunKey(const RunKey& runKey) {
    ClearRunKeyAt(runKey.root, RunKeyPath(runKey));
    for (const auto& value : runKey.values)
        SetRunValueAt(runKey.root, RunKeyPath(runKey), value);
}

// Wine runs and empties the local machine's RunOnce key each time a prefix starts; this puts
// the example back.
inline void SeedMachineRunOnce() {
    for (const auto& runKey : RunKeysOfThisSystem()) {
        if (runKey.root == HKEY_LOCAL_MACHINE && std::string(runKey.name) == "RunOnce")
            SeedRunKey(runKey);
    }
}

// Writes every source anew: earlier contents of the run keys and Startup folders are removed.
inline void SeedAll() {
    WriteFileBytes(kConfigSys, JoinLines(kConfigLines));
    WriteFileBytes(kAutoexecBat, JoinLines(kAutoexecLines));
    SetWinIniEntry("Load", kLoadPrograms);
    SetWinIniEntry("Run", kRunPrograms);
    FillStartupFolder(UserStartupFolder(), kUserShortcuts);
    FillStartupFolder(CommonStartupFolder(), kCommonShortcuts);
    for (const auto& runKey : RunKeysOfThisSystem())
        SeedRunKey(runKey);
}

} // namespace demo
