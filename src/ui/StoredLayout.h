// The window's stored layout: its designed properties and the table of its sections: eleven,
// and on a 64-bit system three more for the 32-bit programs' run keys of the local machine.
// Each row says what the section shows (its kind of source and where that source is) as well as
// how it looks; the window makes its sections from this table and reloads them in its order.
#pragma once

#include "SectionLayout.h"

#include "../sources/RunKeyLocator.h"

#include <array>

namespace layout {

inline constexpr const char* kDesignedCaption = "Dawnroll";
// Follows the designed caption directly in the window title.
// The version text names the program's kind: the 32-bit program and the 64-bit one.
#ifdef _WIN64
inline constexpr const char* kVersionText = "64 1.0.2 ";
#else
inline constexpr const char* kVersionText = "32 1.0.2 ";
#endif
inline constexpr const char* kMakersNotice = "- startup manager by the Dawnroll developers";
inline constexpr const char* kFontName = "MS Sans Serif";
// 8 points, -11 at 96 dots per inch: the size the window keeps at every resolution.
inline constexpr int kFontPoints = 8;

// Where a section's source is. What `name` names depends on the kind: the boot file's path, the
// WIN.INI key, the Shell Folders value, the run key's name. `root` is for the registry's
// sources; `wow6432Node` marks the local machine's run keys of 32-bit programs on a 64-bit
// system.
struct SourceDesign {
    SectionKind kind;
    const char* name;
    RootKey root = RootKey::CurrentUser;
    bool wow6432Node = false;
};

// Each row's stable identity: the source it shows, whatever its place in the table. The window
// finds its sections by it, never by their numbers.
enum class SectionId {
    ConfigSys,
    AutoexecBat,
    WinIniLoad,
    WinIniRun,
    UserStartup,
    CommonStartup,
    UserRun,
    UserRunOnce,
    MachineRun,
    MachineRunOnce,
    MachineRunServices,
    Machine32Run,
    Machine32RunOnce,
    Machine32RunServices,
};

struct SectionDesign {
    SectionId id;
    const char* boxName; // designed caption, replaced by every load
    int boxId;
    int listId;
    int designedHeight;
    // Whether the list's columns are designed to fit their header texts; otherwise they have
    // the list's default width. Each load sets them to 100 pixels.
    bool columnsFitHeaders;
    SourceDesign source;
};

inline constexpr int kSectionCount = 11;
// A 32-bit system has no sections 12 to 14 at all: their windows are made only on a 64-bit one.
inline constexpr int kSectionCountOn64BitSystem = 14;

using K = SectionKind;
using S = SectionId;
inline constexpr RootKey kUser = RootKey::CurrentUser;
inline constexpr RootKey kMachine = RootKey::LocalMachine;

inline constexpr std::array<SectionDesign, kSectionCountOn64BitSystem> kSections = {{
    {S::ConfigSys, "GroupBox1", 101, 201, 41, false, {K::BootFile, "C:\\CONFIG.SYS"}},
    {S::AutoexecBat, "GroupBox2", 102, 202, 41, false, {K::BootFile, "C:\\AUTOEXEC.BAT"}},
    {S::WinIniLoad, "GroupBox3", 103, 203, 41, false, {K::IniList, "Load"}},
    {S::WinIniRun, "GroupBox4", 104, 204, 41, false, {K::IniList, "Run"}},
    {S::UserStartup, "GroupBox5", 105, 301, 57, true, {K::StartupFolder, "Startup", kUser}},
    {S::CommonStartup, "GroupBox6", 106, 302, 57, true, {K::StartupFolder, "Common Startup", kMachine}},
    {S::UserRun, "GroupBox7", 107, 303, 57, false, {K::RegistryKey, "Run", kUser}},
    {S::UserRunOnce, "GroupBox8", 108, 304, 57, true, {K::RegistryKey, "RunOnce", kUser}},
    {S::MachineRun, "GroupBox9", 109, 305, 57, true, {K::RegistryKey, "Run", kMachine}},
    {S::MachineRunOnce, "GroupBox10", 110, 306, 57, true, {K::RegistryKey, "RunOnce", kMachine}},
    {S::MachineRunServices, "GroupBox11", 111, 307, 57, true, {K::RegistryKey, "RunServices", kMachine}},
    {S::Machine32Run, "GroupBox12", 112, 308, 57, true, {K::RegistryKey, "Run", kMachine, true}},
    {S::Machine32RunOnce, "GroupBox13", 113, 309, 57, true, {K::RegistryKey, "RunOnce", kMachine, true}},
    {S::Machine32RunServices, "GroupBox14", 114, 310, 57, true, {K::RegistryKey, "RunServices", kMachine, true}},
}};

} // namespace layout
