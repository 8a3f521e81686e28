// The WIN.INI program lists: splitting and joining the Load and Run values, and the section
// title that shows the profile file and key.
#include "sources/IniListText.h"

#include <gtest/gtest.h>

namespace {
using Programs = std::vector<std::wstring>;
using namespace std::string_literals;

TEST(ProgramList, SplitsAtSemicolonsTrimsAndDropsEmptyPieces) {
    EXPECT_EQ(SplitProgramList(L" a.exe ; ;b.exe;"), (Programs{L"a.exe", L"b.exe"}));
    EXPECT_EQ(SplitProgramList(L"a.exe"), (Programs{L"a.exe"}));
    EXPECT_EQ(SplitProgramList(L";a.exe"), (Programs{L"a.exe"}));
    EXPECT_EQ(SplitProgramList(L""), Programs{});
    EXPECT_EQ(SplitProgramList(L";"), Programs{});
    EXPECT_EQ(SplitProgramList(L";;;"), Programs{});
    EXPECT_EQ(SplitProgramList(L"  ;\t; "), Programs{});
    // The same program twice is listed twice.
    EXPECT_EQ(SplitProgramList(L"a.exe;a.exe"), (Programs{L"a.exe", L"a.exe"}));
}

TEST(ProgramList, BlanksInsideAPieceStay) {
    // Programs separated only by blanks are one line.
    EXPECT_EQ(SplitProgramList(L"a.exe b.exe"), (Programs{L"a.exe b.exe"}));
    EXPECT_EQ(SplitProgramList(L" C:\\Program Files\\x.exe  /s ;y.exe"),
              (Programs{L"C:\\Program Files\\x.exe  /s", L"y.exe"}));
}

TEST(ProgramList, TrimsEveryCharacterUpToTheSpaceAndNothingAbove) {
    EXPECT_EQ(SplitProgramList(L"\x01"
                               L"a.exe\x1f;\tb.exe\r\n;\x7f"),
              (Programs{L"a.exe", L"b.exe", L"\x7f"}));
    EXPECT_EQ(SplitProgramList(L"\0a.exe\0;"s), (Programs{L"a.exe"}));
    // Characters above 127 (a no-break space, accented letters) are text, not blanks.
    EXPECT_EQ(SplitProgramList(L"\xa0"
                               L"caf\xe9.exe\xa0"),
              (Programs{L"\xa0"
                        L"caf\xe9.exe\xa0"}));
}

TEST(ProgramList, JoinsWithSingleSemicolons) {
    EXPECT_EQ(JoinProgramList(Programs{}), L"");
    EXPECT_EQ(JoinProgramList(Programs{L"a.exe"}), L"a.exe");
    EXPECT_EQ(JoinProgramList(Programs{L"a.exe", L"b.exe"}), L"a.exe;b.exe");
    EXPECT_EQ(JoinProgramList(Programs{L"a.exe b.exe", L"c.exe /x"}), L"a.exe b.exe;c.exe /x");
    // The value read as " a.exe ; ;b.exe;" is written back tidily.
    EXPECT_EQ(JoinProgramList(SplitProgramList(L" a.exe ; ;b.exe;")), L"a.exe;b.exe");
}

TEST(ProgramListTitle, BuiltFromFileAndKey) {
    EXPECT_EQ(IniListTitle(L"C:\\WINDOWS\\WIN.INI", L"Load"), L"C:\\WINDOWS\\WIN.INI, [Windows], Load=");
    EXPECT_EQ(IniListTitle(L"C:\\WINDOWS\\WIN.INI", L"Run"), L"C:\\WINDOWS\\WIN.INI, [Windows], Run=");
    // A folder that holds the title's own separators is shown as it is.
    EXPECT_EQ(IniListTitle(L"C:\\a, [Windows], b\\WIN.INI", L"Run"), L"C:\\a, [Windows], b\\WIN.INI, [Windows], Run=");
}

TEST(WindowsFolder, BackslashAppendedOnlyWhenMissing) {
    EXPECT_EQ(WithTrailingBackslash("C:\\WINDOWS"), "C:\\WINDOWS\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\WINDOWS\\"), "C:\\WINDOWS\\");
    EXPECT_EQ(WithTrailingBackslash("C:\\"), "C:\\");
    EXPECT_EQ(WithTrailingBackslash(""), "\\");
}
} // namespace

// The wide forms follow the same rules on text in any script: only ";" splits, only blanks and
// control characters (codes up to the space) are trimmed, whatever else a piece holds is kept.
namespace {
using WidePrograms = std::vector<std::wstring>;

TEST(WideProgramList, SplitsTrimsAndJoinsTextInAnyScript) {
    EXPECT_EQ(SplitProgramList(L" a.exe ; ;b.exe;"), (WidePrograms{L"a.exe", L"b.exe"}));
    EXPECT_EQ(SplitProgramList(L""), WidePrograms{});
    EXPECT_EQ(SplitProgramList(L";;;"), WidePrograms{});
    EXPECT_EQ(SplitProgramList(L"a.exe b.exe"), (WidePrograms{L"a.exe b.exe"}));
    EXPECT_EQ(SplitProgramList(L"\t\x01 C:\\\x5DE5\x5177\\a.exe \r\n;\x0410\x043D\x0434\x0440\x0435\x0439.exe"),
              (WidePrograms{L"C:\\\x5DE5\x5177\\a.exe", L"\x0410\x043D\x0434\x0440\x0435\x0439.exe"}));
    // Characters above the space are never blanks here, also those other rules call spaces.
    EXPECT_EQ(SplitProgramList(L"\x00A0x.exe\x3000"), (WidePrograms{L"\x00A0x.exe\x3000"}));
    // A character outside the basic plane, two UTF-16 units, is kept whole.
    const std::wstring emoji = L"\xD83D\xDE00.exe";
    EXPECT_EQ(SplitProgramList(L" " + emoji + L" ;"), (WidePrograms{emoji}));
    EXPECT_EQ(JoinProgramList(WidePrograms{}), L"");
    EXPECT_EQ(JoinProgramList(WidePrograms{L"C:\\\x5DE5\x5177\\a.exe", emoji, L"c.exe /q"}),
              L"C:\\\x5DE5\x5177\\a.exe;" + emoji + L";c.exe /q");
    EXPECT_EQ(JoinProgramList(SplitProgramList(L" a.exe ; ;b.exe;")), L"a.exe;b.exe");
}

TEST(WideProgramList, FolderInAnyScript) {
    EXPECT_EQ(IniListTitle(L"C:\\\x0410\x0432\x0442\x043E\\WIN.INI", L"Load"),
              L"C:\\\x0410\x0432\x0442\x043E\\WIN.INI, [Windows], Load=");
    EXPECT_EQ(WithTrailingBackslash(std::wstring(L"C:\\\x0416")), L"C:\\\x0416\\");
    EXPECT_EQ(WithTrailingBackslash(std::wstring(L"C:\\")), L"C:\\");
}
} // namespace

namespace {
// What the profile call gives back of a written value: blanks around it go, then one pair of
// enclosing quotes.
TEST(ProfileReadBack, OnePairOfEnclosingQuotesGoes) {
    EXPECT_EQ(ProfileReadBack(L"\"C:\\Program Files\\a.exe\""), L"C:\\Program Files\\a.exe");
    EXPECT_EQ(ProfileReadBack(L"'a.exe'"), L"a.exe");
    // Quotes around the first and the last program are one pair for the call.
    EXPECT_EQ(ProfileReadBack(L"\"a b.exe\";\"c.exe\""), L"a b.exe\";\"c.exe");
    EXPECT_EQ(ProfileReadBack(L"\"\"\"a\"\"\""), L"\"\"a\"\"");
    EXPECT_EQ(ProfileReadBack(L"\"\""), L"");
    EXPECT_EQ(ProfileReadBack(L"''"), L"");
    // Blanks inside the quotes stay.
    EXPECT_EQ(ProfileReadBack(L"\" a \""), L" a ");
}

TEST(ProfileReadBack, QuotesThatDoNotEncloseTheValueStay) {
    for (const wchar_t* value : {L"\"", L"'", L"\"a'", L"'a\"", L"\"a", L"a\"", L"a\"b\"", L"\"a\"b", L"a.exe", L""})
        EXPECT_EQ(ProfileReadBack(value), value);
}

TEST(ProfileReadBack, BlanksAroundTheValueGoFirst) {
    EXPECT_EQ(ProfileReadBack(L"  a.exe  "), L"a.exe");
    EXPECT_EQ(ProfileReadBack(L"\t\r\n\v\f a.exe\x1A"), L"a.exe");
    EXPECT_EQ(ProfileReadBack(L" \"x\" "), L"x");
    EXPECT_EQ(ProfileReadBack(L"   "), L"");
    // Other control characters and blanks beyond ASCII are text.
    EXPECT_EQ(ProfileReadBack(L"\x01x\x1F"), L"\x01x\x1F");
    EXPECT_EQ(ProfileReadBack(L"\xA0x\xA0"), L"\xA0x\xA0");
    EXPECT_EQ(ProfileReadBack(L" \"caf\xe9\" "), L"caf\xe9");
}

// A value joined from a list's programs (each trimmed) reads back as written unless it begins
// and ends with the same quote.
TEST(ProfileReadBack, JoinedProgramListsReadBackAsWrittenWithoutEnclosingQuotes) {
    const std::wstring joined = JoinProgramList(SplitProgramList(std::wstring_view(L" a.exe ; \"b c.exe\" ")));
    EXPECT_EQ(ProfileReadBack(joined), joined);
    EXPECT_EQ(ProfileReadBack(JoinProgramList(std::vector<std::wstring>{L"\"b c.exe\""})), L"b c.exe");
}
} // namespace
