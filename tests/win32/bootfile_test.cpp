// The boot batch file sections on real files of the Wine drive.
#include "FormDriving.h"
#include "HeldFile.h"
#include "ImportPatch.h"
#include "TestSupport.h"

#include "sources/BootFile.h"
#include "sources/BootFileText.h"
#include "sources/TextFile.h"
#include "sources/WideText.h"
#include "ui/Dawnroll.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
using namespace std::string_literals;

constexpr int kDesignedHeight = 41;

DWORD Attributes(const std::string& path) {
    return GetFileAttributesA(path.c_str());
}

// What the file must hold after a toggle: the list's lines, each with a carriage return and
// line feed.
std::string ListAsFile(const CheckListBox& list) {
    std::string text;
    for (int i = 0; i < list.Count(); ++i)
        text += list.Line(i) + "\r\n";
    return text;
}

// The height a boot file section of `lines` lines gets: (n + 1) * h + 21, h being the height
// of "REM" in the list's font (13 with the designed font on Windows; Wine's stand-in for that
// font may differ by a pixel).
int BootSectionHeight(const CheckListBox& list, int lines) {
    HDC dc = GetDC(list.Handle());
    const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(list.Handle(), WM_GETFONT, 0, 0)));
    SIZE size = {};
    GetTextExtentPoint32A(dc, "REM", 3, &size);
    SelectObject(dc, old);
    ReleaseDC(list.Handle(), dc);
    EXPECT_GE(size.cy, 12);
    EXPECT_LE(size.cy, 16);
    return (lines + 1) * size.cy + 21;
}

bool ShownOnScreen(const Section& box) {
    return (GetWindowLongA(box.Handle(), GWL_STYLE) & WS_VISIBLE) != 0;
}

// A text with every line end (a carriage return, with or without its line feed) written as
// carriage return and line feed, and one after the last line.
std::string WithCrLfLineEnds(const std::string& text) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r') {
            result += text[i];
            continue;
        }
        result += "\r\n";
        if (i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
    }
    if (!result.empty() && result.compare(result.size() - 2, 2, "\r\n") != 0)
        result += "\r\n";
    return result;
}

class BootFileTest : public FormTest {
  protected:
    void Load(const std::string& bytes) {
        WriteBytes(folder.File("CONFIG.SYS"), bytes);
        if (!form->Handle())
            form->Create();
        else
            Section1().LoadBootFile();
    }
    CheckListBox& List() { return form->CheckListBoxN(1); }
    BootFileSection& Section1() { return form->SectionN<BootFileSection>(1); }
    // Makes the window on a CONFIG.SYS outside the scratch folder.
    void CreateFormReading(const std::string& configSys) {
        SourceLocators locators;
        locators.configSys = configSys;
        locators.autoexecBat = folder.File("AUTOEXEC.BAT");
        locators.windowsFolder = [this] { return folder.Path(); };
        form = std::make_unique<TFormDawnroll>(locators);
        form->Create();
    }
    std::string Config() { return ReadBytes(folder.File("CONFIG.SYS")); }
    // Changes a line's mark the way the user does: the list changes the mark and tells the
    // form through its group box, whose handler rewrites the file. Answers the error dialog's
    // text, empty when none came.
    std::string ToggleByUser(int index, int section = 1) {
        const DialogSeen seen =
            RunExpectingErrorDialog([&] { form->CheckListBoxN(section).ToggleByUser(index); }, 3000);
        if (seen.shown) {
            EXPECT_EQ(seen.title, ThisProgramTitle());
        }
        return seen.text;
    }
};

TEST_F(BootFileTest, LoadsLinesWithMarksAndTogglesThem) {
    Load("DEVICE=a.sys\r\nrem DEVICE=b.sys\r\nREMARK\r\nREM\r\n");
    ASSERT_EQ(List().Count(), 4);
    EXPECT_TRUE(List().Checked(0));
    EXPECT_FALSE(List().Checked(1));
    EXPECT_TRUE(List().Checked(2));
    EXPECT_TRUE(List().Checked(3));
    EXPECT_EQ(form->GroupBoxN(1).Title(), folder.File("CONFIG.SYS"));

    List().SetChecked(0, false);
    Section1().BootFileClickCheck();
    EXPECT_EQ(ReadBytes(folder.File("CONFIG.SYS")), "REM DEVICE=a.sys\r\nrem DEVICE=b.sys\r\nREMARK\r\nREM\r\n");
    List().SetChecked(1, true);
    Section1().BootFileClickCheck();
    EXPECT_EQ(ReadBytes(folder.File("CONFIG.SYS")), "REM DEVICE=a.sys\r\nDEVICE=b.sys\r\nREMARK\r\nREM\r\n");
    EXPECT_EQ(List().Line(1), "DEVICE=b.sys");
}

TEST_F(BootFileTest, EachSectionsEventRewritesItsOwnFile) {
    WriteBytes(folder.File("AUTOEXEC.BAT"), "@ECHO OFF\r\nrem SET X=1\r\nPATH C:\\DOS");
    Load("DEVICE=a.sys\r\nFILES=30\r\nBUFFERS=20\r\n");
    EXPECT_EQ(form->GroupBoxN(1).Height(), BootSectionHeight(List(), 3));
    EXPECT_EQ(form->GroupBoxN(2).Height(), BootSectionHeight(form->CheckListBoxN(2), 3));
    EXPECT_EQ(form->GroupBoxN(2).Title(), folder.File("AUTOEXEC.BAT"));

    // The lower-case marker goes and comes back upper case; the last line gains its break.
    EXPECT_EQ(ToggleByUser(1, 2), "");
    EXPECT_TRUE(form->CheckListBoxN(2).Checked(1));
    EXPECT_EQ(ReadBytes(folder.File("AUTOEXEC.BAT")), "@ECHO OFF\r\nSET X=1\r\nPATH C:\\DOS\r\n");
    EXPECT_EQ(ToggleByUser(1, 2), "");
    EXPECT_FALSE(form->CheckListBoxN(2).Checked(1));
    EXPECT_EQ(ReadBytes(folder.File("AUTOEXEC.BAT")), "@ECHO OFF\r\nREM SET X=1\r\nPATH C:\\DOS\r\n");
    EXPECT_EQ(form->CheckListBoxN(2).Line(1), "REM SET X=1");
    // The other section's file was not touched.
    EXPECT_EQ(Config(), "DEVICE=a.sys\r\nFILES=30\r\nBUFFERS=20\r\n");

    EXPECT_EQ(ToggleByUser(2), "");
    EXPECT_EQ(Config(), "DEVICE=a.sys\r\nFILES=30\r\nREM BUFFERS=20\r\n");
    EXPECT_EQ(FilesIn(folder.Path()), (std::vector<std::string>{"AUTOEXEC.BAT", "CONFIG.SYS"}));
}

TEST_F(BootFileTest, MarkerEdgeCasesOnARealFile) {
    Load("REM\r\n\r\nREM Settings follow\r\nREMARK\r\n  REM x\r\nRem lower");
    ASSERT_EQ(List().Count(), 6);
    const bool marks[] = {true, true, false, true, true, false};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(List().Checked(i), marks[i]) << i;

    EXPECT_EQ(ToggleByUser(0), "");
    EXPECT_EQ(ToggleByUser(1), "");
    EXPECT_EQ(ToggleByUser(2), "");
    EXPECT_EQ(Config(), "REM REM\r\nREM \r\nSettings follow\r\nREMARK\r\n  REM x\r\nRem lower\r\n");
    EXPECT_EQ(Config(), ListAsFile(List()));
}

TEST_F(BootFileTest, ReadOnlyHiddenFileIsRewrittenAndKeepsItsAttributes) {
    Load("DEVICE=a.sys\r\nFILES=30\r\n");
    const std::string path = folder.File("CONFIG.SYS");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    const DWORD before = Attributes(path);
    ASSERT_TRUE(before & FILE_ATTRIBUTE_READONLY);

    EXPECT_EQ(ToggleByUser(0), "");
    EXPECT_EQ(Config(), "REM DEVICE=a.sys\r\nFILES=30\r\n");
    EXPECT_EQ(Attributes(path), before);
    EXPECT_EQ(ToggleByUser(0), "");
    EXPECT_EQ(Config(), "DEVICE=a.sys\r\nFILES=30\r\n");
    EXPECT_EQ(Attributes(path), before);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});
}

TEST_F(BootFileTest, MissingFileHidesTheSectionOrShowsItEmpty) {
    form->Create();
    EXPECT_FALSE(form->GroupBoxN(1).IsVisible());
    EXPECT_FALSE(ShownOnScreen(form->GroupBoxN(1)));
    EXPECT_FALSE(form->GroupBoxN(2).IsVisible());

    form->Showemptystartups1Click();
    EXPECT_TRUE(ShownOnScreen(form->GroupBoxN(1)));
    EXPECT_EQ(form->GroupBoxN(1).Title(), folder.File("CONFIG.SYS"));
    EXPECT_EQ(List().Count(), 0);
    EXPECT_EQ(form->GroupBoxN(1).Height(), kDesignedHeight);
    EXPECT_TRUE(ShownOnScreen(form->GroupBoxN(2)));
    EXPECT_EQ(form->GroupBoxN(2).Title(), folder.File("AUTOEXEC.BAT"));
    EXPECT_FALSE(FileExists(folder.File("CONFIG.SYS")));

    // An empty file opens: the section shows, one text line high, even with hide-empty on.
    WriteBytes(folder.File("CONFIG.SYS"), "");
    form->Hideemptystartups1Click();
    EXPECT_TRUE(ShownOnScreen(form->GroupBoxN(1)));
    EXPECT_EQ(List().Count(), 0);
    EXPECT_EQ(form->GroupBoxN(1).Height(), BootSectionHeight(List(), 0));
    EXPECT_FALSE(ShownOnScreen(form->GroupBoxN(2)));

    // Gone again: hidden, and the height stays what the last load set.
    DeleteFileA(folder.File("CONFIG.SYS").c_str());
    form->Hideemptystartups1Click();
    EXPECT_FALSE(ShownOnScreen(form->GroupBoxN(1)));
    form->Showemptystartups1Click();
    EXPECT_TRUE(ShownOnScreen(form->GroupBoxN(1)));
    EXPECT_EQ(form->GroupBoxN(1).Height(), BootSectionHeight(List(), 0));
}

TEST_F(BootFileTest, FileHeldByAnotherProcessIsLeftAloneAndTheUserIsToldWhy) {
    const std::string path = folder.File("CONFIG.SYS");
    Load("DEVICE=a.sys\r\nFILES=30\r\n");
    const std::string before = Config();
    const DWORD attributes = Attributes(path);
    {
        HeldFile held(path);
        EXPECT_EQ(ToggleByUser(0),
                  "\"DEVICE=a.sys\" in " + path + " was not switched off: it is in use by another program.");
        // The mark shows the file as it is, and the text is the file's.
        EXPECT_TRUE(List().Checked(0));
        EXPECT_EQ(List().Line(0), "DEVICE=a.sys");
        EXPECT_EQ(held.Release(), 0u);
    }
    EXPECT_EQ(Config(), before);
    EXPECT_EQ(Attributes(path), attributes);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});

    // The refused change does not wait in the window: the next toggle writes only its own.
    EXPECT_EQ(ToggleByUser(1), "");
    EXPECT_EQ(Config(), "DEVICE=a.sys\r\nREM FILES=30\r\n");

    // A file held open cannot be read either: the section counts as empty.
    HeldFile held(path);
    form->Hideemptystartups1Click();
    EXPECT_FALSE(ShownOnScreen(form->GroupBoxN(1)));
    EXPECT_EQ(List().Count(), 0);
}

TEST_F(BootFileTest, FullDiskLeavesTheOriginalIntactAndReportsTheError) {
    char drive[16] = {};
    if (!GetEnvironmentVariableA("DAWNROLL_FULL_DRIVE", drive, sizeof drive))
        GTEST_SKIP() << "no small drive to fill: DAWNROLL_FULL_DRIVE is set by the test session "
                        "when it can mount one (as root)";
    const std::string root = std::string(drive) + "\\";
    ULARGE_INTEGER freeBytes = {};
    ASSERT_TRUE(GetDiskFreeSpaceExA(root.c_str(), &freeBytes, nullptr, nullptr)) << root;
    ASSERT_LT(freeBytes.QuadPart, 64u << 20) << "not a small drive: " << root;

    const std::string path = root + "CONFIG.SYS";
    const std::string filler = root + "filler.bin";
    DeleteFileA(filler.c_str());
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    const std::string original = "DEVICE=a.sys\r\nrem FILES=30\r\nBUFFERS=20";
    WriteBytes(path, original);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    const DWORD attributes = Attributes(path);

    CreateFormReading(path);
    ASSERT_EQ(List().Count(), 3);

    // Fill the drive to the last byte.
    {
        HANDLE file =
            CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE);
        const std::string chunk(64 * 1024, 'f');
        for (DWORD size = static_cast<DWORD>(chunk.size()); size > 0; size /= 2) {
            DWORD written = 0;
            while (WriteFile(file, chunk.data(), size, &written, nullptr) && written == size) {
            }
        }
        CloseHandle(file);
    }
    ASSERT_TRUE(GetDiskFreeSpaceExA(root.c_str(), &freeBytes, nullptr, nullptr));
    EXPECT_EQ(freeBytes.QuadPart, 0u);

    EXPECT_EQ(ToggleByUser(0), "I/O error 112.");
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(Attributes(path), attributes);
    EXPECT_EQ(FilesIn(root), (std::vector<std::string>{"CONFIG.SYS", "filler.bin"}));
    // The mark shows the file as it is, and the texts are the file's.
    EXPECT_TRUE(List().Checked(0));
    EXPECT_EQ(List().Line(0), "DEVICE=a.sys");

    // With room again, the same click goes through.
    DeleteFileA(filler.c_str());
    EXPECT_EQ(ToggleByUser(0), "");
    EXPECT_EQ(ReadBytes(path), "REM DEVICE=a.sys\r\nrem FILES=30\r\nBUFFERS=20\r\n");
    EXPECT_EQ(Attributes(path), attributes);
    EXPECT_EQ(FilesIn(root), std::vector<std::string>{"CONFIG.SYS"});
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(path.c_str());
}

TEST_F(BootFileTest, CtrlZLineFeedsAndMissingLastLineEnd) {
    Load("DEVICE=a.sys\r\nFILES=30\x1a"
         "BUFFERS=20\r\n\x1a");
    ASSERT_EQ(List().Count(), 2);
    EXPECT_EQ(List().Line(1), "FILES=30");
    EXPECT_EQ(ToggleByUser(0), "");
    // The Ctrl-Z and everything after it are gone; the last line gained its line end.
    EXPECT_EQ(Config(), "REM DEVICE=a.sys\r\nFILES=30\r\n");

    // Line feeds alone end no line: the whole text is one line.
    Load("DEVICE=a.sys\nFILES=30\n");
    ASSERT_EQ(List().Count(), 1);
    EXPECT_EQ(ToggleByUser(0), "");
    EXPECT_EQ(Config(), "REM DEVICE=a.sys\nFILES=30\n\r\n");
}

TEST_F(BootFileTest, LineEndsAndCtrlZBeyondTheFirstReadChunk) {
    // A carriage return and its line feed on either side of the 64 KiB read chunk.
    const std::string first(65535, 'a');
    Load(first + "\r\nb\r\n");
    ASSERT_EQ(List().Count(), 2);
    EXPECT_EQ(List().Line(0), first);
    EXPECT_EQ(List().Line(1), "b");

    // A Ctrl-Z far into the file still ends it.
    const std::string line(100, 'c');
    std::string text;
    for (int i = 0; i < 1000; ++i)
        text += line + "\r\n";
    Load(text + "tail\x1aignored\r\nmore\r\n");
    ASSERT_EQ(List().Count(), 1001);
    EXPECT_EQ(List().Line(1000), "tail");
    EXPECT_EQ(ToggleByUser(1000), "");
    EXPECT_EQ(Config(), text + "REM tail\r\n");
}

TEST_F(BootFileTest, BinaryFilesLoadAndAreRewrittenIntact) {
    // Every byte value in order: the Ctrl-Z (26) ends the text; the carriage return (13) is
    // the one line end and the line feed (10) stays in the first line. The NUL in front makes it
    // no text this program rewrites: its lines are shown, and a click is told and writes nothing.
    std::string ascending;
    for (int c = 0; c < 256; ++c)
        ascending += static_cast<char>(c);
    Load(ascending);
    ASSERT_EQ(List().Count(), 2);
    EXPECT_EQ(List().WideLine(0), L"\u2400" + WideOfAnsi(ascending.substr(1, 12)));
    EXPECT_EQ(List().Line(1), ascending.substr(14, 12));
    EXPECT_NE(ToggleByUser(1).find("it holds NUL bytes"), std::string::npos);
    EXPECT_EQ(Config(), ascending);

    // In reverse order, the file begins with FF FE, the byte-order mark of UTF-16 text: such a
    // file is never rewritten, and the user is told why.
    std::string descending(ascending.rbegin(), ascending.rend());
    Load(descending);
    EXPECT_NE(ToggleByUser(0).find("Unicode (UTF-16)"), std::string::npos);
    EXPECT_EQ(Config(), descending);

    // With 253 in front, one line of the bytes 255 down to 27.
    descending.erase(2, 1);
    descending.insert(0, 1, '\xFD');
    Load(descending);
    ASSERT_EQ(List().Count(), 1);
    EXPECT_EQ(List().Line(0), descending.substr(0, 229));
    EXPECT_EQ(ToggleByUser(0), "");
    EXPECT_EQ(Config(), "REM " + descending.substr(0, 229) + "\r\n");

    // 256 KiB of every byte but the Ctrl-Z and NUL: switched off and on again, the file comes
    // back with only its line ends made uniform.
    std::string noise;
    unsigned state = 12345;
    while (noise.size() < 256 * 1024) {
        state = state * 1103515245u + 12345u;
        const char c = static_cast<char>(state >> 16);
        if (c != 26 && c != 0)
            noise += c;
    }
    Load(noise);
    const int count = List().Count();
    ASSERT_GT(count, 500);
    ASSERT_TRUE(List().Checked(0));
    EXPECT_EQ(ToggleByUser(0), "");
    EXPECT_EQ(Config(), ListAsFile(List()));
    EXPECT_EQ(ToggleByUser(0), "");
    EXPECT_EQ(List().Count(), count);
    EXPECT_EQ(Config(), WithCrLfLineEnds(noise));
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});
}

TEST_F(BootFileTest, MegabyteLineAndHundredThousandLines) {
    const std::string longLine = "DEVICE=" + std::string(1 << 20, 'x');
    Load(longLine + "\r\nREM y\r\n");
    ASSERT_EQ(List().Count(), 2);
    EXPECT_EQ(List().Line(0).size(), longLine.size());
    EXPECT_EQ(ToggleByUser(0), "");
    EXPECT_EQ(Config(), "REM " + longLine + "\r\nREM y\r\n");
    EXPECT_EQ(ToggleByUser(1), "");
    EXPECT_EQ(Config(), "REM " + longLine + "\r\ny\r\n");

    std::string many;
    std::string expected;
    for (int i = 0; i < 100000; ++i) {
        const std::string line = "SET V" + std::to_string(i) + "=" + std::to_string(i * 7);
        many += line + "\r\n";
        expected += (i == 54321 ? "REM " : "") + line + "\r\n";
    }
    Load(many);
    ASSERT_EQ(List().Count(), 100000);
    EXPECT_EQ(ToggleByUser(54321), "");
    EXPECT_EQ(Config(), expected);
    EXPECT_EQ(List().Line(54321), "REM SET V54321=380247");
}

TEST_F(BootFileTest, LineAddedByAnInstallerIsNotLostByAClick) {
    const std::string path = folder.File("CONFIG.SYS");
    Load("A\r\nB\r\n");
    ShowForInput(form->Handle());
    ASSERT_EQ(List().Count(), 2);

    // An installer adds its line while the window is open; then the user unchecks A.
    WriteBytes(path, "A\r\nB\r\nC=installer\r\n");
    const POINT onA = PointOnLine(List(), 0, 7);
    const DialogLook look = RunLookingAtErrorDialog([&] { ClickAt(List().Handle(), onA.x, onA.y); });
    ASSERT_TRUE(look.shown);
    EXPECT_EQ(look.text, path + " was changed by another program; it has been read again and nothing was written.");
    EXPECT_EQ(look.title, ThisProgramTitle());
    EXPECT_TRUE(look.stopIcon);
    // Nothing is lost, and the window shows the file as it now is.
    EXPECT_EQ(Config(), "A\r\nB\r\nC=installer\r\n");
    ASSERT_EQ(List().Count(), 3);
    EXPECT_EQ(List().Line(2), "C=installer");
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(List().Checked(i)) << i;
    EXPECT_EQ(form->GroupBoxN(1).Height(), BootSectionHeight(List(), 3));
    SaveScreenshot("bootfile-changed-by-another-program");

    // The next click works as usual, on the file as the installer left it.
    EXPECT_FALSE(RunLookingAtErrorDialog([&] { ClickAt(List().Handle(), onA.x, onA.y); }, 3000).shown);
    EXPECT_FALSE(List().Checked(0));
    EXPECT_EQ(Config(), "REM A\r\nB\r\nC=installer\r\n");
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});
}

TEST_F(BootFileTest, FileChangedOrRemovedByAnotherProgramIsReadAgainAndNotWritten) {
    const std::string path = folder.File("CONFIG.SYS");
    Load("DEVICE=a.sys\r\nFILES=30\r\n");
    // The same lines with other line ends are another text: the file is not taken over.
    WriteBytes(path, "DEVICE=a.sys\nFILES=30\n");
    EXPECT_EQ(ToggleByUser(1), path + " was changed by another program; it has been read again and nothing was "
                                      "written.");
    EXPECT_EQ(Config(), "DEVICE=a.sys\nFILES=30\n");
    ASSERT_EQ(List().Count(), 1);
    EXPECT_TRUE(List().Checked(0));

    // A toggle that the section wrote itself is what the next one expects: no dialog.
    EXPECT_EQ(ToggleByUser(0), "");
    EXPECT_EQ(Config(), "REM DEVICE=a.sys\nFILES=30\n\r\n");
    EXPECT_EQ(ToggleByUser(0), "");
    EXPECT_EQ(Config(), "DEVICE=a.sys\nFILES=30\n\r\n");

    // Removed by another program: not made again; the section shows it gone.
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    form->Showemptystartups1Click();
    WriteBytes(path, "X\r\n");
    Section1().SetPath(path);
    Section1().LoadBootFile();
    ASSERT_TRUE(DeleteFileA(path.c_str()));
    EXPECT_EQ(ToggleByUser(0), path + " was changed by another program; it has been read again and nothing was "
                                      "written.");
    EXPECT_FALSE(FileExists(path));
    EXPECT_EQ(List().Count(), 0);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{});
}

// Faults of the file system, made inside this process by replacing what it imports.
struct FileSystemFaults {
    static inline ImportReplacement* createFile = nullptr;
    static inline ImportReplacement* writeFile = nullptr;
    static inline ImportReplacement* replaceFile = nullptr;
    // New files are refused here, as in a folder where the user may change files but not add any.
    static inline std::string refusingFolder;
    // The first write of a buffer beginning with this text writes half of it and fails.
    static inline std::string failingText;
    static inline bool failed = false;
    static inline DWORD replaceError = 0;
    static inline int replaceCalls = 0;
    static inline ImportReplacement* moveFile = nullptr;
    static inline DWORD moveError = 0;
    static inline ImportReplacement* procAddress = nullptr;

    // The system as Windows: Wine's own export is not found.
    static FARPROC WINAPI WindowsGetProcAddress(HMODULE module, LPCSTR name) {
        if (reinterpret_cast<ULONG_PTR>(name) > 0xFFFF && std::strcmp(name, "wine_get_version") == 0) {
            SetLastError(ERROR_PROC_NOT_FOUND);
            return nullptr;
        }
        return procAddress->Original<decltype(&GetProcAddress)>()(module, name);
    }
    static BOOL WINAPI AnsweringMoveFile(LPCSTR from, LPCSTR to, DWORD flags) {
        if (moveError) {
            SetLastError(moveError);
            return FALSE;
        }
        return moveFile->Original<decltype(&MoveFileExA)>()(from, to, flags);
    }

    static HANDLE WINAPI RefusingCreateFile(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                            DWORD disposition, DWORD flags, HANDLE pattern) {
        if (disposition == CREATE_NEW && name &&
            std::strncmp(name, refusingFolder.c_str(), refusingFolder.size()) == 0 &&
            std::strchr(name + refusingFolder.size(), '\\') == nullptr) {
            SetLastError(ERROR_ACCESS_DENIED);
            return INVALID_HANDLE_VALUE;
        }
        return createFile->Original<decltype(&CreateFileA)>()(name, access, share, security, disposition, flags,
                                                              pattern);
    }
    static BOOL WINAPI FailingWriteFile(HANDLE file, LPCVOID data, DWORD size, LPDWORD written,
                                        LPOVERLAPPED overlapped) {
        const auto write = writeFile->Original<decltype(&WriteFile)>();
        if (!failed && !failingText.empty() && size >= failingText.size() &&
            std::memcmp(data, failingText.data(), failingText.size()) == 0) {
            failed = true;
            write(file, data, size / 2, written, overlapped);
            SetLastError(ERROR_WRITE_FAULT);
            return FALSE;
        }
        return write(file, data, size, written, overlapped);
    }
    static BOOL WINAPI AnsweringReplaceFile(LPCSTR replaced, LPCSTR replacement, LPCSTR backup, DWORD flags,
                                            LPVOID exclude, LPVOID reserved) {
        ++replaceCalls;
        if (replaceError) {
            SetLastError(replaceError);
            return FALSE;
        }
        return replaceFile->Original<decltype(&ReplaceFileA)>()(replaced, replacement, backup, flags, exclude,
                                                                reserved);
    }
};

// The files Dawnroll left in a folder: its temporary files and backups.
std::vector<std::string> DawnrollFilesIn(const std::string& folder) {
    std::vector<std::string> found;
    for (const auto& name : FilesIn(folder)) {
        if (name.find(".Dawnroll-") != std::string::npos)
            found.push_back(name);
    }
    return found;
}

std::string TemporaryFolder() {
    char path[MAX_PATH + 1] = {};
    GetTempPathA(sizeof path, path);
    std::string folder = path;
    if (folder.empty() || folder.back() != '\\')
        folder += '\\';
    return folder;
}

// Identity of a file: volume and index (what a rename of another file in its place changes).
std::pair<DWORD, unsigned long long> FileIdentity(const std::string& path) {
    HANDLE file = CreateFileA(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    BY_HANDLE_FILE_INFORMATION info = {};
    GetFileInformationByHandle(file, &info);
    CloseHandle(file);
    return {info.dwVolumeSerialNumber,
            (static_cast<unsigned long long>(info.nFileIndexHigh) << 32) | info.nFileIndexLow};
}

// Where the system replaces files whole (Windows), ReplaceFileA puts the new text in place; its
// answers decide what the user is told.
TEST_F(BootFileTest, WhatTheReplacementAnswersDecidesWhatTheUserIsTold) {
    const std::string path = folder.File("CONFIG.SYS");
    Load("A\r\nB\r\n");
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
    const DWORD attributes = Attributes(path);
    ImportReplacement windows("kernel32.dll", "GetProcAddress",
                              reinterpret_cast<void*>(&FileSystemFaults::WindowsGetProcAddress));
    FileSystemFaults::procAddress = &windows;
    ImportReplacement replace("kernel32.dll", "ReplaceFileA",
                              reinterpret_cast<void*>(&FileSystemFaults::AnsweringReplaceFile));
    FileSystemFaults::replaceFile = &replace;
    FileSystemFaults::replaceCalls = 0;

    // Access denied is a refusal, told with its reason; the file is as it was, no temporary file
    // is left.
    FileSystemFaults::replaceError = ERROR_ACCESS_DENIED;
    EXPECT_NE(ToggleByUser(0).find("access is denied"), std::string::npos);
    EXPECT_EQ(FileSystemFaults::replaceCalls, 1);
    EXPECT_EQ(Config(), "A\r\nB\r\n");
    EXPECT_EQ(Attributes(path), attributes);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});
    EXPECT_TRUE(List().Checked(0)) << "the mark shows the file as it is";
    EXPECT_EQ(List().Line(0), "A");

    // A sharing violation: another program holds the file; the user is told, nothing changes.
    FileSystemFaults::replaceError = ERROR_SHARING_VIOLATION;
    EXPECT_EQ(ToggleByUser(1), "\"B\" in " + path + " was not switched off: it is in use by another program.");
    EXPECT_EQ(Config(), "A\r\nB\r\n");
    EXPECT_TRUE(List().Checked(1));
    EXPECT_EQ(Attributes(path), attributes);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});

    // A volume that cannot replace files: the new file is moved into place instead.
    FileSystemFaults::replaceError = ERROR_NOT_SUPPORTED;
    EXPECT_EQ(ToggleByUser(0), "");
    EXPECT_EQ(Config(), "REM A\r\nB\r\n");
    EXPECT_EQ(Attributes(path), attributes);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});

    // The system's replacement itself (Wine's, here, as it would run on Windows).
    FileSystemFaults::replaceError = 0;
    const int calls = FileSystemFaults::replaceCalls;
    EXPECT_EQ(ToggleByUser(0), "");
    EXPECT_EQ(FileSystemFaults::replaceCalls, calls + 1);
    EXPECT_EQ(Config(), "A\r\nB\r\n");
    EXPECT_EQ(Attributes(path), attributes);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// On Wine, whose ReplaceFileA moves the original aside before the new file comes in, the new
// file is moved into place in one step; the same answers mean the same to the user.
TEST_F(BootFileTest, OnWineTheNewFileIsMovedIntoPlaceAndItsAnswersCount) {
    const HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    if (!ntdll || !GetProcAddress(ntdll, "wine_get_version"))
        GTEST_SKIP() << "not running on Wine";
    const std::string path = folder.File("CONFIG.SYS");
    Load("A\r\nB\r\n");
    ImportReplacement replace("kernel32.dll", "ReplaceFileA",
                              reinterpret_cast<void*>(&FileSystemFaults::AnsweringReplaceFile));
    FileSystemFaults::replaceFile = &replace;
    FileSystemFaults::replaceCalls = 0;
    FileSystemFaults::replaceError = 0;
    ImportReplacement move("kernel32.dll", "MoveFileExA",
                           reinterpret_cast<void*>(&FileSystemFaults::AnsweringMoveFile));
    FileSystemFaults::moveFile = &move;

    FileSystemFaults::moveError = ERROR_ACCESS_DENIED;
    EXPECT_NE(ToggleByUser(0).find("access is denied"), std::string::npos);
    EXPECT_EQ(Config(), "A\r\nB\r\n");
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});
    FileSystemFaults::moveError = ERROR_LOCK_VIOLATION;
    EXPECT_NE(ToggleByUser(1).find("it is in use by another program"), std::string::npos);
    EXPECT_EQ(Config(), "A\r\nB\r\n");
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});
    EXPECT_TRUE(List().Checked(0));
    EXPECT_TRUE(List().Checked(1));
    FileSystemFaults::moveError = 0;
    EXPECT_EQ(ToggleByUser(0), "");
    EXPECT_EQ(Config(), "REM A\r\nB\r\n");
    EXPECT_EQ(FileSystemFaults::replaceCalls, 0);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});
}

TEST_F(BootFileTest, FolderRefusingNewFilesIsWrittenInPlaceAndAFailedWriteIsUndone) {
    const std::string path = folder.File("CONFIG.SYS");
    const std::string original = "A\r\nB\r\nC=installer";
    Load(original);
    ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    const DWORD attributes = Attributes(path);
    const auto identity = FileIdentity(path);
    const auto backupsBefore = DawnrollFilesIn(TemporaryFolder());
    ImportReplacement create("kernel32.dll", "CreateFileA",
                             reinterpret_cast<void*>(&FileSystemFaults::RefusingCreateFile));
    ImportReplacement write("kernel32.dll", "WriteFile", reinterpret_cast<void*>(&FileSystemFaults::FailingWriteFile));
    FileSystemFaults::createFile = &create;
    FileSystemFaults::writeFile = &write;
    FileSystemFaults::refusingFolder = folder.Path();
    FileSystemFaults::failed = false;

    // The write fails half-way: the original bytes are back, and the error is shown.
    FileSystemFaults::failingText = "REM A\r\n";
    EXPECT_EQ(ToggleByUser(0), "I/O error 29.");
    EXPECT_TRUE(FileSystemFaults::failed) << "the in-place write never came";
    EXPECT_EQ(ReadBytes(path), original);
    EXPECT_EQ(Attributes(path), attributes);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});
    EXPECT_EQ(DawnrollFilesIn(TemporaryFolder()), backupsBefore) << "the backup was not removed";
    EXPECT_TRUE(List().Checked(0)) << "the mark shows the file as it is";
    EXPECT_EQ(List().Line(0), "A");

    // Once writes go through, the toggle writes the file in place: the same file, new text.
    EXPECT_EQ(ToggleByUser(0), "");
    EXPECT_EQ(ToggleByUser(1), "");
    EXPECT_EQ(ReadBytes(path), "REM A\r\nREM B\r\nC=installer\r\n");
    EXPECT_EQ(Attributes(path), attributes);
    EXPECT_EQ(FileIdentity(path), identity);
    EXPECT_EQ(FilesIn(folder.Path()), std::vector<std::string>{"CONFIG.SYS"});
    EXPECT_EQ(DawnrollFilesIn(TemporaryFolder()), backupsBefore);
    // A shorter text leaves nothing of the longer one behind.
    EXPECT_EQ(ToggleByUser(0), "");
    EXPECT_EQ(ToggleByUser(1), "");
    EXPECT_EQ(ReadBytes(path), "A\r\nB\r\nC=installer\r\n");
    // Changed by another program meanwhile: still nothing written.
    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    WriteBytes(path, "A\r\n");
    EXPECT_EQ(ToggleByUser(0), path + " was changed by another program; it has been read again and nothing was "
                                      "written.");
    EXPECT_EQ(ReadBytes(path), "A\r\n");
    EXPECT_EQ(List().Count(), 1);
}

// Run as a user who may change the file but not add files to its folder (the test session
// runs this one test so, see scripts/run-as-user.sh): the system itself refuses the temporary
// file, and the toggle writes the file in place.
TEST_F(BootFileTest, FolderThatRefusesNewFilesForRealIsWrittenInPlace) {
    char refusing[MAX_PATH] = {};
    if (!GetEnvironmentVariableA("DAWNROLL_REFUSING_FOLDER", refusing, sizeof refusing))
        GTEST_SKIP() << "no folder that refuses new files: DAWNROLL_REFUSING_FOLDER is set when this test "
                        "runs as a user without the right to add files there (scripts/run-as-user.sh)";
    std::string root = refusing;
    if (root.back() != '\\')
        root += '\\';
    const std::string path = root + "CONFIG.SYS";
    ASSERT_EQ(ReadBytes(path), "A\r\nB\r\n");
    // The folder refuses new files by itself.
    const std::string probe = root + "probe.tmp";
    HANDLE file = CreateFileA(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    const DWORD error = GetLastError();
    if (file != INVALID_HANDLE_VALUE) {
        CloseHandle(file);
        DeleteFileA(probe.c_str());
    }
    ASSERT_EQ(file, INVALID_HANDLE_VALUE) << "the folder takes new files";
    ASSERT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));
    const auto backupsBefore = DawnrollFilesIn(TemporaryFolder());

    CreateFormReading(path);
    ShowForInput(form->Handle());
    ASSERT_EQ(List().Count(), 2);
    const POINT onA = PointOnLine(List(), 0, 7);
    const DialogLook look = RunLookingAtErrorDialog([&] { ClickAt(List().Handle(), onA.x, onA.y); }, 3000);
    EXPECT_FALSE(look.shown) << look.text;
    EXPECT_EQ(ReadBytes(path), "REM A\r\nB\r\n");
    EXPECT_EQ(FilesIn(root), std::vector<std::string>{"CONFIG.SYS"});
    EXPECT_EQ(DawnrollFilesIn(TemporaryFolder()), backupsBefore);
    // A dialog would be a failure; it is closed so that the test goes on.
    EXPECT_FALSE(RunLookingAtErrorDialog([&] { ClickAt(List().Handle(), onA.x, onA.y); }, 3000).shown);
    EXPECT_EQ(ReadBytes(path), "A\r\nB\r\n");
}

// Killed in the middle of rewrites (a helper process rewrites the file again and again with one
// of two texts): the file is always wholly the one text or wholly the other.
TEST_F(BootFileTest, KilledInTheMiddleOfARewriteLeavesTheOldOrTheNewText) {
    const std::string path = folder.File("CONFIG.SYS");
    std::string one, other;
    for (int i = 0; i < 40000; ++i) {
        one += "DEVICE=C:\\ONE\\DRIVER" + std::to_string(i) + ".SYS\r\n";
        other += "REM DEVICE=C:\\OTHER\\DRIVER" + std::to_string(i) + ".SYS\r\n";
    }
    WriteBytes(folder.File("one.txt"), one);
    WriteBytes(folder.File("other.txt"), other);
    WriteBytes(path, one);
    int killedWhileRunning = 0;
    for (int round = 0; round < 12; ++round) {
        std::string command = "\"" + ToolPath("rewrite_loop") + "\" \"" + path + "\" \"" + folder.File("one.txt") +
                              "\" \"" + folder.File("other.txt") + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        ASSERT_TRUE(
            CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
            << command;
        Sleep(300 + 37 * round);
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        if (code == STILL_ACTIVE)
            ++killedWhileRunning;
        TerminateProcess(process.hProcess, 9);
        WaitForSingleObject(process.hProcess, 10000);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        const std::string now = ReadBytes(path);
        EXPECT_TRUE(now == one || now == other) << "round " << round << ": " << now.size() << " bytes";
        // A killed rewrite may leave its temporary file; it says where it came from.
        for (const auto& name : FilesIn(folder.Path())) {
            if (name == "CONFIG.SYS" || name == "one.txt" || name == "other.txt")
                continue;
            EXPECT_EQ(name.rfind("CONFIG.SYS.Dawnroll-new-", 0), 0u) << name;
            DeleteFileA(folder.File(name).c_str());
        }
    }
    EXPECT_EQ(killedWhileRunning, 12) << "the helper ended by itself";
}
} // namespace
