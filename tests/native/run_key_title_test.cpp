// Titles of the registry run-key sections: built from root and key, parsed back by the toggle.
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

TEST(RunKeyTitle, ParsedBackToRootAndPath) {
    const struct {
        RootKey root;
        const char* key;
    } sections[] = {{RootKey::CurrentUser, "Run"},
                    {RootKey::CurrentUser, "RunOnce"},
                    {RootKey::LocalMachine, "Run"},
                    {RootKey::LocalMachine, "RunOnce"},
                    {RootKey::LocalMachine, "RunServices"}};
    for (const auto& section : sections) {
        const auto locator = ParseRunKeyTitle(RunKeyTitle(section.root, section.key));
        ASSERT_TRUE(locator) << section.key;
        EXPECT_EQ(locator->root, section.root);
        EXPECT_EQ(locator->keyPath, RunKeyPath(section.key));
    }
}

// The 32-bit programs' run keys of a 64-bit system, as the native view names them: their titles
// name the Wow6432Node keys and parse back to them, in the default view (the window sets it).
TEST(RunKeyTitle, Wow6432NodeKeysOfTheLocalMachine) {
    EXPECT_EQ(Wow6432NodeRunKeyPath("RunOnce"), "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
    for (const char* key : {"Run", "RunOnce", "RunServices"}) {
        const RunKeyLocator locator{RootKey::LocalMachine, Wow6432NodeRunKeyPath(key), RegistryView::Native};
        const std::string title = RunKeyTitle(locator);
        EXPECT_EQ(title,
                  "My Computer\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\" +
                      std::string(key));
        const auto parsed = ParseRunKeyTitle(title);
        ASSERT_TRUE(parsed) << key;
        EXPECT_EQ(parsed->root, RootKey::LocalMachine);
        EXPECT_EQ(parsed->keyPath, Wow6432NodeRunKeyPath(key));
        EXPECT_EQ(parsed->view, RegistryView::Default);
    }
    // A title made from a root and a key name is the one made from its locator.
    EXPECT_EQ(RunKeyTitle(RootKey::CurrentUser, "Run"),
              RunKeyTitle(RunKeyLocator{RootKey::CurrentUser, RunKeyPath("Run")}));
}

TEST(RunKeyTitle, WhateverComesBeforeTheFirstBackslashIsDropped) {
    const auto locator = ParseRunKeyTitle("Elsewhere\\HKEY_CURRENT_USER\\A\\B");
    ASSERT_TRUE(locator);
    EXPECT_EQ(locator->root, RootKey::CurrentUser);
    EXPECT_EQ(locator->keyPath, "A\\B");
    const auto bare = ParseRunKeyTitle("\\HKEY_LOCAL_MACHINE\\X");
    ASSERT_TRUE(bare);
    EXPECT_EQ(bare->root, RootKey::LocalMachine);
    EXPECT_EQ(bare->keyPath, "X");
}

TEST(RunKeyTitle, UnknownRootsGiveNothing) {
    for (const char* title :
         {"", "My Computer", "My Computer\\", "GroupBox7", "HKEY_CURRENT_USER\\SOFTWARE\\x",
          "My Computer\\HKEY_CLASSES_ROOT\\SOFTWARE\\x", "My Computer\\HKEY_USERS\\.DEFAULT\\x",
          "My Computer\\hkey_current_user\\SOFTWARE\\x", "My Computer\\HKEY_CURRENT_USERS\\SOFTWARE\\x",
          "My Computer\\HKEY_CURRENT_USER", "My Computer\\HKEY_LOCAL_MACHINE", "My Computer\\ HKEY_LOCAL_MACHINE\\x",
          "C:\\WINDOWS\\WIN.INI, [Windows], Run="})
        EXPECT_FALSE(ParseRunKeyTitle(title)) << title;
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
