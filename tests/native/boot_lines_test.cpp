// Reading, writing and toggling the lines of the boot batch files.
#include "sources/BootFileText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {
using Lines = std::vector<std::string>;
using namespace std::string_literals;

constexpr char kCtrlZ = 26;

TEST(BootLines, CarriageReturnEndsLine) {
    EXPECT_EQ(ReadBootLines("a\rb\r\nc"), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(BootLines, CarriageReturnWithOrWithoutLineFeedEndsALine) {
    EXPECT_EQ(ReadBootLines("a\rb"), (Lines{"a", "b"}));
    EXPECT_EQ(ReadBootLines("a\r\nb\r\n"), (Lines{"a", "b"}));
    // Only the one line feed right after the carriage return goes with it.
    EXPECT_EQ(ReadBootLines("a\r\n\nb"), (Lines{"a", "\nb"}));
    // Consecutive line ends make empty lines, each carriage return one.
    EXPECT_EQ(ReadBootLines("\r\n"), (Lines{""}));
    EXPECT_EQ(ReadBootLines("\r\r"), (Lines{"", ""}));
    EXPECT_EQ(ReadBootLines("\r\n\r\n"), (Lines{"", ""}));
    EXPECT_EQ(ReadBootLines("a\r\r\nb"), (Lines{"a", "", "b"}));
}

TEST(BootLines, LoneLineFeedStaysInsideTheLine) {
    EXPECT_EQ(ReadBootLines("a\nb\nc"), (Lines{"a\nb\nc"}));
    EXPECT_EQ(ReadBootLines("a\nb\r\n"), (Lines{"a\nb"}));
    EXPECT_EQ(ReadBootLines("\n"), (Lines{"\n"}));
    // A line feed before the carriage return belongs to the line it ends.
    EXPECT_EQ(ReadBootLines("a\n\rb"), (Lines{"a\n", "b"}));
}

TEST(BootLines, FirstCtrlZEndsTheText) {
    EXPECT_EQ(ReadBootLines("a\r\nb" + std::string(1, kCtrlZ) + "c\r\nd"), (Lines{"a", "b"}));
    EXPECT_EQ(ReadBootLines(std::string(1, kCtrlZ)), Lines{});
    EXPECT_EQ(ReadBootLines("a\r\n" + std::string(1, kCtrlZ)), (Lines{"a"}));
    EXPECT_EQ(ReadBootLines("a" + std::string(1, kCtrlZ) + "\r\n"), (Lines{"a"}));
    // The line feed after the Ctrl-Z is not read: the carriage return alone ends the line.
    EXPECT_EQ(ReadBootLines("a\r" + std::string(1, kCtrlZ) + "\nb"), (Lines{"a"}));
    EXPECT_EQ(ReadBootLines("a\r\n" + std::string(2, kCtrlZ) + "b"), (Lines{"a"}));
}

TEST(BootLines, LastLineWithoutLineEndEmptyTextAndNulBytes) {
    EXPECT_EQ(ReadBootLines("a\r\nb"), (Lines{"a", "b"}));
    EXPECT_EQ(ReadBootLines("b"), (Lines{"b"}));
    EXPECT_EQ(ReadBootLines(""), Lines{});
    // NUL is an ordinary character, in the middle of a line and as a line of its own.
    EXPECT_EQ(ReadBootLines("a\0b\r\n\0"s), (Lines{"a\0b"s, "\0"s}));
    EXPECT_EQ(ReadBootLines("\0\0\r\0"s), (Lines{"\0\0"s, "\0"s}));
}

TEST(BootLines, LinesOfAnyLengthAreReadWhole) {
    // Around the sizes of the original's read buffer and text buffer, and far beyond.
    for (const std::size_t length : {127u, 128u, 129u, 4095u, 4096u, 4097u, 65536u, 1u << 20}) {
        const std::string line(length, 'x');
        const auto lines = ReadBootLines(line + "\r\n" + line + "\r" + "end");
        ASSERT_EQ(lines.size(), 3u) << length;
        EXPECT_EQ(lines[0], line) << length;
        EXPECT_EQ(lines[1], line) << length;
        EXPECT_EQ(lines[2], "end");
    }
}

TEST(BootLines, WritingEndsEveryLineWithCarriageReturnLineFeed) {
    EXPECT_EQ(WriteBootLines({}), "");
    EXPECT_EQ(WriteBootLines({""}), "\r\n");
    EXPECT_EQ(WriteBootLines({"a", "", "b"}), "a\r\n\r\nb\r\n");
    // Bytes are written as they are: lone line feeds, NUL bytes, high bytes.
    EXPECT_EQ(WriteBootLines({"a\nb", "\0\xff"s}), "a\nb\r\n\0\xff\r\n"s);
    const std::string longLine(1 << 20, 'y');
    EXPECT_EQ(WriteBootLines({longLine}), longLine + "\r\n");
}

TEST(CommentMarker, FirstFourCharactersWithAsciiLettersFolded) {
    for (const char* line : {"REM x", "rem x", "Rem x", "rEm x", "REM ", "rem DEVICE=b.sys"})
        EXPECT_TRUE(HasCommentMarker(line)) << line;
    for (const char* line :
         {"", "R", "REM", "rem", "REMARK", "remark x", " REM x", "\tREM x", "REM\tx", "REM\nx", "REM-x", "RE M"})
        EXPECT_FALSE(HasCommentMarker(line)) << line;
}

TEST(CommentMarker, NothingButAsciiLettersIsFolded) {
    // A NUL is not a folded blank, and bytes above 127 are not letters, whatever the locale.
    EXPECT_FALSE(HasCommentMarker("REM\0x"s));
    EXPECT_FALSE(HasCommentMarker("rem\0"s));
    EXPECT_FALSE(HasCommentMarker("\xf2"
                                  "EM x"));
    EXPECT_FALSE(HasCommentMarker("R\xc5M x"));
    EXPECT_FALSE(HasCommentMarker("REM\xa0x"));
    // Characters one case bit away from a marker character are not letters either.
    EXPECT_FALSE(HasCommentMarker("\x12"
                                  "EM "));
    EXPECT_FALSE(HasCommentMarker("REM\x00"s));
}

TEST(ToggleText, UncheckingPutsTheMarkerInFront) {
    EXPECT_EQ(ToggledBootLine("DEVICE=a.sys", false), "REM DEVICE=a.sys");
    EXPECT_EQ(ToggledBootLine("REM", false), "REM REM");
    EXPECT_EQ(ToggledBootLine("", false), "REM ");
    EXPECT_EQ(ToggledBootLine("REMARK", false), "REM REMARK");
    EXPECT_EQ(ToggledBootLine(" REM x", false), "REM  REM x");
    // A line that already carries the marker keeps it as written.
    EXPECT_EQ(ToggledBootLine("rem x", false), "rem x");
    EXPECT_EQ(ToggledBootLine("REM x", false), "REM x");
}

TEST(ToggleText, CheckingTakesTheMarkerAway) {
    EXPECT_EQ(ToggledBootLine("REM Settings follow", true), "Settings follow");
    EXPECT_EQ(ToggledBootLine("rem x", true), "x");
    EXPECT_EQ(ToggledBootLine("REM ", true), "");
    // Only one marker goes at a time.
    EXPECT_EQ(ToggledBootLine("REM REM x", true), "REM x");
    // Lines without the marker stay as they are.
    for (const char* line : {"x", "REM", "REMARK", " REM x", ""})
        EXPECT_EQ(ToggledBootLine(line, true), line);
}

TEST(ToggleText, DoubleChangeGivesTheLineBackWithUpperCaseMarker) {
    // An unchecked "rem x": checked, then unchecked again, as a double click does.
    const std::string on = ToggledBootLine("rem x", true);
    EXPECT_EQ(ToggledBootLine(on, false), "REM x");
    // A checked line goes off and on again unchanged, bytes included.
    const std::string line = "a\nb\0\xff"s;
    EXPECT_EQ(ToggledBootLine(ToggledBootLine(line, false), true), line);
    const std::string longLine(1 << 20, 'z');
    EXPECT_EQ(ToggledBootLine(longLine, false), "REM " + longLine);
}
} // namespace

namespace {
TEST(RewriteFileNames, SayWhatTheyAreAndWhereTheyCameFrom) {
    EXPECT_EQ(FileNameOf("C:\\CONFIG.SYS"), "CONFIG.SYS");
    EXPECT_EQ(FileNameOf("Z:/tmp/x/AUTOEXEC.BAT"), "AUTOEXEC.BAT");
    EXPECT_EQ(FileNameOf("CONFIG.SYS"), "CONFIG.SYS");
    EXPECT_EQ(FileNameOf("C:\\dir\\"), "");

    EXPECT_EQ(RewriteTemporaryName("CONFIG.SYS", 0x1f), "CONFIG.SYS.Dawnroll-new-1f.tmp");
    EXPECT_EQ(RewriteBackupName("CONFIG.SYS", 0x1f), "CONFIG.SYS.Dawnroll-backup-1f.tmp");
    EXPECT_EQ(RewriteTemporaryName("AUTOEXEC.BAT", 0), "AUTOEXEC.BAT.Dawnroll-new-0.tmp");
    EXPECT_EQ(RewriteBackupName("A", 0xffffffffu), "A.Dawnroll-backup-ffffffff.tmp");
    // Different numbers, different names: the attempts do not meet.
    EXPECT_NE(RewriteTemporaryName("CONFIG.SYS", 1), RewriteTemporaryName("CONFIG.SYS", 2));
    EXPECT_NE(RewriteTemporaryName("CONFIG.SYS", 1), RewriteBackupName("CONFIG.SYS", 1));
}
} // namespace
