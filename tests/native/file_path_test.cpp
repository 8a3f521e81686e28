// The exact form of a path, and the file names the ordinary form does not name exactly.
#include "sources/FilePathText.h"

#include <gtest/gtest.h>

namespace {
TEST(ExactPath, DrivePathsAndSharesGetTheirPrefix) {
    EXPECT_EQ(ExactPath(L"C:\\Startup\\app.bat"), L"\\\\?\\C:\\Startup\\app.bat");
    EXPECT_EQ(ExactPath(L"z:\\x"), L"\\\\?\\z:\\x");
    EXPECT_EQ(ExactPath(L"C:\\"), L"\\\\?\\C:\\");
    EXPECT_EQ(ExactPath(L"\\\\server\\share\\Startup\\app.bat"), L"\\\\?\\UNC\\server\\share\\Startup\\app.bat");
    // A folder keeps its final backslash, so that a name can follow.
    EXPECT_EQ(ExactPath(L"C:\\Startup\\"), L"\\\\?\\C:\\Startup\\");
}

TEST(ExactPath, TheLastNameIsKeptExactlyEvenWhereTheSystemWouldChangeIt) {
    EXPECT_EQ(ExactPath(L"C:\\Startup\\app.bat."), L"\\\\?\\C:\\Startup\\app.bat.");
    EXPECT_EQ(ExactPath(L"C:\\Startup\\app.bat "), L"\\\\?\\C:\\Startup\\app.bat ");
    EXPECT_EQ(ExactPath(L"C:\\Startup\\nul"), L"\\\\?\\C:\\Startup\\nul");
    EXPECT_EQ(ExactPath(L"C:\\Startup\\CON.lnk"), L"\\\\?\\C:\\Startup\\CON.lnk");
    EXPECT_EQ(ExactPath(L"C:\\Startup\\\u041F\u0440\u043E.lnk"), L"\\\\?\\C:\\Startup\\\u041F\u0440\u043E.lnk");
    const std::wstring longName(300, L'x');
    EXPECT_EQ(ExactPath(L"C:\\" + longName + L"\\" + longName), L"\\\\?\\C:\\" + longName + L"\\" + longName);
}

TEST(ExactPath, FoldersAreMadeOverAsTheSystemWouldHaveDone) {
    EXPECT_EQ(ExactPath(L"C:/Users/me/Startup/a.lnk"), L"\\\\?\\C:\\Users\\me\\Startup\\a.lnk");
    EXPECT_EQ(ExactPath(L"C:\\Users\\\\me\\.\\Startup\\a.lnk"), L"\\\\?\\C:\\Users\\me\\Startup\\a.lnk");
    EXPECT_EQ(ExactPath(L"C:\\Users\\other\\..\\me\\Startup\\a.lnk"), L"\\\\?\\C:\\Users\\me\\Startup\\a.lnk");
    EXPECT_EQ(ExactPath(L"C:\\..\\a.lnk"), L"\\\\?\\C:\\a.lnk");
    EXPECT_EQ(ExactPath(L"//server/share/a.lnk"), L"\\\\?\\UNC\\server\\share\\a.lnk");
}

TEST(ExactPath, PathsAlreadyExactAndPathsNotFullStayAsTheyAre) {
    for (const wchar_t* path : {L"\\\\?\\C:\\a.", L"\\\\?\\UNC\\s\\x\\a", L"\\\\.\\COM1", L"a.lnk", L"Startup\\a.lnk",
                                L"C:a.lnk", L"\\Startup\\a.lnk", L"", L"1:\\a"})
        EXPECT_EQ(ExactPath(path), path);
}

TEST(NameNeedsExactPath, TrailingDotsAndBlanksAndDeviceNames) {
    for (const wchar_t* name : {L"app.bat.", L"app.bat ", L"app.", L".", L"nul", L"NUL", L"Con.lnk", L"con .lnk",
                                L"aux.txt.lnk", L"prn", L"COM1", L"com9.lnk", L"LPT0", L"lpt5.x"})
        EXPECT_TRUE(NameNeedsExactPath(name)) << name;
    for (const wchar_t* name : {L"app.bat", L"null", L"console.lnk", L"COM10", L"COM", L"LPT", L"xnul", L"COMA",
                                L".nul", L"my nul.lnk", L"", L"a b.lnk", L"\u041D\u0423\u041B"})
        EXPECT_FALSE(NameNeedsExactPath(name)) << name;
}
} // namespace
