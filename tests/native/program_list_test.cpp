// The WIN.INI program lists: splitting and joining the Load and Run values, and the section
// title that records the profile file and key.
#include "sources/IniListText.h"

#include <gtest/gtest.h>

namespace {
using Programs = std::vector<std::string>;
using namespace std::string_literals;

TEST(ProgramList, SplitsAtSemicolonsTrimsAndDropsEmptyPieces) {
    EXPECT_EQ(SplitProgramList(" a.exe ; ;b.exe;"), (Programs{"a.exe", "b.exe"}));
    EXPECT_EQ(SplitProgramList("a.exe"), (Programs{"a.exe"}));
    EXPECT_EQ(SplitProgramList(";a.exe"), (Programs{"a.exe"}));
    EXPECT_EQ(SplitProgramList(""), Programs{});
    EXPECT_EQ(SplitProgramList(";"), Programs{});
    EXPECT_EQ(SplitProgramList(";;;"), Programs{});
    EXPECT_EQ(SplitProgramList("  ;\t; "), Programs{});
    // The same program twice is listed twice.
    EXPECT_EQ(SplitProgramList("a.exe;a.exe"), (Programs{"a.exe", "a.exe"}));
}

TEST(ProgramList, BlanksInsideAPieceStay) {
    // Programs separated only by blanks are one line.
    EXPECT_EQ(SplitProgramList("a.exe b.exe"), (Programs{"a.exe b.exe"}));
    EXPECT_EQ(SplitProgramList(" C:\\Program Files\\x.exe  /s ;y.exe"),
              (Programs{"C:\\Program Files\\x.exe  /s", "y.exe"}));
}

TEST(ProgramList, TrimsEveryCharacterUpToTheSpaceAndNothingAbove) {
    EXPECT_EQ(SplitProgramList("\x01"
                               "a.exe\x1f;\tb.exe\r\n;\x7f"),
              (Programs{"a.exe", "b.exe", "\x7f"}));
    EXPECT_EQ(SplitProgramList("\0a.exe\0;"s), (Programs{"a.exe"}));
    // Bytes above 127 (a no-break space, accented letters) are text, not blanks.
    EXPECT_EQ(SplitProgramList("\xa0"
                               "caf\xe9.exe\xa0"),
              (Programs{"\xa0"
                        "caf\xe9.exe\xa0"}));
}

TEST(ProgramList, JoinsWithSingleSemicolons) {
    EXPECT_EQ(JoinProgramList(Programs{}), "");
    EXPECT_EQ(JoinProgramList(Programs{"a.exe"}), "a.exe");
    EXPECT_EQ(JoinProgramList(Programs{"a.exe", "b.exe"}), "a.exe;b.exe");
    EXPECT_EQ(JoinProgramList(Programs{"a.exe b.exe", "c.exe /x"}), "a.exe b.exe;c.exe /x");
    // The value read as " a.exe ; ;b.exe;" is written back tidily.
    EXPECT_EQ(JoinProgramList(SplitProgramList(" a.exe ; ;b.exe;")), "a.exe;b.exe");
}

TEST(ProgramListTitle, BuiltFromFileAndKey) {
    EXPECT_EQ(IniListTitle("C:\\WINDOWS\\WIN.INI", "Load"), "C:\\WINDOWS\\WIN.INI, [Windows], Load=");
    EXPECT_EQ(IniListTitle("C:\\WINDOWS\\WIN.INI", "Run"), "C:\\WINDOWS\\WIN.INI, [Windows], Run=");
}

TEST(ProgramListTitle, ParsedBackEvenWhenTheFolderHoldsTheSeparators) {
    for (const std::string file : {"C:\\WINDOWS\\WIN.INI", "C:\\My, Folder\\WIN.INI", "C:\\a, [Windows], b\\WIN.INI",
                                   "C:\\x=\\WIN.INI", "C:\\, \\, \\WIN.INI"}) {
        for (const std::string key : {"Load", "Run"}) {
            const auto locator = ParseIniListTitle(IniListTitle(file, key));
            ASSERT_TRUE(locator) << file;
            EXPECT_EQ(locator->profileFile, file);
            EXPECT_EQ(locator->key, key);
        }
    }
}

TEST(ProgramListTitle, OtherTitlesAreNotParsed) {
    for (const char* title : {"", "=", "C:\\CONFIG.SYS", "C:\\WINDOWS\\WIN.INI, [Windows], Load",
                              "C:\\WINDOWS\\WIN.INI, Load=", "GroupBox3",
                              "My Computer\\HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run"})
        EXPECT_FALSE(ParseIniListTitle(title)) << title;
}

TEST(WindowsFolder, BackslashAppendedOnlyWhenMissing) {
    EXPECT_EQ(WithTrailingBackslash("C:\\WINDOWS"), "C:\\WINDOWS\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\WINDOWS\\"), "C:\\WINDOWS\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\"), "C:\\");
    EXPECT_EQ(WithTrailingBackslash(""), "\\");
}
} // namespace
