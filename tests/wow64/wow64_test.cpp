// The 32-bit program on a 64-bit system: the program's WOW64 check (suite Wow64), and what the
// program and the window tests take for granted of the prefix's registry (suite
// WinePrefixRegistry): the two views of the local machine's SOFTWARE key that the run keys live
// in, and how they behave under a redirected root. The second suite calls no program code; it
// checks Wine, so that a failure there points at the prefix and not at the program. The same
// program runs in the test session's 32-bit prefix and in its 64-bit one; the CTest entry tells
// it which with --expect-64-bit-system=yes|no.
#include "sources/StartupApproved.h"
#include "sources/SystemInformation.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace {
bool expect64BitSystem = false;

std::string UniqueKeyName() {
    return "DawnrollTests-wow64-" + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(GetTickCount());
}

void PutWhere(HKEY root, const std::string& path, REGSAM view, const std::string& where) {
    HKEY key = nullptr;
    LONG status = RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key, nullptr);
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("RegCreateKeyEx " + path + " failed: " + std::to_string(status));
    status = RegSetValueExA(key, "where", 0, REG_SZ, reinterpret_cast<const BYTE*>(where.c_str()),
                            static_cast<DWORD>(where.size() + 1));
    RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        throw std::runtime_error("RegSetValueEx failed: " + std::to_string(status));
}

// The "where" value of the key, or "missing" when the key cannot be opened.
std::string GetWhere(HKEY root, const std::string& path, REGSAM view) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS)
        return "missing";
    char data[64] = {};
    DWORD size = sizeof data - 1;
    const LONG status = RegQueryValueExA(key, "where", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    return status == ERROR_SUCCESS ? std::string(data) : "no value";
}

// Removes a key of the local machine's SOFTWARE from both views.
void DeleteFromBothViews(const std::string& name) {
    for (REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
        HKEY software = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE", 0, KEY_ALL_ACCESS | view, &software) == ERROR_SUCCESS) {
            RegDeleteTreeA(software, name.c_str());
            RegDeleteKeyA(software, name.c_str());
            RegCloseKey(software);
        }
    }
}

// HKEY_LOCAL_MACHINE of this process redirected to a scratch key under HKEY_CURRENT_USER, as
// the Win32 tests' registry sandbox does.
class OverriddenLocalMachine {
  public:
    OverriddenLocalMachine() : base_("Software\\DawnrollTests\\" + UniqueKeyName()) {
        const LONG status =
            RegCreateKeyExA(HKEY_CURRENT_USER, base_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr);
        if (status != ERROR_SUCCESS)
            throw std::runtime_error("RegCreateKeyEx failed: " + std::to_string(status));
    }
    ~OverriddenLocalMachine() {
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, nullptr);
        RegCloseKey(key_);
        RegDeleteTreeA(HKEY_CURRENT_USER, base_.c_str());
        RegDeleteKeyA(HKEY_CURRENT_USER, base_.c_str());
    }
    void Override() { ASSERT_EQ(RegOverridePredefKey(HKEY_LOCAL_MACHINE, key_), ERROR_SUCCESS); }
    HKEY Key() const { return key_; }

  private:
    std::string base_;
    HKEY key_ = nullptr;
};
} // namespace

TEST(Wow64, IsSystem64BitTellsTheKindOfSystem) {
    EXPECT_EQ(IsSystem64Bit(), expect64BitSystem);
}

// The program's check agrees with the system's folder for 32-bit system files, which only a 64-bit
// system has.
TEST(Wow64, OnlyA64BitSystemHasAFolderFor32BitSystemFiles) {
    char folder[MAX_PATH] = {};
    const UINT length = GetSystemWow64DirectoryA(folder, MAX_PATH);
    EXPECT_EQ(length != 0, expect64BitSystem) << folder;
    EXPECT_EQ(IsSystem64Bit(), length != 0);
}

TEST(WinePrefixRegistry, The32BitViewOfTheLocalSoftwareKeyIsItsWow6432NodeOnlyOnA64BitSystem) {
    const std::string name = UniqueKeyName();
    const std::string path = "SOFTWARE\\" + name;
    PutWhere(HKEY_LOCAL_MACHINE, path, 0, "default view");
    const std::string at64 = GetWhere(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY);
    const std::string atNode = GetWhere(HKEY_LOCAL_MACHINE, "SOFTWARE\\Wow6432Node\\" + name, KEY_WOW64_64KEY);
    const std::string at32 = GetWhere(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY);
    DeleteFromBothViews(name);
    DeleteFromBothViews("Wow6432Node\\" + name);
    EXPECT_EQ(at32, "default view");
    if (expect64BitSystem) {
        EXPECT_EQ(at64, "missing");
        EXPECT_EQ(atNode, "default view");
    } else {
        EXPECT_EQ(at64, "default view");
        EXPECT_EQ(atNode, "missing");
    }
}

TEST(WinePrefixRegistry, AnOverriddenLocalMachineRootStaysOverriddenInThe64BitView) {
    const std::string path = "SOFTWARE\\" + UniqueKeyName();
    OverriddenLocalMachine sandbox;
    PutWhere(sandbox.Key(), path, 0, "sandbox");
    sandbox.Override();
    EXPECT_EQ(GetWhere(HKEY_LOCAL_MACHINE, path, KEY_WOW64_64KEY), "sandbox");
    EXPECT_EQ(GetWhere(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY), "sandbox");
    EXPECT_EQ(GetWhere(HKEY_LOCAL_MACHINE, path, 0), "sandbox");
}

// Wine redirects a 32-bit process's opening of a key that has a Wow6432Node subkey, wherever the
// key is: a sandbox that holds SOFTWARE\Wow6432Node behaves as the real local machine does.
TEST(WinePrefixRegistry, ASandboxWithAWow6432NodeSplitsIntoTwoViewsOnlyOnA64BitSystem) {
    const std::string name = UniqueKeyName();
    OverriddenLocalMachine sandbox;
    PutWhere(sandbox.Key(), "SOFTWARE\\" + name, 0, "64-bit");
    PutWhere(sandbox.Key(), "SOFTWARE\\Wow6432Node\\" + name, 0, "32-bit");
    sandbox.Override();
    EXPECT_EQ(GetWhere(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + name, KEY_WOW64_64KEY), "64-bit");
    EXPECT_EQ(GetWhere(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + name, 0), expect64BitSystem ? "32-bit" : "64-bit");
    EXPECT_EQ(GetWhere(HKEY_LOCAL_MACHINE, "SOFTWARE\\" + name, KEY_WOW64_32KEY),
              expect64BitSystem ? "32-bit" : "64-bit");
}

TEST(WinePrefixRegistry, TheCurrentUsersSoftwareKeyIsOneKeyInBothViews) {
    const std::string path = "Software\\DawnrollTests\\" + UniqueKeyName();
    PutWhere(HKEY_CURRENT_USER, path, KEY_WOW64_64KEY, "64-bit view");
    const std::string at32 = GetWhere(HKEY_CURRENT_USER, path, KEY_WOW64_32KEY);
    RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str());
    EXPECT_EQ(at32, "64-bit view");
}

namespace {
constexpr const char* kApproved = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";
constexpr const char* kNodeApproved =
    "SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";
const std::vector<unsigned char> kOff = {3, 0, 0, 0, 0x10, 0x5F, 0x3C, 0x8E, 0x2A, 0x4B, 0xDA, 0x01};

void PutRecord(HKEY root, const std::string& path, const wchar_t* name) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    const LONG status = RegSetValueExW(key, name, 0, REG_BINARY, kOff.data(), static_cast<DWORD>(kOff.size()));
    RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

// A record's bytes, read in the native view by its path there; empty when it is missing.
std::vector<unsigned char> RecordAt(const std::string& path, const wchar_t* name) {
    std::vector<unsigned char> bytes(64);
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
        return {};
    DWORD size = static_cast<DWORD>(bytes.size());
    const LONG status = RegQueryValueExW(key, name, nullptr, nullptr, bytes.data(), &size);
    RegCloseKey(key);
    bytes.resize(status == ERROR_SUCCESS ? size : 0);
    return bytes;
}
} // namespace

// The system keeps its records of switched-off entries of the local machine's run keys in the
// native view only: "Run" for the native key, "Run32" for the 32-bit programs' key. What the
// 32-bit view shows under those names (its Wow6432Node keys) is no record of the system's.
TEST(Wow64, TheRecordsOfTheLocalMachinesRunKeysAreReadAndTurnedOnInTheNativeView) {
    OverriddenLocalMachine sandbox;
    // Records off in both views, each under other names.
    PutRecord(sandbox.Key(), std::string(kApproved) + "Run", L"Native");
    PutRecord(sandbox.Key(), std::string(kApproved) + "Run32", L"Wow");
    PutRecord(sandbox.Key(), std::string(kNodeApproved) + "Run", L"Decoy");
    PutRecord(sandbox.Key(), std::string(kNodeApproved) + "Run32", L"Decoy");
    sandbox.Override();
    // The view the window opens the local machine's keys in.
    const RegistryView view = expect64BitSystem ? RegistryView::Native : RegistryView::Default;
    const auto run = ApprovalPlaceOf(RunKeyLocator{RootKey::LocalMachine, RunKeyPath("Run"), view});
    ASSERT_TRUE(run);
    EXPECT_EQ(ReadSwitchedOff(*run), SwitchedOffNames({L"Native"}));
    EXPECT_TRUE(TurnApprovalOn(*run, L"native"));
    EXPECT_EQ(RecordAt(std::string(kApproved) + "Run", L"Native"), ApprovalOnBytes());
    EXPECT_EQ(RecordAt(std::string(kNodeApproved) + "Run", L"Decoy"), kOff);
    if (!expect64BitSystem)
        return; // a 32-bit system has no 32-bit programs' key of its own
    const auto run32 =
        ApprovalPlaceOf(RunKeyLocator{RootKey::LocalMachine, Wow6432NodeRunKeyPath("Run"), RegistryView::Native});
    ASSERT_TRUE(run32);
    EXPECT_EQ(ReadSwitchedOff(*run32), SwitchedOffNames({L"Wow"}));
    EXPECT_FALSE(TurnApprovalOn(*run32, L"Decoy"));
    EXPECT_TRUE(TurnApprovalOn(*run32, L"Wow"));
    EXPECT_EQ(RecordAt(std::string(kApproved) + "Run32", L"Wow"), ApprovalOnBytes());
    EXPECT_EQ(RecordAt(std::string(kNodeApproved) + "Run32", L"Decoy"), kOff);
}

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    bool told = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--expect-64-bit-system=yes") == 0 ||
            std::strcmp(argv[i], "--expect-64-bit-system=no") == 0) {
            expect64BitSystem = std::strcmp(argv[i], "--expect-64-bit-system=yes") == 0;
            told = true;
        }
    }
    if (!told) {
        std::fprintf(stderr, "usage: wow64_test --expect-64-bit-system=yes|no\n");
        return 2;
    }
    return RUN_ALL_TESTS();
}
