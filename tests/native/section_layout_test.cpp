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

namespace {
TEST(Scaling, DesignedPixelsFollowTheResolution) {
    // At the designed 96 dots per inch nothing changes.
    for (int designed : {0, 2, 13, 15, 21, 41, 42, 57, 100})
        EXPECT_EQ(ScaledPixels(designed, 96), designed);
    // 120 dots per inch: a quarter larger, to the nearest pixel, halves upwards.
    EXPECT_EQ(ScaledPixels(41, 120), 51);
    EXPECT_EQ(ScaledPixels(57, 120), 71);
    EXPECT_EQ(ScaledPixels(2, 120), 3);
    EXPECT_EQ(ScaledPixels(15, 120), 19);
    EXPECT_EQ(ScaledPixels(42, 120), 53);
    // 144 dots per inch: half as large again.
    EXPECT_EQ(ScaledPixels(21, 144), 32);
    EXPECT_EQ(ScaledPixels(100, 144), 150);
    EXPECT_EQ(ScaledPixels(-11, 144), -17);
    // The font stays 8 points: -11 at 96, -13 at 120, -16 at 144 dots per inch.
    EXPECT_EQ(FontHeightForPoints(8, 96), -11);
    EXPECT_EQ(FontHeightForPoints(8, 120), -13);
    EXPECT_EQ(FontHeightForPoints(8, 144), -16);
}

TEST(SectionHeight, TheRuleConstantsScaleWithTheResolution) {
    // At 96 dots per inch the designed figures.
    EXPECT_EQ(FilledSectionHeight(SectionKind::RegistryKey, 13, 3, 96), 110);
    EXPECT_EQ(FilledSectionHeight(SectionKind::BootFile, 13, 3, 96), 73);
    // At 144: h of the larger font, 21 -> 32, 42 -> 63, 4 -> 6.
    EXPECT_EQ(FilledSectionHeight(SectionKind::BootFile, 20, 3, 144), 4 * 20 + 32);
    EXPECT_EQ(FilledSectionHeight(SectionKind::StartupFolder, 20, 2, 144), 20 * 3 + 63);
    EXPECT_EQ(FilledSectionHeight(SectionKind::RegistryKey, 20, 1, 144), 26 * 2 + 63);
}

TEST(SectionHeight, RowsTallerThanTheRuleAllowsForGetTheirRoom) {
    // Where the rule leaves room for every row it stands: three registry values, rows of 17,
    // a header of 17 and a frame of 4 need 15 + 2 + 4 + 17 + 51 = 89 of the rule's 110.
    const ListMetrics report{17, 17, 4, 0};
    EXPECT_EQ(SectionHeightShowingRows(110, report, 3, 96), 110);
    // With a horizontal scroll bar of 17 as well: 106, still inside 110.
    EXPECT_EQ(SectionHeightShowingRows(110, ListMetrics{17, 17, 4, 17}, 3, 96), 110);
    // A boot file: lines as tall as h fit the rule exactly as it is.
    EXPECT_EQ(SectionHeightShowingRows(73, ListMetrics{0, 13, 4, 0}, 3, 96), 73);
    // Six Startup files: rows of 17 (small icons) where the rule counts 13; the rule's
    // 13 * 7 + 42 = 133 would cut the rows, which need 15 + 2 + 4 + 17 + 6 * 17 = 140.
    EXPECT_EQ(SectionHeightShowingRows(133, ListMetrics{17, 17, 4, 0}, 6, 96), 140);
    // At 144 dots per inch the insets are 23 and 3: two rows of 25 under a header of 25 fit
    // the rule's 123; six do not (the rule's 203 against 205).
    EXPECT_EQ(SectionHeightShowingRows(20 * 3 + 63, ListMetrics{25, 25, 4, 0}, 2, 144), 123);
    EXPECT_EQ(SectionHeightShowingRows(20 * 7 + 63, ListMetrics{25, 25, 4, 0}, 6, 144), 23 + 3 + 4 + 25 + 150);
    // No rows: the rule's height.
    EXPECT_EQ(SectionHeightShowingRows(41, ListMetrics{0, 0, 4, 0}, 0, 96), 41);
}

TEST(ScrollIntoView, MovesAsLittleAsItCan) {
    // Already in view: stays.
    EXPECT_EQ(ScrollPositionShowing(0, 300, 50, 150), 0);
    // Below the view: its bottom comes to the view's bottom.
    EXPECT_EQ(ScrollPositionShowing(0, 300, 400, 500), 200);
    // Above the view: its top comes to the view's top.
    EXPECT_EQ(ScrollPositionShowing(450, 300, 100, 200), 100);
    // Taller than the view: its top shows.
    EXPECT_EQ(ScrollPositionShowing(0, 300, 400, 1000), 400);
}

TEST(WheelScroll, SmallDeltasAddUpToWholeLines) {
    // One notch with three lines of 13: 39 pixels up (away from the user).
    WheelScroll notch;
    EXPECT_EQ(notch.Turn(120, 3, 13, 300), -39);
    // Three deltas of 40 scroll as the notch does, a line at a time.
    WheelScroll fine;
    int total = 0;
    for (int i = 0; i < 3; ++i)
        total += fine.Turn(-40, 3, 13, 300);
    EXPECT_EQ(total, 39);
    // Deltas too small for a line wait for the next ones.
    WheelScroll tiny;
    EXPECT_EQ(tiny.Turn(-20, 3, 13, 300), 0);
    EXPECT_EQ(tiny.Turn(-20, 3, 13, 300), 13);
    // Turning back drops what was left over from the other way.
    EXPECT_EQ(tiny.Turn(-20, 3, 13, 300), 0);
    EXPECT_EQ(tiny.Turn(30, 3, 13, 300), 0);
    EXPECT_EQ(tiny.Turn(10, 3, 13, 300), -13);
    // "One screen at a time": a notch scrolls the page; half notches add up to it.
    WheelScroll screen;
    EXPECT_EQ(screen.Turn(-60, WheelScroll::kWheelScreen, 13, 300), 0);
    EXPECT_EQ(screen.Turn(-60, WheelScroll::kWheelScreen, 13, 300), 300);
    // No lines per notch: the wheel does not scroll.
    WheelScroll none;
    EXPECT_EQ(none.Turn(-120, 0, 13, 300), 0);
    // Ten lines per notch, two notches at once.
    WheelScroll many;
    EXPECT_EQ(many.Turn(-240, 10, 13, 300), 260);
}
} // namespace
