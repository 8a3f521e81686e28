// Messages of the input/output error, the error dialog's text and the program title.
#include "sources/AppError.h"
#include "ui/ErrorText.h"

#include <gtest/gtest.h>

namespace {
TEST(InOutError, MessageTable) {
    EXPECT_EQ(InOutErrorMessage(2), "File not found");
    EXPECT_EQ(InOutErrorMessage(3), "Invalid filename");
    EXPECT_EQ(InOutErrorMessage(4), "Too many open files");
    EXPECT_EQ(InOutErrorMessage(5), "File access denied");
    EXPECT_EQ(InOutErrorMessage(100), "Read beyond end of file");
    EXPECT_EQ(InOutErrorMessage(101), "Disk full");
    EXPECT_EQ(InOutErrorMessage(106), "Invalid numeric input");
    // Every other code, in decimal: a full disk reports 112, not 101.
    EXPECT_EQ(InOutErrorMessage(112), "I/O error 112");
    EXPECT_EQ(InOutErrorMessage(0), "I/O error 0");
    EXPECT_EQ(InOutErrorMessage(1), "I/O error 1");
    EXPECT_EQ(InOutErrorMessage(6), "I/O error 6");
    EXPECT_EQ(InOutErrorMessage(32), "I/O error 32");
    EXPECT_EQ(InOutErrorMessage(102), "I/O error 102");
    EXPECT_EQ(InOutErrorMessage(1392), "I/O error 1392");
}

TEST(InOutError, RaisedAsTheProgramsErrorWithItsMessage) {
    try {
        RaiseInOutError(112);
        FAIL() << "nothing raised";
    } catch (const AppError& error) {
        EXPECT_STREQ(error.what(), "I/O error 112");
    }
    EXPECT_THROW(RaiseInOutError(5), AppError);
}

TEST(MessagePattern, TheOnePlaceholderTakesTheText) {
    EXPECT_EQ(FormatMessageWith("Invalid data type for '%s'", "Startup"), "Invalid data type for 'Startup'");
    EXPECT_EQ(FormatMessageWith("Invalid data type for '%s'", ""), "Invalid data type for ''");
    EXPECT_EQ(FormatMessageWith("Unable to write to %s", "C:\\WINDOWS\\WIN.INI"),
              "Unable to write to C:\\WINDOWS\\WIN.INI");
    // The text is put in as it is, even when it holds a placeholder or a percent sign.
    EXPECT_EQ(FormatMessageWith("Failed to get data for '%s'", "%s %d 100%"), "Failed to get data for '%s %d 100%'");
    EXPECT_EQ(FormatMessageWith("no placeholder", "x"), "no placeholder");
}

TEST(DialogText, FullStopAfterCharactersAboveTheFullStop) {
    EXPECT_EQ(ErrorDialogText("Disk full"), "Disk full.");
    EXPECT_EQ(ErrorDialogText("I/O error 112"), "I/O error 112.");
    EXPECT_EQ(ErrorDialogText("x/"), "x/.");
    EXPECT_EQ(ErrorDialogText("x~"), "x~.");
    // Bytes above 127 are above the full stop too (compared as unsigned characters).
    EXPECT_EQ(ErrorDialogText("caf\xe9"), "caf\xe9.");
    EXPECT_EQ(ErrorDialogText("\xff"), "\xff.");
}

TEST(DialogText, NoFullStopAfterQuotesBracketsFullStopsOrNothing) {
    for (const char* message :
         {"Invalid data type for 'Startup'", "Failed (x)", "Done.", "", "x ", "x-", "x,", "x!", "x\"", "x\n"})
        EXPECT_EQ(ErrorDialogText(message), message) << message;
}

// Messages are UTF-8: a value named in any script keeps its name whole, and a message ending in
// a character beyond ASCII ends in bytes above "." and gets its full stop like a letter.
TEST(DialogText, Utf8MessagesKeepTheirNamesAndTheRule) {
    const std::string name = "\xD0\x90\xD0\xBD\xD0\xB4\xD1\x80\xD0\xB5\xD0\xB9"; // Cyrillic "Andrei"
    const std::string message = FormatMessageWith("Invalid data type for '%s'", name);
    EXPECT_EQ(message, "Invalid data type for '" + name + "'");
    EXPECT_EQ(ErrorDialogText(message), message);
    EXPECT_EQ(ErrorDialogText("Unable to write to C:\\" + name), "Unable to write to C:\\" + name + ".");
    EXPECT_EQ(ErrorDialogText("C:\\\xF0\x9F\x98\x80"), "C:\\\xF0\x9F\x98\x80.");
}

TEST(ProgramTitle, FileNameCutAtFirstDotRestLowerCase) {
    EXPECT_EQ(ProgramTitle("C:\\x\\DAWNROLL.EXE"), "Dawnroll");
    EXPECT_EQ(ProgramTitle("C:\\x\\dawnroll.exe"), "dawnroll");
    EXPECT_EQ(ProgramTitle("C:\\x\\bootfile_test.exe"), "bootfile_test");
    // Cut at the first dot of the name: the first character keeps its case.
    EXPECT_EQ(ProgramTitle("a.b.exe"), "a");
    EXPECT_EQ(ProgramTitle("C:\\x\\My.Tool.EXE"), "My");
    // Dots in folder names do not count; either slash separates folders.
    EXPECT_EQ(ProgramTitle("C:\\Program Files.old\\TOOL.EXE"), "Tool");
    EXPECT_EQ(ProgramTitle("Z:/home/u/DawnRoll.exe"), "Dawnroll");
    // A name without a dot is kept whole; a name that begins with a dot leaves nothing.
    EXPECT_EQ(ProgramTitle("C:\\x\\DAWNROLL"), "Dawnroll");
    EXPECT_EQ(ProgramTitle("C:\\x\\.exe"), "");
    EXPECT_EQ(ProgramTitle(""), "");
    // Only the letters change: digits and signs stay.
    EXPECT_EQ(ProgramTitle("C:\\x\\DAWN-ROLL_32.EXE"), "Dawn-roll_32");
}
} // namespace

// A refresh whose sections failed shows one dialog: a message a line, each ended as the dialog
// ends one.
TEST(ErrorDialogText, SeveralMessagesOneLineEach) {
    EXPECT_EQ(JoinedMessages({"Invalid data type for 'Number'"}), "Invalid data type for 'Number'");
    EXPECT_EQ(ErrorDialogText(JoinedMessages({"Invalid data type for 'A'", "Disk full", "I/O error 112"})),
              "Invalid data type for 'A'\nDisk full.\nI/O error 112.");
    EXPECT_EQ(JoinedMessages({}), "");
}

// The reasons a refused change is told with: the codes a user meets are words, any other the
// number, so that no refusal is told as nothing.
TEST(ReasonOfError, NamesTheRefusalsAUserMeetsInWords) {
    EXPECT_EQ(ReasonOfError(5), "access is denied");
    EXPECT_EQ(ReasonOfError(32), "it is in use by another program");
    EXPECT_EQ(ReasonOfError(2), "it no longer exists");
    EXPECT_EQ(ReasonOfError(112), "the disk is full");
    EXPECT_EQ(ReasonOfError(1177), "error 1177");
}

// The refusals a file's replacement or deletion meets: the file in use or being deleted, a
// replacement the system could not finish.
TEST(ReasonOfError, NamesTheRefusalsOfReplacingAndDeletingFiles) {
    EXPECT_EQ(ReasonOfError(19), "the disk is write-protected");
    EXPECT_EQ(ReasonOfError(33), "it is in use by another program");
    EXPECT_EQ(ReasonOfError(303), "it is being deleted, but another program still holds it open");
    EXPECT_EQ(ReasonOfError(1175), "the file could not be replaced");
    EXPECT_EQ(ReasonOfError(1176), "the new text could not be moved into its place");
    EXPECT_EQ(ReasonOfError(304), "error 304");
}
