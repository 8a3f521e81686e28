// Dawnroll's benchmark: refresh time against the platform's own reads of the same sources,
// start-up time against a bare window, toggle latency at 10,000 entries, and the process's
// object counts and private bytes across 1,000 refreshes and 1,000 toggles.
//
//   bench.exe [DAWNROLL_EXE BARE_WINDOW_EXE]
//
// The refresh, toggle and staying-power figures use scratch sources only: a temporary folder
// for the files and scratch registry keys under HKCU\Software\DawnrollBench, to which this
// process's HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE are redirected. The start-up figures
// start the real program, which reads the system's own places; they are measured only in a Wine
// prefix the project's scripts made to be thrown away (make bench makes one).
#include "ProcessWindow.h"
#include "ScratchPlaces.h"
#include "SectionLoads.h"
#include "ThrowawayPrefix.h"

#include "DemoSeed.h"

#include "sources/BootFile.h"
#include "sources/IniList.h"
#include "sources/RunKey.h"
#include "sources/StartupFolder.h"
#include "sources/SystemInformation.h"
#include "ui/ControlMessages.h"
#include "ui/Dawnroll.h"

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <psapi.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
// ---------------------------------------------------------------------------------------------
// Time and statistics.
double NowMs() {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / frequency;
}

double TimeMs(const std::function<void()>& work) {
    const double start = NowMs();
    work();
    return NowMs() - start;
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const std::size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string Format(const char* format, ...) {
    char buffer[512];
    va_list arguments;
    va_start(arguments, format);
    vsnprintf(buffer, sizeof buffer, format, arguments);
    va_end(arguments);
    return buffer;
}

void Say(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

void Check(bool condition, const std::string& what) {
    if (!condition)
        throw std::runtime_error("benchmark check failed: " + what);
}

void CheckStatus(LONG status, const std::string& what) {
    if (status != ERROR_SUCCESS)
        throw std::runtime_error(what + " failed: " + std::to_string(status));
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// ---------------------------------------------------------------------------------------------
// Files and registry.
// The floor's file read: the whole file through ReadFile in 64 KiB pieces.
std::string ReadWholeFile(const std::string& path) {
    std::string bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    static char chunk[64 * 1024];
    DWORD read = 0;
    while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0)
        bytes.append(chunk, read);
    CloseHandle(file);
    return bytes;
}

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& data) {
    HKEY key = nullptr;
    CheckStatus(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
                "RegCreateKeyEx " + path);
    const LONG status = RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
    CheckStatus(status, "RegSetValueEx " + name);
}

bool ValueExists(HKEY root, const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    const bool exists = RegQueryValueExA(key, name.c_str(), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
    RegCloseKey(key);
    return exists;
}

constexpr const char* kRunKeyBase = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\";
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

struct RunKeyPlace {
    HKEY root;
    const char* name;
};
const RunKeyPlace kRunKeys[] = {{HKEY_CURRENT_USER, "Run"},
                                {HKEY_CURRENT_USER, "RunOnce"},
                                {HKEY_LOCAL_MACHINE, "Run"},
                                {HKEY_LOCAL_MACHINE, "RunOnce"},
                                {HKEY_LOCAL_MACHINE, "RunServices"}};

std::string RunKeyPathOf(const RunKeyPlace& place) {
    return std::string(kRunKeyBase) + place.name;
}

// The scratch places (ScratchPlaces.h): this process's HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE
// redirected to scratch keys under HKCU\Software\DawnrollBench, and a temporary folder.
constexpr const char* kBenchKeys = "Software\\DawnrollBench";
constexpr const char* kBenchFolderStem = "dawnroll-bench-";

// WIN.INI's [windows] section, which the system maps to HKCU\Software\Microsoft\Windows
// NT\CurrentVersion\Windows, must follow the redirection into the sandbox: the WIN.INI figures
// are those of the mapped entries, and the benchmark writes no user's own entries. Stops the
// benchmark otherwise.
void CheckIniMappingFollows(const RegistrySandbox& registry, const std::string& winIni) {
    Check(registry.HoldsWinIniEntriesOf(winIni),
          "WIN.INI's [windows] entries land in the scratch keys (" + winIni + ")");
}

// ---------------------------------------------------------------------------------------------
// The sources, n entries per section.
std::string BootLine(int file, int i) {
    return file == 0 ? Format("DEVICEHIGH=C:\\DRIVERS\\DRIVER%05d.SYS /V", i)
                     : Format("C:\\TOOLS\\TOOL%05d.EXE /QUIET", i);
}
// Wine's profile calls return a [windows] value (mapped to the registry) whole only up to
// 32,767 characters (longer values come back cut at their length modulo 65,536 bytes), so the
// WIN.INI entries hold at most 1,000 programs (24,000 characters) at every size.
constexpr int kMostIniPrograms = 1000;
int IniCount(int n) {
    return std::min(n, kMostIniPrograms);
}
std::string IniProgram(int key, int i) {
    return Format("C:\\APPS\\%s%05d.EXE", key == 0 ? "LOADER" : "RUNNER", i);
}
std::string StartupFileName(int i) {
    return Format("Program%05d.bat", i);
}
std::string RunValueName(int i) {
    return Format("Program%05d", i);
}
std::string RunValueData(int i) {
    return Format("\"C:\\Program Files\\Vendor%05d\\program.exe\" /background", i);
}

class BenchSources {
  public:
    explicit BenchSources(const std::string& root)
        : configSys_(root + "CONFIG.SYS"), autoexecBat_(root + "AUTOEXEC.BAT"),
          windows_(root + "Windows\\"), startup_{root + "Startup\\", root + "CommonStartup\\"} {
        Check(CreateDirectoryA(windows_.c_str(), nullptr) != 0, "create " + windows_);
        for (const auto& folder : startup_)
            Check(CreateDirectoryA(folder.c_str(), nullptr) != 0, "create " + folder);
        SetString(HKEY_CURRENT_USER, kShellFolders, "Startup", startup_[0].substr(0, startup_[0].size() - 1));
        SetString(HKEY_LOCAL_MACHINE, kShellFolders, "Common Startup", startup_[1].substr(0, startup_[1].size() - 1));
    }

    SourceLocators Locators() const {
        SourceLocators locators;
        locators.configSys = configSys_;
        locators.autoexecBat = autoexecBat_;
        const std::string windows = windows_;
        locators.windowsFolder = [windows] { return windows; };
        return locators;
    }
    const std::string& ConfigSys() const { return configSys_; }
    const std::string& AutoexecBat() const { return autoexecBat_; }
    std::string WinIni() const { return windows_ + "WIN.INI"; }
    const std::string& StartupFolder(int which) const { return startup_[which]; }
    int Filled() const { return filled_; }

    void Fill(int n) {
        for (int file = 0; file < 2; ++file) {
            std::string text;
            for (int i = 0; i < n; ++i)
                text += BootLine(file, i) + "\r\n";
            WriteBytes(file == 0 ? configSys_ : autoexecBat_, text);
        }
        for (int key = 0; key < 2; ++key) {
            std::string list;
            for (int i = 0; i < IniCount(n); ++i)
                list += (i ? ";" : "") + IniProgram(key, i);
            Check(WritePrivateProfileStringA("windows", key == 0 ? "Load" : "Run", list.c_str(), WinIni().c_str()) != 0,
                  "WritePrivateProfileString");
        }
        for (const auto& folder : startup_) {
            for (int i = 0; i < n; ++i) {
                const std::string path = folder + StartupFileName(i);
                if (!Exists(path))
                    WriteBytes(path, "@echo off\r\n");
            }
            for (int i = n; i < filled_; ++i)
                DeleteFileA((folder + StartupFileName(i)).c_str());
        }
        for (const auto& place : kRunKeys) {
            RegDeleteTreeA(place.root, RunKeyPathOf(place).c_str());
            HKEY key = nullptr;
            CheckStatus(RegCreateKeyExA(place.root, RunKeyPathOf(place).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                        &key, nullptr),
                        "RegCreateKeyEx run key");
            for (int i = 0; i < n; ++i) {
                const std::string data = RunValueData(i);
                RegSetValueExA(key, RunValueName(i).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                               static_cast<DWORD>(data.size() + 1));
            }
            RegCloseKey(key);
        }
        filled_ = n;
    }

  private:
    std::string configSys_, autoexecBat_, windows_;
    std::string startup_[2];
    int filled_ = 0;
};

// ---------------------------------------------------------------------------------------------
// The floor: the same platform reads, done bare, with no window. Times per kind of source.
struct Parts {
    double boot = 0, ini = 0, startup = 0, run = 0;
    // Of the program's Startup time, the part spent reading the folders with the shell's names and
    // icons (the rest fills the lists); not counted again in the total.
    double startupRead = 0;
    double Total() const { return boot + ini + startup + run; }
};

std::size_t volatile sink = 0; // keeps the reads from being optimised away

Parts FloorReads(const BenchSources& sources) {
    Parts parts;
    parts.boot = TimeMs([&] {
        sink += ReadWholeFile(sources.ConfigSys()).size();
        sink += ReadWholeFile(sources.AutoexecBat()).size();
    });
    parts.ini = TimeMs([&] {
        static std::vector<char> buffer(4 * 1024 * 1024);
        for (const char* key : {"Load", "Run"})
            sink += GetPrivateProfileStringA("Windows", key, "", buffer.data(), static_cast<DWORD>(buffer.size()),
                                             sources.WinIni().c_str());
    });
    parts.startup = TimeMs([&] {
        const struct {
            HKEY root;
            const char* value;
        } places[] = {{HKEY_CURRENT_USER, "Startup"}, {HKEY_LOCAL_MACHINE, "Common Startup"}};
        for (const auto& place : places) {
            HKEY key = nullptr;
            if (RegOpenKeyExA(place.root, kShellFolders, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
                continue;
            char folder[MAX_PATH] = {};
            DWORD size = sizeof folder - 1;
            RegQueryValueExA(key, place.value, nullptr, nullptr, reinterpret_cast<BYTE*>(folder), &size);
            RegCloseKey(key);
            const std::string base = std::string(folder) + "\\";
            WIN32_FIND_DATAA found;
            HANDLE find = FindFirstFileA((base + "*.*").c_str(), &found);
            if (find == INVALID_HANDLE_VALUE)
                continue;
            do {
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    continue;
                SHFILEINFOA info = {};
                SHGetFileInfoA((base + found.cFileName).c_str(), 0, &info, sizeof info,
                               SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME | SHGFI_SMALLICON);
                sink += info.iIcon;
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
    });
    parts.run = TimeMs([&] {
        for (const auto& place : kRunKeys) {
            HKEY key = nullptr;
            if (RegOpenKeyExA(place.root, RunKeyPathOf(place).c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
                continue;
            char name[16384];
            static char data[64 * 1024];
            for (DWORD index = 0;; ++index) {
                DWORD nameLength = sizeof name;
                if (RegEnumValueA(key, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                    break;
                DWORD type = 0, size = sizeof data;
                RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
                sink += size;
            }
            RegCloseKey(key);
        }
    });
    return parts;
}

// The program's refresh, in the parts RefreshAll is made of: every section of the window's table
// loaded in its order, as RefreshAll loads them, each timed under its kind of source.
Parts RefreshParts(TFormDawnroll& form) {
    Parts parts;
    for (int number = 1; number <= form.SectionCount(); ++number) {
        Section& section = form.GroupBoxN(number);
        switch (section.Design().source.kind) {
        case SectionKind::BootFile:
            parts.boot += TimeMs([&] { section.Load(); });
            break;
        case SectionKind::IniList:
            parts.ini += TimeMs([&] { section.Load(); });
            break;
        case SectionKind::StartupFolder: {
            auto& folder = static_cast<StartupFolderSection&>(section);
            parts.startup += TimeMs([&] {
                folder.LoadStartupFolder([&] {
                    StartupFolderListing listing;
                    parts.startupRead += TimeMs([&] {
                        const StartupFolderPlace place = StartupFolderPlaceOf(folder.Which());
                        listing = ReadStartupFolder(place.valueName, place.root);
                    });
                    return listing;
                });
            });
            break;
        }
        case SectionKind::RegistryKey:
            parts.run += TimeMs([&] { section.Load(); });
            break;
        }
    }
    return parts;
}

void CheckLoaded(TFormDawnroll& form, int n) {
    for (int i = 1; i <= 4; ++i) {
        const int lines = i <= 2 ? n : IniCount(n);
        Check(form.CheckListBoxN(i).Count() == lines, Format("check list %d holds %d lines", i, lines));
    }
    for (int i = 1; i <= 7; ++i)
        Check(form.ListViewN(i).Count() == n, Format("list view %d holds %d rows", i, n));
}

// ---------------------------------------------------------------------------------------------
// Settings from the environment, for shorter runs while profiling.
int EnvironmentNumber(const char* name, int fallback) {
    const char* text = std::getenv(name);
    return text && *text ? std::atoi(text) : fallback;
}

// The comma-separated numbers of an environment variable, or of the fallback when it is unset.
std::vector<int> NumberList(const char* name, const char* fallback) {
    const char* text = std::getenv(name);
    std::string list = text && *text ? text : fallback;
    std::vector<int> sizes;
    for (std::size_t start = 0; start < list.size();) {
        const std::size_t comma = std::min(list.find(',', start), list.size());
        sizes.push_back(std::atoi(list.substr(start, comma - start).c_str()));
        start = comma + 1;
    }
    return sizes;
}

// DAWNROLL_BENCH_SIZES: the entries per section of the refresh table, "10,100,1000,10000".
std::vector<int> Sizes() {
    return NumberList("DAWNROLL_BENCH_SIZES", "10,100,1000,10000");
}

// DAWNROLL_BENCH_PARTS: which measurements run, any of "startup,refresh,toggle,staying" and of the
// single sections' "bootfile,inilist,folder,runkey"; all when unset.
bool PartWanted(const char* part) {
    const char* text = std::getenv("DAWNROLL_BENCH_PARTS");
    return !text || !*text || std::string(text).find(part) != std::string::npos;
}

// ---------------------------------------------------------------------------------------------
// 1. RefreshAll against the floor.
void MeasureRefresh(TFormDawnroll& form, BenchSources& sources) {
    Say("\n1. RefreshAll against the floor (the same platform reads, bare, no window); medians\n");
    Say("   entries/section | floor ms | RefreshAll ms | then painted ms | ratio | floor x/10x | "
        "refresh x/10x\n");
    std::vector<std::string> breakdown, startupSplit;
    double lastFloor = 0, lastRefresh = 0;
    for (int n : Sizes()) {
        sources.Fill(n);
        const int runs = n >= 10000 ? 1 : n >= 1000 ? 3 : 7;
        std::vector<double> floors, refreshes, paints;
        std::vector<Parts> floorParts, refreshParts;
        if (n < 10000) {
            // First touch of the new data, not counted (at 10,000 one pass takes minutes).
            FloorReads(sources);
            form.RefreshAll();
            PumpMessages();
        }
        for (int run = 0; run < runs; ++run) {
            floorParts.push_back(FloorReads(sources));
            floors.push_back(floorParts.back().Total());
            refreshes.push_back(TimeMs([&] { form.RefreshAll(); }));
            paints.push_back(TimeMs([&] { PumpMessages(); }));
            CheckLoaded(form, n);
            refreshParts.push_back(RefreshParts(form));
            PumpMessages();
        }
        const double floor = Median(floors), refresh = Median(refreshes);
        Say(Format("   %15d | %8.1f | %13.1f | %15.1f | %5.2f | %11s | %13s\n", n, floor, refresh, Median(paints),
                   refresh / floor, lastFloor ? Format("%.1f", floor / lastFloor).c_str() : "-",
                   lastRefresh ? Format("%.1f", refresh / lastRefresh).c_str() : "-"));
        auto medianOf = [](const std::vector<Parts>& all, double Parts::*part) {
            std::vector<double> values;
            for (const auto& parts : all)
                values.push_back(parts.*part);
            return Median(values);
        };
        breakdown.push_back(Format("   %15d | %6.1f / %6.1f | %6.1f / %6.1f | %7.1f / %7.1f | %6.1f / %6.1f\n", n,
                                   medianOf(refreshParts, &Parts::boot), medianOf(floorParts, &Parts::boot),
                                   medianOf(refreshParts, &Parts::ini), medianOf(floorParts, &Parts::ini),
                                   medianOf(refreshParts, &Parts::startup), medianOf(floorParts, &Parts::startup),
                                   medianOf(refreshParts, &Parts::run), medianOf(floorParts, &Parts::run)));
        std::vector<double> startupFills;
        for (const auto& parts : refreshParts)
            startupFills.push_back(parts.startup - parts.startupRead);
        startupSplit.push_back(Format("   %15d | %12.1f | %12.1f | %12.1f\n", n,
                                      medianOf(refreshParts, &Parts::startupRead), Median(startupFills),
                                      medianOf(floorParts, &Parts::startup)));
        lastFloor = floor;
        lastRefresh = refresh;
    }
    Say("\n   By kind of source, program loaders / floor reads, ms (medians):\n");
    Say("   entries/section | boot files (2)  | WIN.INI (2)     | Startup (2)       | run keys "
        "(5)\n");
    for (const auto& line : breakdown)
        Say(line);
    Say("\n   The program's Startup time split: reading the folders with the shell / filling the lists, ms:\n");
    Say("   entries/section | program read | lists filled | floor reads\n");
    for (const auto& line : startupSplit)
        Say(line);
}

// ---------------------------------------------------------------------------------------------
// 3. Toggle latency: one check mark changed, the source written, through the list's own path.
struct ToggleTimes {
    std::vector<double> off, on;
};

void Toggle(CheckListBox& list, int index) {
    list.ToggleByUser(index);
}

void MeasureToggles(TFormDawnroll& form, BenchSources& sources, int n) {
    Say(Format("\n3. Toggle latency at %d entries per section (one mark changed, the source "
               "written), ms\n",
               n));
    Say("   section kind        | uncheck median (min..max) | check again median (min..max)\n");
    const int rounds = 7;
    auto report = [](const char* kind, const ToggleTimes& times) {
        auto span = [](const std::vector<double>& values) {
            if (values.empty())
                return std::string("  (not applicable)");
            return Format("%8.2f (%.2f..%.2f)", Median(values), *std::min_element(values.begin(), values.end()),
                          *std::max_element(values.begin(), values.end()));
        };
        Say(Format("   %-19s | %-25s | %s\n", kind, span(times.off).c_str(), span(times.on).c_str()));
    };
    {
        ToggleTimes times;
        CheckListBox& list = form.CheckListBoxN(1);
        for (int round = 0; round < rounds; ++round) {
            const int index = n / 2 + round;
            times.off.push_back(TimeMs([&] { Toggle(list, index); }));
            Check(ReadWholeFile(sources.ConfigSys()).find("REM " + BootLine(0, index)) != std::string::npos,
                  "boot line switched off in the file");
            times.on.push_back(TimeMs([&] { Toggle(list, index); }));
            Check(ReadWholeFile(sources.ConfigSys()).find("REM " + BootLine(0, index)) == std::string::npos,
                  "boot line switched on in the file");
            PumpMessages();
        }
        report("boot file", times);
    }
    {
        ToggleTimes times;
        CheckListBox& list = form.CheckListBoxN(3);
        std::vector<char> buffer(4 * 1024 * 1024);
        auto listed = [&](int index) {
            GetPrivateProfileStringA("Windows", "Load", "", buffer.data(), static_cast<DWORD>(buffer.size()),
                                     sources.WinIni().c_str());
            return std::string(buffer.data()).find(IniProgram(0, index) + ";") != std::string::npos;
        };
        for (int round = 0; round < rounds; ++round) {
            const int index = IniCount(n) / 2 + round;
            times.off.push_back(TimeMs([&] { Toggle(list, index); }));
            Check(!listed(index), "program removed from WIN.INI");
            times.on.push_back(TimeMs([&] { Toggle(list, index); }));
            Check(listed(index), "program back in WIN.INI");
            PumpMessages();
        }
        report("WIN.INI", times);
    }
    {
        ToggleTimes times;
        EntryListView& list = form.ListViewN(3);
        const std::string path = RunKeyPathOf(kRunKeys[0]);
        for (int round = 0; round < rounds; ++round) {
            const int row = n / 2 + round;
            const std::string name = list.Caption(row);
            times.off.push_back(TimeMs([&] { list.SetChecked(row, false); }));
            Check(!ValueExists(HKEY_CURRENT_USER, path, name), "run value deleted");
            times.on.push_back(TimeMs([&] { list.SetChecked(row, true); }));
            Check(ValueExists(HKEY_CURRENT_USER, path, name), "run value written back");
            PumpMessages();
        }
        report("run key", times);
    }
    {
        ToggleTimes times;
        EntryListView& list = form.ListViewN(1);
        for (int round = 0; round < rounds; ++round) {
            const int row = n / 2 + round;
            const std::string path = list.Fullname(row);
            times.off.push_back(TimeMs([&] { list.SetChecked(row, false); }));
            Check(!Exists(path), "startup file deleted");
            PumpMessages(); // the row goes once the list has finished its report
            WriteBytes(path, "@echo off\r\n");
        }
        report("startup file", times);
        Say("   (a Startup-folder row cannot be checked again: unchecking deletes the file and the "
            "row)\n");
    }
}

// ---------------------------------------------------------------------------------------------
// 4. Staying power.
struct Usage {
    DWORD gdi = 0, user = 0, handles = 0;
    SIZE_T privateBytes = 0;
    // Counted by the process itself, since Wine answers 0 to the counters above.
    unsigned long openHandles = 0;
    unsigned long long heapBytes = 0;
};

// Kernel handles open in this process: every handle value that the system recognises.
unsigned long CountOpenHandles() {
    unsigned long count = 0;
    for (ULONG_PTR value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags))
            ++count;
    }
    return count;
}

// Bytes allocated in all of the process's heaps.
unsigned long long HeapBytesInUse() {
    HANDLE heaps[64];
    const DWORD count = GetProcessHeaps(64, heaps);
    unsigned long long bytes = 0;
    for (DWORD i = 0; i < count && i < 64; ++i) {
        PROCESS_HEAP_ENTRY entry = {};
        if (!HeapLock(heaps[i]))
            continue;
        while (HeapWalk(heaps[i], &entry)) {
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                bytes += entry.cbData;
        }
        HeapUnlock(heaps[i]);
    }
    return bytes;
}

Usage ReadUsage() {
    Usage usage;
    usage.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    usage.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    GetProcessHandleCount(GetCurrentProcess(), &usage.handles);
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        usage.privateBytes = memory.PrivateUsage;
    usage.openHandles = CountOpenHandles();
    usage.heapBytes = HeapBytesInUse();
    return usage;
}

// Windows of this thread and their children: a USER-object count that does not depend on
// GetGuiResources.
BOOL CALLBACK CountChild(HWND, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    EnumChildWindows(window, CountChild, count);
    return TRUE;
}

int CountWindows() {
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), CountTopLevel, reinterpret_cast<LPARAM>(&count));
    return count;
}

void SayUsage(const char* when, const Usage& usage) {
    Say(Format("   %-30s | %8lu | %9lu | %7lu | %13lu | %7d | %12lu | %10llu\n", when, usage.gdi, usage.user,
               usage.handles, static_cast<unsigned long>(usage.privateBytes), CountWindows(), usage.openHandles,
               usage.heapBytes));
}

void MeasureStayingPower(TFormDawnroll& form, BenchSources& sources, int n) {
    Say(Format("\n4. Staying power at %d entries per section\n", n));
    Say("   after                          | GDI objs | USER objs | handles | private bytes | "
        "windows | open handles | heap bytes\n");
    sources.Fill(n);
    // Warm-up: the first cycles fill the system's own caches (icons, profile files).
    for (int i = 0; i < 20; ++i) {
        form.RefreshAll();
        PumpMessages();
    }
    CheckLoaded(form, n);
    const Usage start = ReadUsage();
    SayUsage("warm-up (20 RefreshAll)", start);
    double refreshTime = 0;
    for (int cycle = 1; cycle <= 1000; ++cycle) {
        refreshTime += TimeMs([&] { form.RefreshAll(); });
        PumpMessages();
        if (cycle == 500 || cycle == 1000)
            SayUsage(Format("+%d RefreshAll", cycle).c_str(), ReadUsage());
    }
    CheckLoaded(form, n);
    const Usage afterRefresh = ReadUsage();
    // 1,000 toggles: boot file, WIN.INI and run key off and on again, Startup file off (the
    // file is put back and the section reloaded, outside the count).
    const int middle = n / 2;
    int toggles = 0;
    bool halfway = false;
    while (toggles < 1000) {
        for (int kind = 0; kind < 4 && toggles < 1000; ++kind) {
            switch (kind) {
            case 0:
                Toggle(form.CheckListBoxN(1), middle);
                Toggle(form.CheckListBoxN(1), middle);
                toggles += 2;
                break;
            case 1:
                Toggle(form.CheckListBoxN(3), middle);
                Toggle(form.CheckListBoxN(3), middle);
                toggles += 2;
                break;
            case 2:
                form.ListViewN(3).SetChecked(middle, false);
                form.ListViewN(3).SetChecked(middle, true);
                toggles += 2;
                break;
            case 3: {
                const std::string path = form.ListViewN(1).Fullname(middle);
                form.ListViewN(1).SetChecked(middle, false);
                ++toggles;
                PumpMessages();
                WriteBytes(path, "@echo off\r\n");
                form.SectionN<StartupFolderSection>(5).LoadStartupFolder();
                break;
            }
            }
            PumpMessages();
        }
        if (!halfway && toggles >= 500) {
            halfway = true;
            SayUsage(Format("+%d toggles", toggles).c_str(), ReadUsage());
        }
    }
    SayUsage(Format("+%d toggles", toggles).c_str(), ReadUsage());
    form.RefreshAll();
    PumpMessages();
    CheckLoaded(form, n);
    const Usage end = ReadUsage();
    SayUsage("+1 RefreshAll (end)", end);
    const auto sayGrowth = [](const char* over, const Usage& from, const Usage& to) {
        Say(Format("   growth over the 1,000 %-11s GDI %+ld, USER %+ld, handles %+ld, private bytes %+ld, "
                   "open handles %+ld, heap bytes %+lld\n",
                   over, static_cast<long>(to.gdi) - static_cast<long>(from.gdi),
                   static_cast<long>(to.user) - static_cast<long>(from.user),
                   static_cast<long>(to.handles) - static_cast<long>(from.handles),
                   static_cast<long>(to.privateBytes) - static_cast<long>(from.privateBytes),
                   static_cast<long>(to.openHandles) - static_cast<long>(from.openHandles),
                   static_cast<long long>(to.heapBytes) - static_cast<long long>(from.heapBytes)));
    };
    sayGrowth("RefreshAll:", start, afterRefresh);
    sayGrowth("toggles:", afterRefresh, end);
    Say(Format("   (mean RefreshAll over the 1,000 cycles: %.2f ms)\n", refreshTime / 1000));
}

// ---------------------------------------------------------------------------------------------
// 2. Start-up, measured from outside, at n entries per section in the system's own places.
// Two moments after CreateProcess:
//   usable:   the program's window is visible, nothing of it is left to paint, every list in
//             sight holds its rows, and the program answers a message at once;
//   complete: every list holds every row, nothing is left to paint, and the process is idle
//             (WaitForInputIdle).
// A bare window reaches both at once.
struct StartupTimes {
    double usable = 0, complete = 0;
};

HWND MainWindowOf(DWORD processId, const char* className) {
    return FindProcessWindow(processId, className, true);
}

// What the benchmark sees of a window from outside: its lists (list boxes and report lists) with
// their row counts, and whether anything of it is left to paint.
struct Seen {
    bool painted = true;
    bool inSightFilled = true;
    bool allFilled = true;
    int lists = 0;
};

struct SeenSearch {
    HWND main;
    RECT client; // in screen coordinates
    int expected;
    Seen seen;
};

BOOL CALLBACK SeeChild(HWND child, LPARAM data) {
    auto* search = reinterpret_cast<SeenSearch*>(data);
    if (!IsWindowVisible(child))
        return TRUE;
    RECT update;
    if (GetUpdateRect(child, &update, FALSE))
        search->seen.painted = false;
    char name[64] = {};
    GetClassNameA(child, name, sizeof name);
    const bool listBox = _stricmp(name, "ListBox") == 0;
    if (!listBox && _stricmp(name, WC_LISTVIEWA) != 0)
        return TRUE;
    ++search->seen.lists;
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutA(child, listBox ? LB_GETCOUNT : LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 60000, &count))
        count = 0;
    const bool filled = static_cast<int>(count) == search->expected;
    search->seen.allFilled &= filled;
    RECT place, overlap;
    GetWindowRect(child, &place);
    if (IntersectRect(&overlap, &place, &search->client))
        search->seen.inSightFilled &= filled;
    return TRUE;
}

Seen See(HWND window, int expected) {
    SeenSearch search = {window, {}, expected, {}};
    GetClientRect(window, &search.client);
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&search.client), 2);
    RECT update;
    search.seen.painted = !GetUpdateRect(window, &update, FALSE);
    EnumChildWindows(window, &SeeChild, reinterpret_cast<LPARAM>(&search));
    return search.seen;
}

bool Answers(HWND window) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 50, &result) != 0;
}

// `expected`: the rows every list of the program holds once loaded (0 for the bare windows).
StartupTimes LaunchAndTime(const std::string& program, const char* className, int expected) {
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    std::string commandLine = "\"" + program + "\"";
    const double start = NowMs();
    Check(CreateProcessA(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                         &process) != 0,
          "CreateProcess " + program);
    StartupTimes times;
    HWND window = nullptr;
    for (;;) {
        Check(NowMs() - start < 120000, program + " loaded and painted within two minutes");
        if (!window)
            window = MainWindowOf(process.dwProcessId, className);
        // While the window says it is still loading, only its mark is read (no message): asking
        // each list for its rows every moment would keep the window answering and slow what is timed.
        if (window && times.usable && GetPropW(window, kLoadingProperty)) {
            Sleep(1);
            continue;
        }
        if (window) {
            const Seen seen = See(window, expected);
            if (seen.painted && !times.usable && seen.inSightFilled && Answers(window))
                times.usable = NowMs() - start;
            // Sections not read yet may have no list at all: the window says when all are.
            if (seen.painted && seen.allFilled && !GetPropW(window, kLoadingProperty) &&
                WaitForInputIdle(process.hProcess, 0) == 0 && See(window, expected).painted) {
                times.complete = NowMs() - start;
                if (!times.usable)
                    times.usable = times.complete;
                break;
            }
        }
        Sleep(1);
    }
    PostMessageA(window, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process.hProcess, 20000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return times;
}

// n entries in each of the system's autostart places the program shows, the earlier contents
// saved and put back at the end: n lines in each boot file, n programs in each WIN.INI entry,
// n files in each Startup folder (every tenth a shortcut, the rest batch files) and n values in
// each run key of this system.
class SeededPlaces {
  public:
    SeededPlaces() {
        winIni_ = demo::WinIni();
        for (const char* path : {demo::kConfigSys, demo::kAutoexecBat})
            saved_.push_back({path, Exists(path), ReadWholeFile(path)});
        for (const char* key : {"Load", "Run"})
            oldIni_.push_back(demo::ReadWinIniEntry(key));
        folders_ = {demo::UserStartupFolder() + "\\", demo::CommonStartupFolder() + "\\"};
        for (const auto& key : demo::RunKeysOfThisSystem())
            runKeys_.push_back({key.root, demo::RunKeyPath(key)});
        // Whatever else the places hold would change the counts.
        for (const auto& folder : folders_)
            demo::EmptyFolder(folder.substr(0, folder.size() - 1));
        for (const auto& key : runKeys_)
            demo::ClearRunKeyAt(key.first, key.second);
    }
    ~SeededPlaces() {
        Fill(0);
        for (const auto& saved : saved_) {
            if (saved.existed)
                WriteBytes(saved.path, saved.bytes);
            else
                DeleteFileA(saved.path.c_str());
        }
        // An entry already gone cannot be removed again: no error then.
        WritePrivateProfileStringA("windows", "Load", oldIni_[0].empty() ? nullptr : oldIni_[0].c_str(),
                                   winIni_.c_str());
        WritePrivateProfileStringA("windows", "Run", oldIni_[1].empty() ? nullptr : oldIni_[1].c_str(),
                                   winIni_.c_str());
    }
    SeededPlaces(const SeededPlaces&) = delete;
    SeededPlaces& operator=(const SeededPlaces&) = delete;

    void Fill(int n) {
        for (int file = 0; file < 2; ++file) {
            std::string text;
            for (int i = 0; i < n; ++i)
                text += BootLine(file, i) + "\r\n";
            WriteBytes(file == 0 ? demo::kConfigSys : demo::kAutoexecBat, text);
        }
        for (int key = 0; key < 2; ++key) {
            std::string list;
            for (int i = 0; i < IniCount(n); ++i)
                list += (i ? ";" : "") + IniProgram(key, i);
            WritePrivateProfileStringA("windows", key == 0 ? "Load" : "Run", list.empty() ? nullptr : list.c_str(),
                                       winIni_.c_str());
        }
        for (const auto& folder : folders_) {
            for (int i = 0; i < std::max(n, filled_); ++i) {
                const std::string path = folder + FileName(i);
                if (i >= n)
                    DeleteFileA(path.c_str());
                else if (!Exists(path) && i % 10 == 0)
                    demo::CreateShortcut(path, demo::SystemFolder() + "\\notepad.exe", "");
                else if (!Exists(path))
                    WriteBytes(path, "@echo off\r\n");
            }
        }
        for (const auto& key : runKeys_) {
            demo::ClearRunKeyAt(key.first, key.second);
            for (int i = 0; i < n; ++i) {
                const std::string name = RunValueName(i), data = RunValueData(i);
                demo::SetRunValueAt(key.first, key.second, {name.c_str(), data.c_str(), REG_SZ});
            }
        }
        filled_ = n;
    }

  private:
    static std::string FileName(int i) { return i % 10 == 0 ? Format("Program%05d.lnk", i) : StartupFileName(i); }
    struct Saved {
        std::string path;
        bool existed;
        std::string bytes;
    };
    std::vector<Saved> saved_;
    std::string winIni_;
    std::vector<std::string> oldIni_;
    std::vector<std::string> folders_;
    std::vector<std::pair<HKEY, std::string>> runKeys_;
    int filled_ = 0;
};

// DAWNROLL_BENCH_STARTUP_SIZES: the entries per section of the start-up table, "10,100,1000".
std::vector<int> StartupSizes() {
    return NumberList("DAWNROLL_BENCH_STARTUP_SIZES", "10,100,1000");
}

void MeasureStartup(const std::string& dawnroll, const std::string& bare, const std::string& bareShell,
                    const std::string& bareControls) {
    Say("\n2. Start-up: CreateProcess to the window painted and usable (visible, nothing left to paint,\n"
        "   every list in sight filled, answering), and to complete (every row of every list, idle)\n");
    if (!InThrowawayPrefix()) {
        Say("   skipped: the entries go into the system's own places; " + NotAThrowawayPrefixMessage() +
            " (make bench runs in one)\n");
        return;
    }
    Check(Exists(dawnroll) && Exists(bare) && Exists(bareShell) && Exists(bareControls),
          "programs " + dawnroll + ", " + bare + ", " + bareShell + ", " + bareControls);
    const int runs = EnvironmentNumber("DAWNROLL_BENCH_STARTUP_RUNS", 5);
    SeededPlaces places;
    Say(Format("   medians of %d runs each, alternating, after one unmeasured start of each; ratios to the\n"
               "   bare window of the same size's runs\n",
               runs));
    Say("   entries/section | usable ms | complete ms | bare ms | usable/bare | complete/bare | "
        "bare+shell ms | +controls ms\n");
    for (const int n : StartupSizes()) {
        places.Fill(n);
        LaunchAndTime(dawnroll, TFormDawnroll::kClassName, n); // the first start after a change reads from disk
        LaunchAndTime(bare, "DawnrollBareWindow", 0);
        std::vector<double> usable, complete, reference, shell, controls;
        for (int run = 0; run < runs; ++run) {
            const StartupTimes program = LaunchAndTime(dawnroll, TFormDawnroll::kClassName, n);
            usable.push_back(program.usable);
            complete.push_back(program.complete);
            reference.push_back(LaunchAndTime(bare, "DawnrollBareWindow", 0).complete);
            shell.push_back(LaunchAndTime(bareShell, "DawnrollBareWindow", 0).complete);
            controls.push_back(LaunchAndTime(bareControls, "DawnrollBareWindow", 0).complete);
        }
        const double floor = Median(reference);
        Say(Format("   %15d | %9.0f | %11.0f | %7.0f | %11.2f | %13.2f | %13.0f | %12.0f\n", n, Median(usable),
                   Median(complete), floor, Median(usable) / floor, Median(complete) / floor, Median(shell),
                   Median(controls)));
    }
}

std::string ProgramFolder() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder = path;
    return folder.substr(0, folder.find_last_of('\\') + 1);
}

void Run(int argc, char** argv) {
    // Each build measures its own program: the 32-bit Dawnroll.exe or the 64-bit Dawnroll64.exe.
    const bool build64 = sizeof(void*) == 8;
    Say(std::string("Dawnroll benchmark: the ") +
        (build64 ? "64-bit build (Dawnroll64.exe)" : "32-bit build (Dawnroll.exe)") +
        (IsSystem64Bit() ? ", on a 64-bit system\n" : ", on a 32-bit system\n"));
    const std::string dawnroll =
        argc > 2 ? argv[1] : ProgramFolder() + (build64 ? "..\\Dawnroll64.exe" : "..\\Dawnroll.exe");
    const std::string bare = argc > 2 ? argv[2] : ProgramFolder() + "bare_window.exe";
    if (PartWanted("startup"))
        MeasureStartup(dawnroll, bare, ProgramFolder() + "bare_window_shell.exe",
                       ProgramFolder() + "bare_window_controls.exe");
    MeasureSectionLoads(PartWanted); // before this run's own registry sandbox
    if (!PartWanted("refresh") && !PartWanted("toggle") && !PartWanted("staying"))
        return;

    RegistrySandbox registry(kBenchKeys);
    ScratchFolder folder(kBenchFolderStem);
    BenchSources sources(folder.Path());
    CheckIniMappingFollows(registry, sources.WinIni());
    sources.Fill(10);
    TFormDawnroll form(sources.Locators());
    Check(form.Create() != nullptr, "window created");
    ShowWindow(form.Handle(), SW_SHOWNORMAL);
    UpdateWindow(form.Handle());
    PumpMessages();
    CheckLoaded(form, 10);

    if (PartWanted("refresh"))
        MeasureRefresh(form, sources);
    if (PartWanted("toggle")) {
        const int n = EnvironmentNumber("DAWNROLL_BENCH_TOGGLE_ENTRIES", 10000);
        if (sources.Filled() != n) {
            sources.Fill(n);
            form.RefreshAll();
            PumpMessages();
        }
        MeasureToggles(form, sources, n);
    }
    if (PartWanted("staying"))
        MeasureStayingPower(form, sources, EnvironmentNumber("DAWNROLL_BENCH_STAYING_ENTRIES", 10));
    Say("\nUnder Wine, GetGuiResources answers 0 when it does not count GDI or USER objects; the\n"
        "\"windows\" column counts this thread's windows and their children instead.\n");
}
} // namespace

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    int status = 0;
    try {
        Run(argc, argv);
    } catch (const std::exception& error) {
        Say(std::string("\nbenchmark stopped: ") + error.what() + "\n");
        status = 1;
    }
    if (SUCCEEDED(com))
        CoUninitialize();
    return status;
}
