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

namespace {
using WideLines = std::vector<std::wstring>;

// The bytes of a UTF-16 file: its byte-order mark, then each unit in that order.
std::string Utf16File(std::u16string_view text, Utf16Order order = Utf16Order::LittleEndian) {
    std::string bytes = order == Utf16Order::LittleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (const char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF);
        const char high = static_cast<char>(unit >> 8);
        bytes += order == Utf16Order::LittleEndian ? std::string{low, high} : std::string{high, low};
    }
    return bytes;
}

TEST(Utf16BootFile, RecognisedByItsByteOrderMarkOnly) {
    EXPECT_EQ(Utf16OrderOf("\xFF\xFE"), Utf16Order::LittleEndian);
    EXPECT_EQ(Utf16OrderOf("\xFF\xFE"
                           "A\0"s),
              Utf16Order::LittleEndian);
    EXPECT_EQ(Utf16OrderOf("\xFE\xFF\0A"s), Utf16Order::BigEndian);
    EXPECT_TRUE(IsUtf16Text("\xFE\xFF"));
    // A UTF-8 mark, half a mark, the mark's bytes later in the file, text that merely has NUL
    // bytes in it: all byte files.
    for (const std::string& bytes : {""s, "\xFF"s, "\xFE"s,
                                     "\xEF\xBB\xBF"
                                     "A"s,
                                     "A\xFF\xFE"s, "A\0B\0"s, "\xFF\xFF"s, "\xFE\xFE"s})
        EXPECT_FALSE(IsUtf16Text(bytes)) << bytes.size();
}

TEST(Utf16BootFile, LinesFollowTheByteFilesRulesOnUnits) {
    for (const auto order : {Utf16Order::LittleEndian, Utf16Order::BigEndian}) {
        EXPECT_EQ(ReadUtf16BootLines(Utf16File(u"DEVICE=a.sys\r\nrem FILES=30\rlone\nfeed\r\n", order)),
                  (WideLines{L"DEVICE=a.sys", L"rem FILES=30", L"lone\nfeed"}));
        EXPECT_EQ(ReadUtf16BootLines(Utf16File(u"a\r\r\nb", order)), (WideLines{L"a", L"", L"b"}));
        // The first Ctrl-Z ends the text; a line feed after it is not read.
        EXPECT_EQ(ReadUtf16BootLines(Utf16File(u"a\r\x1A\nb\r\n", order)), (WideLines{L"a"}));
        EXPECT_EQ(ReadUtf16BootLines(Utf16File(u"x\x1A", order)), (WideLines{L"x"}));
        EXPECT_EQ(ReadUtf16BootLines(Utf16File(u"", order)), WideLines{});
    }
}

TEST(Utf16BootFile, UnitsAreTakenWholeNotByte) {
    // Units whose one byte is a carriage return, line feed or Ctrl-Z end nothing: U+0D0A, U+1A0D,
    // U+0A0D. A NUL unit is an ordinary character.
    const std::u16string text = u"\u0D0A\u1A0D\u0A0D\0z\r\n\u00E9\u041F\U0001F600"s;
    const auto lines = ReadUtf16BootLines(Utf16File(text));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], (std::wstring{wchar_t(0x0D0A), wchar_t(0x1A0D), wchar_t(0x0A0D), L'\0', L'z'}));
    // A character beyond the first plane is its two surrogate units.
    EXPECT_EQ(lines[1], (std::wstring{wchar_t(0xE9), wchar_t(0x41F), wchar_t(0xD83D), wchar_t(0xDE00)}));
    EXPECT_EQ(ReadUtf16BootLines(Utf16File(text, Utf16Order::BigEndian)), lines);
}

TEST(Utf16BootFile, ALastOddByteIsAReplacementCharacterAndNoMarkMeansLittleEndian) {
    EXPECT_EQ(ReadUtf16BootLines(Utf16File(u"ab") + "c"), (WideLines{std::wstring{L'a', L'b', kReplacementCharacter}}));
    EXPECT_EQ(ReadUtf16BootLines("\xFF\xFE"
                                 "\r"s),
              (WideLines{std::wstring(1, kReplacementCharacter)}));
    EXPECT_EQ(ReadUtf16BootLines("a\0\r\0b\0"s), (WideLines{L"a", L"b"}));
}

// The same file read as bytes would give lines cut inside units; what the rule must avoid.
TEST(Utf16BootFile, TheByteRulesWouldCutTheSameFileInsideItsUnits) {
    const std::string bytes = Utf16File(u"A\r\nB\r\n");
    const auto byteLines = ReadBootLines(bytes);
    ASSERT_EQ(byteLines.size(), 3u);
    EXPECT_EQ(byteLines[1], "\0\n\0B\0"s);
    EXPECT_EQ(ReadUtf16BootLines(bytes), (WideLines{L"A", L"B"}));
}
} // namespace
