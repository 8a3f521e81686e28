// Heights of the sections and how the visible ones stack.
#include "ui/SectionLayout.h"

#include <gtest/gtest.h>

namespace {
TEST(SectionHeight, ByKindEntryCountAndTextHeight) {
    // The figures the window is designed around (text height 13).
    EXPECT_EQ(FilledSectionHeight(SectionKind::RegistryKey, 13, 3), 110);
    EXPECT_EQ(FilledSectionHeight(SectionKind::BootFile, 13, 3), 73);
    EXPECT_EQ(FilledSectionHeight(SectionKind::IniList, 13, 3), 73);
    EXPECT_EQ(FilledSectionHeight(SectionKind::StartupFolder, 13, 3), 13 * 4 + 42);
    // An opened but empty boot file: h + 21.
    EXPECT_EQ(FilledSectionHeight(SectionKind::BootFile, 13, 0), 34);
    // Other text heights (larger fonts, other resolutions) enter each formula differently.
    EXPECT_EQ(FilledSectionHeight(SectionKind::BootFile, 16, 3), 85);
    EXPECT_EQ(FilledSectionHeight(SectionKind::StartupFolder, 16, 1), 74);
    EXPECT_EQ(FilledSectionHeight(SectionKind::RegistryKey, 16, 1), 82);
    EXPECT_EQ(FilledSectionHeight(SectionKind::RegistryKey, 13, 1), 76);
    // Heights grow by one text line per entry, even for very long lists.
    EXPECT_EQ(FilledSectionHeight(SectionKind::BootFile, 13, 100000), 100001 * 13 + 21);
}

TEST(SectionHeight, WhenASectionCountsAsEmpty) {
    // A boot file is empty only when it cannot be opened; a file of no lines still shows.
    EXPECT_TRUE(SectionIsEmpty(SectionKind::BootFile, 0, false));
    EXPECT_FALSE(SectionIsEmpty(SectionKind::BootFile, 0, true));
    EXPECT_FALSE(SectionIsEmpty(SectionKind::BootFile, 5, true));
    for (const auto kind : {SectionKind::IniList, SectionKind::StartupFolder, SectionKind::RegistryKey}) {
        EXPECT_TRUE(SectionIsEmpty(kind, 0, true));
        EXPECT_FALSE(SectionIsEmpty(kind, 1, true));
    }
}

TEST(StackTops, VisibleSectionsStackWithoutGaps) {
    EXPECT_EQ(StackTops({{true, 41}, {false, 41}, {true, 57}, {true, 73}}, 0), (std::vector<int>{0, 41, 41, 98, 171}));
    // A hidden first and last section take no room.
    EXPECT_EQ(StackTops({{false, 41}, {true, 57}, {false, 99}}, 0), (std::vector<int>{0, 0, 57, 57}));
    // Everything hidden: every top and the end at the start.
    EXPECT_EQ(StackTops({{false, 41}, {false, 57}}, 0), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(StackTops({}, 5), (std::vector<int>{5}));
}

TEST(StackTops, StartsWhereTheScrolledStackBegins) {
    // Scrolled by 50 pixels: the stack begins above the client area.
    EXPECT_EQ(StackTops({{true, 41}, {true, 57}}, -50), (std::vector<int>{-50, -9, 48}));
}
} // namespace
