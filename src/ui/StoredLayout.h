// The window's stored layout: its designed properties and the table of its sections: eleven,
// and on a 64-bit system three more for the 32-bit programs' run keys of the local machine.
#pragma once

#include "SectionLayout.h"

#include <array>

namespace layout {

inline constexpr const char* kDesignedCaption = "Dawnroll";
// Follows the designed caption directly in the window title.
inline constexpr const char* kVersionText = "32 1.0.2 ";
inline constexpr const char* kMakersNotice = "- startup manager by the Dawnroll developers";
inline constexpr const char* kFontName = "MS Sans Serif";
// Height -11 at 96 dots per inch: 8 points, the size the window keeps at every resolution.
inline constexpr int kFontHeight = -11;
inline constexpr int kFontPoints = 8;
// The entry list whose columns are designed at the list's default width; every other entry
// list's columns are designed to fit their header texts. Each load sets them to 100 pixels.
inline constexpr int kListWithDefaultColumnWidths = 303; // ListView3

enum class ListKind { CheckList, EntryList, EntryListWithIcons };

struct SectionDesign {
    const char* boxName; // designed caption, replaced by every load
    int boxId;
    int listId;
    ListKind listKind;
    SectionKind sourceKind;
    int designedHeight;
};

inline constexpr int kSectionCount = 11;
// A 32-bit system has no sections 12 to 14 at all: their windows are made only on a 64-bit one.
inline constexpr int kSectionCountOnWow64 = 14;

inline constexpr std::array<SectionDesign, kSectionCountOnWow64> kSections = {{
    {"GroupBox1", 101, 201, ListKind::CheckList, SectionKind::BootFile, 41},
    {"GroupBox2", 102, 202, ListKind::CheckList, SectionKind::BootFile, 41},
    {"GroupBox3", 103, 203, ListKind::CheckList, SectionKind::IniList, 41},
    {"GroupBox4", 104, 204, ListKind::CheckList, SectionKind::IniList, 41},
    {"GroupBox5", 105, 301, ListKind::EntryListWithIcons, SectionKind::StartupFolder, 57},
    {"GroupBox6", 106, 302, ListKind::EntryListWithIcons, SectionKind::StartupFolder, 57},
    {"GroupBox7", 107, 303, ListKind::EntryList, SectionKind::RegistryKey, 57},
    {"GroupBox8", 108, 304, ListKind::EntryList, SectionKind::RegistryKey, 57},
    {"GroupBox9", 109, 305, ListKind::EntryList, SectionKind::RegistryKey, 57},
    {"GroupBox10", 110, 306, ListKind::EntryList, SectionKind::RegistryKey, 57},
    {"GroupBox11", 111, 307, ListKind::EntryList, SectionKind::RegistryKey, 57},
    {"GroupBox12", 112, 308, ListKind::EntryList, SectionKind::RegistryKey, 57},
    {"GroupBox13", 113, 309, ListKind::EntryList, SectionKind::RegistryKey, 57},
    {"GroupBox14", 114, 310, ListKind::EntryList, SectionKind::RegistryKey, 57},
}};

} // namespace layout
