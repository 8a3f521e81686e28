// The load and toggle times of single sections, for sources of growing size, each set against
// the platform's own reads of the same source:
//   bootfile  CONFIG.SYS of 10,000 to 100,000 lines: read and split, load, rewrite, toggle;
//   inilist   the Load= entry of a profile file and of WIN.INI: read, split, load, toggle;
//   folder    a Startup folder of 200 to 10,000 files: load against the shell's own answers;
//   runkey    a run key of 1,000 and 10,000 values: load on the shown window.
// DAWNROLL_BENCH_SHRINK=N divides every size by N, for a quick look.
#include "ScratchPlaces.h"
#include "SectionLoads.h"

#include "sources/BootFile.h"
#include "sources/BootFileText.h"
#include "sources/IniList.h"
#include "sources/IniListText.h"
#include "sources/RunKey.h"
#include "sources/StartupFolder.h"
#include "sources/TextFile.h"
#include "sources/WideText.h"
#include "ui/Dawnroll.h"

#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
constexpr const char* kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kUserRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
// Wine's profile calls hand back a [windows] value of WIN.INI (mapped to the registry) whole only
// below this many characters.
constexpr std::size_t kLongestWholeMappedValue = 32767;

void Say(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    std::vprintf(format, arguments);
    va_end(arguments);
    std::fflush(stdout);
}

void Check(bool condition, const std::string& what) {
    if (!condition)
        throw std::runtime_error("benchmark check failed: " + what);
}

double TimeMs(const std::function<void()>& work) {
    static const double frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart);
    }();
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    work();
    QueryPerformanceCounter(&end);
    return static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 / frequency;
}

// A size of the tables, divided by DAWNROLL_BENCH_SHRINK; at least 10.
int Sized(int full) {
    const char* text = std::getenv("DAWNROLL_BENCH_SHRINK");
    const int shrink = text && *text ? std::max(1, std::atoi(text)) : 1;
    return std::max(10, full / shrink);
}

void PumpMessages() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

// The scratch places (ScratchPlaces.h): a temporary folder, and this process's HKEY_CURRENT_USER
// and HKEY_LOCAL_MACHINE redirected to scratch keys under HKCU\Software\DawnrollBench.
constexpr const char* kBenchKeys = "Software\\DawnrollBench";
constexpr const char* kFolderStem = "dawnroll-sections-";

void SetString(HKEY root, const std::string& path, const std::string& name, const std::string& data) {
    HKEY key = nullptr;
    Check(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) == ERROR_SUCCESS,
          "create key " + path);
    const LONG status = RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                                       static_cast<DWORD>(data.size() + 1));
    RegCloseKey(key);
    Check(status == ERROR_SUCCESS, "set value " + name);
}

// A window of its own whose boot files and WIN.INI are in the scratch folder and whose registry
// roots are the sandbox; created, so that its first refresh has run.
struct Scene {
    Scene() {
        SourceLocators locators;
        locators.configSys = folder.File("CONFIG.SYS");
        locators.autoexecBat = folder.File("AUTOEXEC.BAT");
        const std::string windows = folder.Path();
        locators.windowsFolder = [windows] { return windows; };
        form = std::make_unique<TFormDawnroll>(locators);
        Check(form->Create() != nullptr, "window created");
    }
    ~Scene() {
        form.reset();
        PumpMessages();
    }
    RegistrySandbox registry{kBenchKeys};
    ScratchFolder folder{kFolderStem};
    std::unique_ptr<TFormDawnroll> form;
};

// ---------------------------------------------------------------------------------------------
// A boot batch file: its read and split, its load into section 1, its rewrite, and the toggle
// of one line (which rewrites the file), best of three.
void MeasureBootFile() {
    Say("\nBoot file (section 1, CONFIG.SYS): ms, best of 3\n");
    Say("%7s %9s | %9s %9s | %9s %9s\n", "lines", "bytes", "read", "load", "rewrite", "toggle");
    Scene scene;
    BootFileSection& section = scene.form->SectionN<BootFileSection>(1);
    CheckListBox& list = section.List();
    const std::string path = scene.folder.File("CONFIG.SYS");
    section.SetPath(path);
    for (const int full : {10000, 25000, 50000, 100000}) {
        const int lines = Sized(full);
        std::string text;
        for (int i = 0; i < lines; ++i)
            text += "DEVICE=C:\\DRIVERS\\DRIVER" + std::to_string(i) + ".SYS /X:" + std::to_string(i % 97) + "\r\n";
        WriteBytes(path, text);
        double read = 1e9, load = 1e9, rewrite = 1e9, toggle = 1e9;
        for (int round = 0; round < 3; ++round) {
            std::size_t split = 0;
            read = std::min(read, TimeMs([&] { split = ReadBootLines(*ReadTextFile(path)).size(); }));
            Check(split == static_cast<std::size_t>(lines), "the file splits into its lines");

            load = std::min(load, TimeMs([&] { section.LoadBootFile(); }));
            Check(list.Count() == lines, "section 1 lists every line");

            RewriteResult written = RewriteResult::Written;
            rewrite = std::min(rewrite, TimeMs([&] { written = RewriteTextFile(path, text); }));
            Check(written == RewriteResult::Written, "the file is rewritten");

            const int middle = lines / 2;
            list.SetChecked(middle, !list.Checked(middle));
            toggle = std::min(toggle, TimeMs([&] { section.BootFileClickCheck(); }));
            Check(ReadTextFile(path)->size() != text.size(), "the toggle rewrote the file");
            WriteBytes(path, text);
        }
        Say("%7d %9zu | %9.1f %9.1f | %9.1f %9.1f\n", lines, text.size(), read, load, rewrite, toggle);
    }
}

// ---------------------------------------------------------------------------------------------
// A WIN.INI program list: the profile call's read of the entry and its split, the load into
// section 3 and the toggle of one program, on a profile file and on the mapped WIN.INI.
std::wstring Widened(const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    const int length = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    wide.resize(length > 0 ? length - 1 : 0);
    return wide;
}

std::string ProfileEntry(const std::string& file, const std::string& key) {
    static std::string buffer(4u << 20, '\0');
    const DWORD length = GetPrivateProfileStringA("Windows", key.c_str(), "", &buffer[0],
                                                  static_cast<DWORD>(buffer.size()), file.c_str());
    return buffer.substr(0, length);
}

// Through the wide call, which carries values of any length.
void SeedEntry(const std::string& file, const std::string& key, const std::string& value) {
    Check(WritePrivateProfileStringW(L"Windows", Widened(key).c_str(), Widened(value).c_str(), Widened(file).c_str()) !=
              0,
          "seed " + key + " of " + file);
    Check(ProfileEntry(file, key) == value, "the seeded entry reads back whole from " + file);
}

void MeasureIniList() {
    Say("\nWIN.INI program list (section 3, Load=): ms, best of 3\n");
    Scene scene;
    IniListSection& section = scene.form->SectionN<IniListSection>(3);
    CheckListBox& list = section.List();
    // TEST.INI is a plain file; any file named WIN.INI has its [windows] section mapped to the
    // (sandboxed) registry.
    Check(scene.registry.HoldsWinIniEntriesOf(scene.folder.File("WIN.INI")),
          "WIN.INI's [windows] entries land in the scratch keys");
    for (const std::string& file : {scene.folder.File("TEST.INI"), scene.folder.File("WIN.INI")}) {
        const std::string name = file.substr(file.rfind('\\') + 1);
        for (const int full : {1000, 10000, 100000}) {
            const int count = Sized(full);
            std::vector<std::wstring> programs;
            for (int i = 0; i < count; ++i)
                programs.push_back(L"C:\\PROGRA~1\\TOOL" + std::to_wstring(i) + L"\\P" + std::to_wstring(i) +
                                   L".EXE /q");
            const std::string value = AnsiOf(JoinProgramList(programs));
            if (name == "WIN.INI" && value.size() >= kLongestWholeMappedValue) {
                Say("%-8s %7d programs (%8zu characters): not measured, the mapped entry is not read back whole\n",
                    name.c_str(), count, value.size());
                continue;
            }
            double read = 1e9, split = 1e9, load = 1e9, toggle = 1e9;
            for (int round = 0; round < 3; ++round) {
                SeedEntry(file, "Load", value);
                std::string entry;
                read = std::min(read, TimeMs([&] { entry = ProfileEntry(file, "Load"); }));
                std::size_t parts = 0;
                const std::wstring wideEntry = WideOfAnsi(entry);
                split = std::min(split, TimeMs([&] { parts = SplitProgramList(wideEntry).size(); }));
                Check(parts == static_cast<std::size_t>(count), "the entry splits into its programs");

                load = std::min(load, TimeMs([&] {
                                    section.PointAt(L"Load", WideOfAnsi(file));
                                    section.LoadIniList();
                                }));
                Check(list.Count() == count, "section 3 lists every program");
                toggle = std::min(toggle, TimeMs([&] {
                                      list.SetChecked(count / 2, false);
                                      section.WinIniClickCheck();
                                  }));
                Check(ProfileEntry(file, "Load").size() == value.size() - programs[count / 2].size() - 1,
                      "the toggle took one program out of the entry");
            }
            Say("%-8s %7d programs (%8zu characters): load %8.1f ms (read %7.1f, split %6.1f), toggle %8.1f ms\n",
                name.c_str(), count, value.size(), load, read, split, toggle);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// A Startup folder: the load of section 5 and, apart, the same shell calls the load makes for
// each file (name and small icon), so that the program's own share shows.
void MeasureStartupFolder() {
    Say("\nStartup folder (section 5): ms, best of 3 (of 1 above 2,000 files)\n");
    Scene scene;
    ScratchFolder startup(kFolderStem);
    SetString(HKEY_CURRENT_USER, kShellFolders, "Startup", startup.Path().substr(0, startup.Path().size() - 1));
    EntryListView& list = scene.form->ListViewN(1);
    const auto fileName = [&](int i) {
        char name[32];
        std::snprintf(name, sizeof name, "entry %05d.txt", i);
        return startup.File(name);
    };
    int created = 0;
    std::vector<double> ownPerFile;
    for (const int full : {200, 2000, 10000}) {
        const int count = Sized(full);
        for (; created < count; ++created)
            WriteBytes(fileName(created), "");
        const int runs = full > 2000 ? 1 : 3;
        double load = 1e30, shell = 1e30;
        for (int run = 0; run < runs; ++run) {
            load = std::min(load, TimeMs([&] { scene.form->SectionN<StartupFolderSection>(5).LoadStartupFolder(); }));
            shell = std::min(shell, TimeMs([&] {
                                 for (int i = 0; i < count; ++i) {
                                     SHFILEINFOA info = {};
                                     SHGetFileInfoA(fileName(i).c_str(), 0, &info, sizeof info,
                                                    SHGFI_SYSICONINDEX | SHGFI_DISPLAYNAME | SHGFI_SMALLICON);
                                 }
                             }));
        }
        Check(list.Count() == count, "section 5 lists every file");
        const double own = std::max(0.0, load - shell);
        ownPerFile.push_back(own / count);
        Say("%6d files: load %9.1f ms (%.3f ms per file); shell calls %9.1f ms (%.3f); the rest %8.1f ms (%.3f)\n",
            count, load, load / count, shell, shell / count, own, own / count);
    }
    Say("   the program's own share per file, largest folder against smallest: %.2f times (linear: about 1)\n",
        ownPerFile.front() > 0 ? ownPerFile.back() / ownPerFile.front() : 0.0);
}

// ---------------------------------------------------------------------------------------------
// A run key: the load of section 7 on the shown window, the painting it causes included.

void MeasureRunKey() {
    Say("\nRun key (section 7, HKEY_CURRENT_USER Run) on the shown window: best of 3\n");
    Scene scene;
    ShowWindow(scene.form->Handle(), SW_SHOWNORMAL);
    UpdateWindow(scene.form->Handle());
    PumpMessages();
    EntryListView& list = scene.form->ListViewN(3);
    std::vector<double> perValue;
    for (const int full : {1000, 10000}) {
        const int count = Sized(full);
        RegDeleteTreeA(HKEY_CURRENT_USER, kUserRun);
        FillRunKey(HKEY_CURRENT_USER, kUserRun, count);
        double best = 1e30;
        for (int round = 0; round < 3; ++round) {
            best = std::min(best, TimeMs([&] {
                                scene.form->SectionN<RunKeySection>(7).LoadRunKey();
                                PumpMessages();
                            }));
        }
        Check(list.Count() == count, "section 7 lists every value");
        perValue.push_back(best / count);
        Say("load of %5d values: %8.1f ms (%.1f us per value)\n", count, best, best * 1000 / count);
    }
    Say("   per value, larger key against smaller: %.2f times (linear: about 1)\n",
        perValue.front() > 0 ? perValue.back() / perValue.front() : 0.0);
}
} // namespace

void MeasureSectionLoads(bool (*wanted)(const char* part)) {
    // The system opens its IniFileMapping key once per process and keeps it; opened here before
    // any sandbox, WIN.INI stays mapped (with the sandbox's HKLM in place it would not be found).
    char unused[8];
    GetPrivateProfileStringA("Windows", "Load", "", unused, sizeof unused, "C:\\DAWNROLL-NONE\\TEST.INI");
    if (wanted("bootfile"))
        MeasureBootFile();
    if (wanted("inilist"))
        MeasureIniList();
    if (wanted("folder"))
        MeasureStartupFolder();
    if (wanted("runkey"))
        MeasureRunKey();
}
