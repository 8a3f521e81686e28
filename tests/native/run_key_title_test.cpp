// Titles of the registry run-key sections, built from root and key path for the eye.
#include "sources/RunKeyLocator.h"

#include <gtest/gtest.h>

namespace {
TEST(RunKeyTitle, BuiltForBothRoots) {
    EXPECT_STREQ(RootKeyName(RootKey::CurrentUser), "HKEY_CURRENT_USER");
    EXPECT_STREQ(RootKeyName(RootKey::LocalMachine), "HKEY_LOCAL_MACHINE");
    // The path the registry is opened with has no leading backslash.
    EXPECT_EQ(RunKeyPath("Run"), "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
    EXPECT_EQ(RunKeyTitle(RootKey::LocalMachine, "RunServices"),
              "My "
              "Computer\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices");
    EXPECT_EQ(RunKeyTitle(RootKey::CurrentUser, "RunOnce"),
              "My Computer\\HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
}

// The 32-bit programs' run keys of a 64-bit system, as the native view names them: their titles
// name the Wow6432Node keys, whatever view they are opened in.
TEST(RunKeyTitle, Wow6432NodeKeysOfTheLocalMachine) {
    EXPECT_EQ(Wow6432NodeRunKeyPath("RunOnce"), "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
    for (const char* key : {"Run", "RunOnce", "RunServices"}) {
        const RunKeyLocator locator{RootKey::LocalMachine, Wow6432NodeRunKeyPath(key), RegistryView::Native};
        const std::string title = RunKeyTitle(locator);
        EXPECT_EQ(title,
                  "My Computer\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\" +
                      std::string(key));
        EXPECT_EQ(RunKeyTitle(RunKeyLocator{RootKey::LocalMachine, Wow6432NodeRunKeyPath(key)}), title);
    }
    // A title made from a root and a key name is the one made from its locator.
    EXPECT_EQ(RunKeyTitle(RootKey::CurrentUser, "Run"),
              RunKeyTitle(RunKeyLocator{RootKey::CurrentUser, RunKeyPath("Run")}));
}

// A refused change of a key: the reason in words; only access denied under the local machine
// tells what it takes, since only there a user without administrator rights meets it.
TEST(RefusedChangeReason, AccessDeniedUnderTheLocalMachineSaysWhatItTakes) {
    EXPECT_EQ(RefusedChangeReason(RootKey::LocalMachine, 5),
              "access is denied; changing the local machine's entries needs Dawnroll started with "
              "\"Run as administrator\"");
    EXPECT_EQ(RefusedChangeReason(RootKey::CurrentUser, 5), "access is denied");
    EXPECT_EQ(RefusedChangeReason(RootKey::LocalMachine, 1018), "the key was deleted");
    EXPECT_EQ(RefusedChangeReason(RootKey::LocalMachine, 1450), "error 1450");
}
} // namespace
