// The system's own record of an entry switched off: what its data says, and which key holds the
// records of which section.
#include "sources/StartupApprovedRules.h"

#include <gtest/gtest.h>

namespace {
std::vector<unsigned char> Record(unsigned char first) {
    // A time the entry was switched off, in the bytes the system keeps it in.
    return {first, 0, 0, 0, 0x9C, 0x3E, 0x21, 0x7A, 0x4B, 0x1D, 0xDA, 0x01};
}

const std::string kRunPlace = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";

TEST(ApprovalRecord, TheFirstByteOfATwelveByteRecordTellsOffFromOn) {
    EXPECT_TRUE(ApprovalSaysOff(Record(0x03)));
    EXPECT_TRUE(ApprovalSaysOff(Record(0x07)));
    EXPECT_TRUE(ApprovalSaysOff(Record(0x01)));
    EXPECT_FALSE(ApprovalSaysOff(Record(0x02)));
    EXPECT_FALSE(ApprovalSaysOff(Record(0x06)));
    EXPECT_FALSE(ApprovalSaysOff(Record(0x00)));
    auto longer = Record(0x03);
    longer.push_back(0);
    EXPECT_TRUE(ApprovalSaysOff(longer));
}

TEST(ApprovalRecord, DataShorterThanARecordSaysOn) {
    EXPECT_FALSE(ApprovalSaysOff({}));
    EXPECT_FALSE(ApprovalSaysOff({0x03}));
    auto cut = Record(0x03);
    cut.pop_back();
    EXPECT_FALSE(ApprovalSaysOff(cut));
}

TEST(ApprovalRecord, TheOnRecordIsTwoAndElevenZeros) {
    const std::vector<unsigned char> expected = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(ApprovalOnBytes(), expected);
    EXPECT_FALSE(ApprovalSaysOff(ApprovalOnBytes()));
}

void ExpectPlace(const std::optional<ApprovalPlace>& place, RootKey root, const std::string& subkey,
                 RegistryView view) {
    ASSERT_TRUE(place);
    EXPECT_EQ(place->root, root);
    EXPECT_EQ(place->keyPath, StartupApprovedPath(subkey));
    EXPECT_EQ(place->view, view);
}

TEST(ApprovalPlace, EachRunKeyHasItsRecordsWhereTheSystemKeepsThem) {
    EXPECT_EQ(StartupApprovedPath("Run"), kRunPlace);
    // The current user's key, and the local machine's on a 32-bit system (default view).
    ExpectPlace(ApprovalPlaceOf(RunKeyLocator{RootKey::CurrentUser, RunKeyPath("Run")}), RootKey::CurrentUser, "Run",
                RegistryView::Default);
    ExpectPlace(ApprovalPlaceOf(RunKeyLocator{RootKey::LocalMachine, RunKeyPath("Run")}), RootKey::LocalMachine, "Run",
                RegistryView::Default);
    // On a 64-bit system: the native key has "Run", the 32-bit programs' key "Run32", both read
    // in the native view.
    ExpectPlace(ApprovalPlaceOf(RunKeyLocator{RootKey::LocalMachine, RunKeyPath("Run"), RegistryView::Native}),
                RootKey::LocalMachine, "Run", RegistryView::Native);
    ExpectPlace(
        ApprovalPlaceOf(RunKeyLocator{RootKey::LocalMachine, Wow6432NodeRunKeyPath("Run"), RegistryView::Native}),
        RootKey::LocalMachine, "Run32", RegistryView::Native);
    // Whatever the case of the key's path.
    ExpectPlace(
        ApprovalPlaceOf(RunKeyLocator{RootKey::CurrentUser, "software\\microsoft\\windows\\currentversion\\RUN"}),
        RootKey::CurrentUser, "Run", RegistryView::Default);
}

TEST(ApprovalPlace, OtherKeysHaveNoRecords) {
    for (const char* key : {"RunOnce", "RunServices", "RunOnceEx", "Ru", "Run\\Sub"}) {
        for (RootKey root : {RootKey::CurrentUser, RootKey::LocalMachine}) {
            EXPECT_FALSE(ApprovalPlaceOf(RunKeyLocator{root, RunKeyPath(key)})) << key;
            EXPECT_FALSE(ApprovalPlaceOf(RunKeyLocator{root, Wow6432NodeRunKeyPath(key), RegistryView::Native})) << key;
        }
    }
    // The current user's keys are one for both kinds of program: no Wow6432Node key of its own.
    EXPECT_FALSE(ApprovalPlaceOf(RunKeyLocator{RootKey::CurrentUser, Wow6432NodeRunKeyPath("Run")}));
    EXPECT_FALSE(ApprovalPlaceOf(RunKeyLocator{RootKey::LocalMachine, "SOFTWARE\\Other\\Run"}));
}

TEST(ApprovalPlace, EachStartupFolderHasItsRecordsUnderItsRoot) {
    const ApprovalPlace user = StartupFolderApprovalPlace(RootKey::CurrentUser, RegistryView::Default);
    EXPECT_EQ(user.root, RootKey::CurrentUser);
    EXPECT_EQ(user.keyPath, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\StartupFolder");
    EXPECT_EQ(user.view, RegistryView::Default);
    const ApprovalPlace common = StartupFolderApprovalPlace(RootKey::LocalMachine, RegistryView::Native);
    EXPECT_EQ(common.root, RootKey::LocalMachine);
    EXPECT_EQ(common.keyPath, user.keyPath);
    EXPECT_EQ(common.view, RegistryView::Native);
}
} // namespace
