// Windows' own switch of the autostart entries, through the window and real input: an entry the
// system records as switched off (its StartupApproved record) loads unchecked, selecting its row
// changes nothing, a check turns the switch on and leaves the entry exactly as it is; an entry
// switched on or without a record behaves as any other. And the local machine's keys as a user
// without administrator rights has them, readable only: listed, and a change refused with what it
// takes, the row's mark set back.
#include "FormDriving.h"
#include "TestSupport.h"
#include "WideRegistry.h"

#include "ui/Dawnroll.h"

#include <gtest/gtest.h>

#include <commctrl.h>
#include <sddl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {
constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunOnce = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
const std::string kApproved = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\";
const std::string kApprovedRun = kApproved + "Run";
const std::string kApprovedFolder = kApproved + "StartupFolder";
constexpr const char* kAdministratorHint =
    "access is denied; changing the local machine's entries needs Dawnroll started with \"Run as administrator\"";

// Records as the system writes them: the first byte odd when switched off, even when on; bytes 4
// to 11 the time of the switch.
const Bytes kOff = {0x03, 0, 0, 0, 0x10, 0x5F, 0x3C, 0x8E, 0x2A, 0x4B, 0xDA, 0x01};
const Bytes kOffSince = {0x07, 0, 0, 0, 0x90, 0x11, 0x22, 0x33, 0x44, 0x55, 0xD9, 0x01};
const Bytes kOnSince = {0x06, 0, 0, 0, 0x90, 0x11, 0x22, 0x33, 0x44, 0x55, 0xD9, 0x01};
// What switching an entry on writes.
const Bytes kOn = {0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

const HKEY kUser = HKEY_CURRENT_USER;
const HKEY kMachine = HKEY_LOCAL_MACHINE;

WideValue Value(HKEY root, const std::string& path, const std::wstring& name) {
    return GetWideValue(root, path, name);
}
WideValue Binary(const Bytes& bytes) {
    return WideValue{true, REG_BINARY, bytes};
}

void Pause() {
    // Far enough apart that two clicks are no double click.
    WaitPastDoubleClickTime();
}

// Makes a key of the (redirected) registry one that everyone may read, but not change, as the
// local machine's keys are for a user without administrator rights: its security allows reading,
// and changing the security and deleting the key (so that the test can undo it). Its own security
// is put back at the end, also when the test fails.
class ReadOnlyKey {
  public:
    ReadOnlyKey(HKEY root, const std::string& path) {
        if (RegOpenKeyExA(root, path.c_str(), 0, READ_CONTROL | WRITE_DAC, &key_) != ERROR_SUCCESS) {
            key_ = nullptr;
            return;
        }
        DWORD size = 0;
        RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, nullptr, &size);
        original_.resize(size);
        if (size == 0 || RegGetKeySecurity(key_, DACL_SECURITY_INFORMATION, original_.data(), &size) != ERROR_SUCCESS)
            original_.clear();
        PSECURITY_DESCRIPTOR readOnly = nullptr;
        if (!ConvertStringSecurityDescriptorToSecurityDescriptorA("D:P(A;;KRWDSD;;;WD)", SDDL_REVISION_1, &readOnly,
                                                                  nullptr))
            return;
        set_ = RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, readOnly) == ERROR_SUCCESS;
        LocalFree(readOnly);
    }
    ~ReadOnlyKey() {
        if (set_) {
            BOOL present = FALSE;
            BOOL defaulted = FALSE;
            PACL dacl = nullptr;
            if (!original_.empty() && GetSecurityDescriptorDacl(original_.data(), &present, &dacl, &defaulted) &&
                present) {
                RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, original_.data());
            } else {
                // No security of its own before: everyone may do anything again.
                SECURITY_DESCRIPTOR open;
                InitializeSecurityDescriptor(&open, SECURITY_DESCRIPTOR_REVISION);
                SetSecurityDescriptorDacl(&open, TRUE, nullptr, FALSE);
                RegSetKeySecurity(key_, DACL_SECURITY_INFORMATION, &open);
            }
        }
        if (key_)
            RegCloseKey(key_);
    }
    ReadOnlyKey(const ReadOnlyKey&) = delete;
    ReadOnlyKey& operator=(const ReadOnlyKey&) = delete;

    bool Made() const { return set_; }

  private:
    HKEY key_ = nullptr;
    std::vector<BYTE> original_;
    bool set_ = false;
};

// Whether this process may set values of the key.
bool MayChange(HKEY root, const std::string& path) {
    HKEY key = nullptr;
    const LONG status = RegOpenKeyExA(root, path.c_str(), 0, KEY_SET_VALUE, &key);
    if (key)
        RegCloseKey(key);
    return status == ERROR_SUCCESS;
}

class StartupSwitchTest : public FormTest {
  protected:
    void Open() {
        ExpectNoDialog([this] { form->Create(); });
        ShowForInput(form->Handle());
    }

    // Sections 5 to 11 hold ListView1 to ListView7.
    EntryListView& List(int section) { return form->ListViewN(section - 4); }
    HWND ListHandle(int section) { return List(section).Handle(); }

    int RowOf(int section, const std::string& caption) {
        for (int row = 0; row < List(section).Count(); ++row) {
            if (List(section).Caption(row) == caption)
                return row;
        }
        ADD_FAILURE() << "no row '" << caption << "' in section " << section;
        return -1;
    }
    // The row of a Startup file by its full path; -1 when there is none.
    int RowWithPath(int section, const std::string& path) {
        for (int row = 0; row < List(section).Count(); ++row) {
            if (List(section).Fullname(row) == path)
                return row;
        }
        return -1;
    }
    bool Selected(int section, int row) {
        return ListView_GetItemState(ListHandle(section), row, LVIS_SELECTED | LVIS_FOCUSED) ==
               static_cast<UINT>(LVIS_SELECTED | LVIS_FOCUSED);
    }

    POINT PointOn(int section, int row, UINT part) {
        SendMessageW(ListHandle(section), LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
        return RowPoint(ListHandle(section), row, part);
    }
    // A real click on a row's check box, with no dialog.
    void ClickCheckBox(int section, int row) {
        const POINT box = PointOn(section, row, LVHT_ONITEMSTATEICON);
        ASSERT_GE(box.x, 0) << "no check box found in row " << row << " of section " << section;
        ExpectNoDialog([&] { ClickAt(ListHandle(section), box.x, box.y); });
        Pause();
    }
    // A real click on a row's caption, which selects it, with no dialog.
    void ClickCaption(int section, int row) {
        const POINT label = PointOn(section, row, LVHT_ONITEMLABEL);
        ASSERT_GE(label.x, 0) << "no caption found in row " << row << " of section " << section;
        ExpectNoDialog([&] { ClickAt(ListHandle(section), label.x, label.y); });
        EXPECT_TRUE(WaitUntil([&] { return Selected(section, row); }, 3000)) << "row " << row << " not selected";
        Pause();
    }
    // Walks the selection through every row of a section with the arrow keys, from the last row
    // to the first and back down to `row`, with no dialog.
    void WalkWithArrowKeys(int section, int row) {
        const int count = List(section).Count();
        ClickCaption(section, count - 1);
        for (int step = 0; step < count - 1; ++step)
            ExpectNoDialog([&] { PressKeys(ListHandle(section), {VK_UP}); });
        EXPECT_TRUE(Selected(section, 0));
        for (int step = 0; step < row; ++step)
            ExpectNoDialog([&] { PressKeys(ListHandle(section), {VK_DOWN}); });
        EXPECT_TRUE(Selected(section, row));
    }
};

// The run keys: the records of "StartupApproved\Run" under each root are the switches of that
// root's Run key; RunOnce has none.
TEST_F(StartupSwitchTest, RunValuesSwitchedOffLoadUncheckedAndACheckTurnsOnlyTheSwitchOn) {
    // Expandable and without its terminating zero: a rewrite would show.
    const Bytes trayData = BytesOf(L"%ProgramFiles%\\Tray\\tray.exe /quiet", false);
    const Bytes mailData = BytesOf(L"C:\\Mail\\mail.exe -m");
    const Bytes plainData = BytesOf(L"C:\\plain.exe");
    const Bytes onceData = BytesOf(L"C:\\once.exe /first");
    const Bytes schedulerData = BytesOf(L"\"C:\\Program Files\\Sched\\sched.exe\" /tray");
    const Bytes agentData = BytesOf(L"C:\\agent.exe");
    SetWideValue(kUser, kRun, L"Tray", REG_EXPAND_SZ, trayData);
    SetWideValue(kUser, kRun, L"Mail", REG_SZ, mailData);
    SetWideValue(kUser, kRun, L"Plain", REG_SZ, plainData);
    SetWideValue(kUser, kApprovedRun, L"Tray", REG_BINARY, kOff);
    SetWideValue(kUser, kApprovedRun, L"Mail", REG_BINARY, kOnSince);
    // RunOnce has no switch: the Run key's record of that name is not its.
    SetWideValue(kUser, kRunOnce, L"Tray", REG_SZ, onceData);
    SetWideValue(kMachine, kRun, L"Scheduler", REG_SZ, schedulerData);
    SetWideValue(kMachine, kRun, L"Agent", REG_SZ, agentData);
    SetWideValue(kMachine, kApprovedRun, L"Scheduler", REG_BINARY, kOffSince);
    // A record under the user's root is no switch of the local machine's value of that name.
    SetWideValue(kUser, kApprovedRun, L"Agent", REG_BINARY, kOff);
    ASSERT_EQ(Value(kUser, kRun, L"Tray"), (WideValue{true, REG_EXPAND_SZ, trayData})) << "not seeded exactly";
    Open();

    ASSERT_EQ(List(7).Count(), 3);
    ASSERT_EQ(List(8).Count(), 1);
    ASSERT_EQ(List(9).Count(), 2);
    const int tray = RowOf(7, "Tray");
    const int mail = RowOf(7, "Mail");
    const int plain = RowOf(7, "Plain");
    const int once = RowOf(8, "Tray");
    const int scheduler = RowOf(9, "Scheduler");
    const int agent = RowOf(9, "Agent");
    EXPECT_FALSE(List(7).Checked(tray));
    EXPECT_TRUE(List(7).Checked(mail));
    EXPECT_TRUE(List(7).Checked(plain));
    EXPECT_TRUE(List(8).Checked(once));
    EXPECT_FALSE(List(9).Checked(scheduler));
    EXPECT_TRUE(List(9).Checked(agent));
    EXPECT_EQ(List(7).Fullname(tray), "%ProgramFiles%\\Tray\\tray.exe /quiet");
    SaveScreenshot("startup-switch-run-values-switched-off");

    // Selecting the rows, by a click on their captions and by the arrow keys, changes nothing.
    const auto userRun = AllValues(kUser, kRun);
    const auto machineRun = AllValues(kMachine, kRun);
    const auto userRecords = AllValues(kUser, kApprovedRun);
    const auto machineRecords = AllValues(kMachine, kApprovedRun);
    ClickCaption(7, tray);
    WalkWithArrowKeys(7, tray);
    ClickCaption(9, scheduler);
    WalkWithArrowKeys(9, scheduler);
    EXPECT_EQ(AllValues(kUser, kRun), userRun);
    EXPECT_EQ(AllValues(kMachine, kRun), machineRun);
    EXPECT_EQ(AllValues(kUser, kApprovedRun), userRecords);
    EXPECT_EQ(AllValues(kMachine, kApprovedRun), machineRecords);
    EXPECT_FALSE(List(7).Checked(tray));
    EXPECT_FALSE(List(9).Checked(scheduler));

    // RunOnce's value of the same name is deleted and written back as ever, and its write turns
    // on no switch.
    ClickCheckBox(8, once);
    EXPECT_TRUE(WaitUntil([&] { return !Value(kUser, kRunOnce, L"Tray").exists; }, 3000));
    ClickCheckBox(8, once);
    EXPECT_TRUE(WaitUntil([&] { return Value(kUser, kRunOnce, L"Tray").exists; }, 3000));
    EXPECT_EQ(Value(kUser, kRunOnce, L"Tray"), (WideValue{true, REG_SZ, onceData}));
    EXPECT_EQ(Value(kUser, kApprovedRun, L"Tray"), Binary(kOff));
    EXPECT_FALSE(List(7).Checked(tray));

    // Checking the switched-off value turns its switch on and leaves the value byte for byte.
    ClickCheckBox(7, tray);
    EXPECT_TRUE(WaitUntil([&] { return Value(kUser, kApprovedRun, L"Tray") == Binary(kOn); }, 3000));
    EXPECT_TRUE(List(7).Checked(tray));
    EXPECT_EQ(Value(kUser, kRun, L"Tray"), (WideValue{true, REG_EXPAND_SZ, trayData}));
    EXPECT_EQ(AllValues(kUser, kRun), userRun);
    EXPECT_EQ(AllValues(kMachine, kApprovedRun), machineRecords);
    // From now on it is an ordinary checked row: unchecking deletes the value, checking writes it
    // back exactly.
    ClickCheckBox(7, tray);
    EXPECT_TRUE(WaitUntil([&] { return !Value(kUser, kRun, L"Tray").exists; }, 3000));
    EXPECT_FALSE(List(7).Checked(tray));
    EXPECT_EQ(Value(kUser, kApprovedRun, L"Tray"), Binary(kOn));
    ClickCheckBox(7, tray);
    EXPECT_TRUE(WaitUntil([&] { return Value(kUser, kRun, L"Tray").exists; }, 3000));
    EXPECT_EQ(Value(kUser, kRun, L"Tray"), (WideValue{true, REG_EXPAND_SZ, trayData}));
    EXPECT_TRUE(List(7).Checked(tray));

    // A value whose switch is on behaves as any other; its record stays as it was.
    ClickCheckBox(7, mail);
    EXPECT_TRUE(WaitUntil([&] { return !Value(kUser, kRun, L"Mail").exists; }, 3000));
    EXPECT_FALSE(List(7).Checked(mail));
    ClickCheckBox(7, mail);
    EXPECT_TRUE(WaitUntil([&] { return Value(kUser, kRun, L"Mail").exists; }, 3000));
    EXPECT_EQ(Value(kUser, kRun, L"Mail"), (WideValue{true, REG_SZ, mailData}));
    EXPECT_EQ(Value(kUser, kApprovedRun, L"Mail"), Binary(kOnSince));

    // A value without a record, too; when the system switched it off while it was unchecked here,
    // writing it back turns that switch on, or the value would not start.
    ClickCheckBox(7, plain);
    EXPECT_TRUE(WaitUntil([&] { return !Value(kUser, kRun, L"Plain").exists; }, 3000));
    SetWideValue(kUser, kApprovedRun, L"Plain", REG_BINARY, kOffSince);
    ClickCheckBox(7, plain);
    EXPECT_TRUE(WaitUntil([&] { return Value(kUser, kRun, L"Plain").exists; }, 3000));
    EXPECT_EQ(Value(kUser, kRun, L"Plain"), (WideValue{true, REG_SZ, plainData}));
    EXPECT_EQ(Value(kUser, kApprovedRun, L"Plain"), Binary(kOn));
    EXPECT_TRUE(List(7).Checked(plain));

    // The local machine's: its own record is turned on, the user's record of that name is not
    // touched.
    ClickCheckBox(9, scheduler);
    EXPECT_TRUE(WaitUntil([&] { return Value(kMachine, kApprovedRun, L"Scheduler") == Binary(kOn); }, 3000));
    EXPECT_TRUE(List(9).Checked(scheduler));
    EXPECT_EQ(AllValues(kMachine, kRun), machineRun);
    ClickCheckBox(9, agent);
    EXPECT_TRUE(WaitUntil([&] { return !Value(kMachine, kRun, L"Agent").exists; }, 3000));
    ClickCheckBox(9, agent);
    EXPECT_TRUE(WaitUntil([&] { return Value(kMachine, kRun, L"Agent").exists; }, 3000));
    EXPECT_EQ(Value(kMachine, kRun, L"Agent"), (WideValue{true, REG_SZ, agentData}));
    EXPECT_EQ(Value(kUser, kApprovedRun, L"Agent"), Binary(kOff));
    EXPECT_FALSE(Value(kMachine, kApprovedRun, L"Agent").exists) << "no record is made where there was none";
    ClickCheckBox(9, scheduler);
    EXPECT_TRUE(WaitUntil([&] { return !Value(kMachine, kRun, L"Scheduler").exists; }, 3000));
    EXPECT_FALSE(List(9).Checked(scheduler));
    SaveScreenshot("startup-switch-run-values-after-clicks");
}

// The Startup folders: the records of "StartupApproved\StartupFolder" are named as the files,
// extension included; the user's folder has the user's records, the all-users folder the local
// machine's.
TEST_F(StartupSwitchTest, StartupFilesSwitchedOffLoadUncheckedAndACheckTurnsOnlyTheSwitchOn) {
    PointStartupFolders();
    const std::string tool = UserStartup() + "\\Tool.bat";
    const std::string notes = UserStartup() + "\\Notes.txt";
    const std::string helper = UserStartup() + "\\Helper.cmd";
    const std::string other = UserStartup() + "\\Other.bat";
    const std::string common = CommonStartup() + "\\Common.bat";
    const std::string shared = CommonStartup() + "\\Shared.bat";
    const std::string toolBytes = "@echo off\r\nstart tool.exe\r\n";
    for (const auto& path : {tool, notes, helper, other, common, shared})
        WriteBytes(path, path == tool ? toolBytes : "@echo off\r\n");
    ASSERT_TRUE(SetFileAttributesA(tool.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    const DWORD toolAttributes = GetFileAttributesA(tool.c_str());
    SetWideValue(kUser, kApprovedFolder, L"Tool.bat", REG_BINARY, kOff);
    SetWideValue(kUser, kApprovedFolder, L"Notes.txt", REG_BINARY, kOnSince);
    // Named without the extension: no record of Other.bat.
    SetWideValue(kUser, kApprovedFolder, L"Other", REG_BINARY, kOff);
    // The user's record of a name in the all-users folder is not that file's.
    SetWideValue(kUser, kApprovedFolder, L"Shared.bat", REG_BINARY, kOff);
    SetWideValue(kMachine, kApprovedFolder, L"Common.bat", REG_BINARY, kOffSince);
    Open();

    ASSERT_EQ(List(5).Count(), 4);
    ASSERT_EQ(List(6).Count(), 2);
    ASSERT_GE(RowWithPath(5, tool), 0);
    EXPECT_FALSE(List(5).Checked(RowWithPath(5, tool)));
    EXPECT_TRUE(List(5).Checked(RowWithPath(5, notes)));
    EXPECT_TRUE(List(5).Checked(RowWithPath(5, helper)));
    EXPECT_TRUE(List(5).Checked(RowWithPath(5, other)));
    ASSERT_GE(RowWithPath(6, common), 0);
    EXPECT_FALSE(List(6).Checked(RowWithPath(6, common)));
    EXPECT_TRUE(List(6).Checked(RowWithPath(6, shared)));
    SaveScreenshot("startup-switch-files-switched-off");

    // Selecting the rows deletes nothing.
    const auto userRecords = AllValues(kUser, kApprovedFolder);
    const auto machineRecords = AllValues(kMachine, kApprovedFolder);
    ClickCaption(5, RowWithPath(5, tool));
    WalkWithArrowKeys(5, RowWithPath(5, tool));
    ClickCaption(6, RowWithPath(6, common));
    WalkWithArrowKeys(6, RowWithPath(6, common));
    for (const auto& path : {tool, notes, helper, other, common, shared})
        EXPECT_TRUE(FileExists(path)) << path;
    EXPECT_EQ(List(5).Count(), 4);
    EXPECT_EQ(List(6).Count(), 2);
    EXPECT_EQ(AllValues(kUser, kApprovedFolder), userRecords);
    EXPECT_EQ(AllValues(kMachine, kApprovedFolder), machineRecords);

    // Checking the switched-off file turns its switch on; the file stays as it is.
    ClickCheckBox(5, RowWithPath(5, tool));
    EXPECT_TRUE(WaitUntil([&] { return Value(kUser, kApprovedFolder, L"Tool.bat") == Binary(kOn); }, 3000));
    EXPECT_TRUE(List(5).Checked(RowWithPath(5, tool)));
    EXPECT_EQ(ReadBytes(tool), toolBytes);
    EXPECT_EQ(GetFileAttributesA(tool.c_str()), toolAttributes);
    EXPECT_EQ(Value(kUser, kApprovedFolder, L"Other"), Binary(kOff));
    EXPECT_EQ(AllValues(kMachine, kApprovedFolder), machineRecords);
    // Then unchecking it deletes it, as any file.
    ClickCheckBox(5, RowWithPath(5, tool));
    EXPECT_TRUE(WaitUntil([&] { return !FileExists(tool); }, 3000));
    EXPECT_TRUE(WaitUntil([&] { return RowWithPath(5, tool) < 0; }, 3000));

    // Files switched on, or without a record, are deleted by unchecking.
    for (const auto& path : {notes, helper}) {
        SCOPED_TRACE(path);
        ClickCheckBox(5, RowWithPath(5, path));
        EXPECT_TRUE(WaitUntil([&] { return !FileExists(path); }, 3000));
        EXPECT_TRUE(WaitUntil([&] { return RowWithPath(5, path) < 0; }, 3000));
    }
    EXPECT_EQ(Value(kUser, kApprovedFolder, L"Notes.txt"), Binary(kOnSince));
    EXPECT_TRUE(FileExists(other));

    // The all-users folder's file: the local machine's record is turned on, the user's records
    // stay.
    ClickCheckBox(6, RowWithPath(6, common));
    EXPECT_TRUE(WaitUntil([&] { return Value(kMachine, kApprovedFolder, L"Common.bat") == Binary(kOn); }, 3000));
    EXPECT_TRUE(List(6).Checked(RowWithPath(6, common)));
    EXPECT_TRUE(FileExists(common));
    EXPECT_EQ(Value(kUser, kApprovedFolder, L"Shared.bat"), Binary(kOff));
    ClickCheckBox(6, RowWithPath(6, shared));
    EXPECT_TRUE(WaitUntil([&] { return !FileExists(shared); }, 3000));
    EXPECT_TRUE(FileExists(common));
}

// The local machine's Run key, its Shell Folders key and its records, readable only: the sections
// are listed all the same; a change is refused, told with the entry's name and what it takes, and
// the row shows the entry as it still is.
TEST_F(StartupSwitchTest, KeysThatMayOnlyBeReadAreListedAndTheirChangesRefusedWithWhatItTakes) {
    PointStartupFolders();
    const std::string common = CommonStartup() + "\\Common.bat";
    WriteBytes(common, "@echo off\r\n");
    SetWideValue(kMachine, kRun, L"Scheduler", REG_SZ, BytesOf(L"C:\\sched.exe /tray"));
    SetWideValue(kMachine, kRun, L"Agent", REG_SZ, BytesOf(L"C:\\agent.exe"));
    SetWideValue(kMachine, kApprovedRun, L"Agent", REG_BINARY, kOff);
    SetWideValue(kMachine, kApprovedFolder, L"Common.bat", REG_BINARY, kOff);
    const ReadOnlyKey run(kMachine, kRun);
    const ReadOnlyKey shellFolders(kMachine, kShellFoldersKey);
    const ReadOnlyKey runRecords(kMachine, kApprovedRun);
    const ReadOnlyKey folderRecords(kMachine, kApprovedFolder);
    ASSERT_TRUE(run.Made() && shellFolders.Made() && runRecords.Made() && folderRecords.Made());
    if (MayChange(kMachine, kRun) || MayChange(kMachine, kShellFoldersKey))
        GTEST_SKIP() << "this system lets the keys be changed despite their security";
    const auto runBefore = AllValues(kMachine, kRun);
    const auto recordsBefore = AllValues(kMachine, kApprovedRun);
    ASSERT_EQ(runBefore.size(), 2u) << "the key is readable";
    Open();

    // Both sections are listed with their entries.
    const std::vector<int> shown = VisibleSections(*form);
    EXPECT_NE(std::find(shown.begin(), shown.end(), 6), shown.end());
    EXPECT_NE(std::find(shown.begin(), shown.end(), 9), shown.end());
    EXPECT_EQ(form->GroupBoxN(6).Title(), CommonStartup());
    ASSERT_EQ(List(6).Count(), 1);
    EXPECT_EQ(List(6).Fullname(0), common);
    EXPECT_FALSE(List(6).Checked(0));
    ASSERT_EQ(List(9).Count(), 2);
    const int scheduler = RowOf(9, "Scheduler");
    const int agent = RowOf(9, "Agent");
    EXPECT_EQ(List(9).Fullname(scheduler), "C:\\sched.exe /tray");
    EXPECT_TRUE(List(9).Checked(scheduler));
    EXPECT_FALSE(List(9).Checked(agent));

    // Unchecking by a real click is refused: the value stays and its row is checked again.
    const POINT box = PointOn(9, scheduler, LVHT_ONITEMSTATEICON);
    ASSERT_GE(box.x, 0);
    DialogLook look = RunLookingAtErrorDialog([&] { ClickAt(ListHandle(9), box.x, box.y); });
    ASSERT_TRUE(look.shown) << "the refused change was not told";
    EXPECT_EQ(look.text, std::string("The value \"Scheduler\" of My Computer\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\"
                                     "Windows\\CurrentVersion\\Run was not deleted: ") +
                             kAdministratorHint);
    EXPECT_EQ(look.title, ThisProgramTitle());
    EXPECT_TRUE(look.stopIcon);
    EXPECT_TRUE(WaitUntil([&] { return List(9).Checked(scheduler); }, 3000)) << "the row shows the value deleted";
    EXPECT_EQ(AllValues(kMachine, kRun), runBefore);
    SaveScreenshot("startup-switch-refused-rows-set-back");
    Pause();
    // No refused change waits in the window: selecting the row afterwards tells nothing.
    ClickCaption(9, scheduler);
    EXPECT_EQ(AllValues(kMachine, kRun), runBefore);

    // Checking a switched-off value is refused by the records' key: it stays off, and so does its
    // row.
    const POINT agentBox = PointOn(9, agent, LVHT_ONITEMSTATEICON);
    ASSERT_GE(agentBox.x, 0);
    look = RunLookingAtErrorDialog([&] { ClickAt(ListHandle(9), agentBox.x, agentBox.y); });
    ASSERT_TRUE(look.shown);
    EXPECT_EQ(look.text, std::string("The value \"Agent\" of My Computer\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\"
                                     "Windows\\CurrentVersion\\Run was not switched on: ") +
                             kAdministratorHint);
    EXPECT_TRUE(WaitUntil([&] { return !List(9).Checked(agent); }, 3000));
    EXPECT_EQ(AllValues(kMachine, kApprovedRun), recordsBefore);
    EXPECT_EQ(AllValues(kMachine, kRun), runBefore);
    Pause();

    // The same for the all-users folder's file.
    const POINT fileBox = PointOn(6, 0, LVHT_ONITEMSTATEICON);
    ASSERT_GE(fileBox.x, 0);
    look = RunLookingAtErrorDialog([&] { ClickAt(ListHandle(6), fileBox.x, fileBox.y); });
    ASSERT_TRUE(look.shown);
    EXPECT_EQ(look.text, "The file " + common + " was not switched on: " + kAdministratorHint);
    EXPECT_TRUE(WaitUntil([&] { return !List(6).Checked(0); }, 3000));
    EXPECT_EQ(Value(kMachine, kApprovedFolder, L"Common.bat"), Binary(kOff));
    EXPECT_TRUE(FileExists(common));
    EXPECT_EQ(List(6).Count(), 1);
}
} // namespace

namespace {
// A value written back whose switch the system turned off meanwhile, where the switch may not be
// turned on (the records' key may only be read): the value is back, switched off, and its row is
// what such an entry's row is. Selecting it deletes nothing; the user's next check turns the
// switch on once it may be.
TEST_F(StartupSwitchTest, AValueWrittenBackWhoseSwitchStaysOffIsShownSwitchedOff) {
    const Bytes data = BytesOf(L"C:\\agent.exe /background");
    SetWideValue(kMachine, kRun, L"Agent", REG_SZ, data);
    SetWideValue(kMachine, kRun, L"Other", REG_SZ, BytesOf(L"C:\\other.exe"));
    CreateKey(kMachine, kApprovedRun);
    Open();
    const int agent = RowOf(9, "Agent");
    ClickCheckBox(9, agent);
    ASSERT_TRUE(WaitUntil([&] { return !Value(kMachine, kRun, L"Agent").exists; }, 3000));
    SetWideValue(kMachine, kApprovedRun, L"Agent", REG_BINARY, kOff);
    {
        const ReadOnlyKey records(kMachine, kApprovedRun);
        ASSERT_TRUE(records.Made());
        if (MayChange(kMachine, kApprovedRun))
            GTEST_SKIP() << "this system lets the key be changed despite its security";
        const POINT box = PointOn(9, agent, LVHT_ONITEMSTATEICON);
        ASSERT_GE(box.x, 0);
        const DialogLook look = RunLookingAtErrorDialog([&] { ClickAt(ListHandle(9), box.x, box.y); });
        ASSERT_TRUE(look.shown);
        EXPECT_EQ(look.text, std::string("The value \"Agent\" of My Computer\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\"
                                         "Windows\\CurrentVersion\\Run was written back but stays switched off: ") +
                                 kAdministratorHint);
        EXPECT_TRUE(WaitUntil([&] { return !List(9).Checked(agent); }, 3000)) << "shown as if it would start";
        EXPECT_EQ(Value(kMachine, kRun, L"Agent"), (WideValue{true, REG_SZ, data}));
        EXPECT_EQ(Value(kMachine, kApprovedRun, L"Agent"), Binary(kOff));
        Pause();
        // Selecting the row, by a click and by the keys, leaves the value where it is.
        ClickCaption(9, agent);
        WalkWithArrowKeys(9, agent);
        EXPECT_EQ(Value(kMachine, kRun, L"Agent"), (WideValue{true, REG_SZ, data}));
        EXPECT_FALSE(List(9).Checked(agent));
    }
    // Once the switch may be turned on, a check does it and leaves the value as it is.
    ClickCheckBox(9, agent);
    EXPECT_TRUE(WaitUntil([&] { return Value(kMachine, kApprovedRun, L"Agent") == Binary(kOn); }, 3000));
    EXPECT_TRUE(List(9).Checked(agent));
    EXPECT_EQ(Value(kMachine, kRun, L"Agent"), (WideValue{true, REG_SZ, data}));
}
} // namespace

namespace {
// Clicks that leave the records' key, or the run key, nothing to change, while it may only be
// read: nothing is asked of it, nothing is told, and each row's mark says what the registry says.
TEST_F(StartupSwitchTest, ClicksWithNothingToChangeAskNothingOfKeysThatMayOnlyBeRead) {
    PointStartupFolders();
    const std::string tool = UserStartup() + "\\Tool.bat";
    WriteBytes(tool, "@echo off\r\n");
    const Bytes toolF = BytesOf(L"C:\\toolf.exe");
    const Bytes toolG = BytesOf(L"C:\\toolg.exe /g");
    SetWideValue(kUser, kRun, L"ToolF", REG_SZ, toolF);
    SetWideValue(kUser, kRun, L"ToolG", REG_SZ, toolG);
    SetWideValue(kUser, kRun, L"Other", REG_SZ, BytesOf(L"C:\\other.exe"));
    SetWideValue(kUser, kApprovedRun, L"ToolG", REG_BINARY, kOff);
    SetWideValue(kUser, kApprovedFolder, L"Tool.bat", REG_BINARY, kOff);
    Open();
    const int f = RowOf(7, "ToolF");
    const int g = RowOf(7, "ToolG");
    ASSERT_FALSE(List(7).Checked(g));
    ASSERT_FALSE(List(5).Checked(RowWithPath(5, tool)));
    ClickCheckBox(7, f);
    ASSERT_TRUE(WaitUntil([&] { return !Value(kUser, kRun, L"ToolF").exists; }, 3000));
    // Another program switches the two entries on, and the records become readable only.
    SetWideValue(kUser, kApprovedRun, L"ToolG", REG_BINARY, kOn);
    SetWideValue(kUser, kApprovedFolder, L"Tool.bat", REG_BINARY, kOn);
    {
        const ReadOnlyKey runRecords(kUser, kApprovedRun);
        const ReadOnlyKey fileRecords(kUser, kApprovedFolder);
        ASSERT_TRUE(runRecords.Made() && fileRecords.Made());
        if (MayChange(kUser, kApprovedRun) || MayChange(kUser, kApprovedFolder))
            GTEST_SKIP() << "this system lets the keys be changed despite their security";
        // A value written back where it has no record; entries whose records are on already.
        const struct {
            int section;
            int row;
        } checks[] = {{7, f}, {7, g}, {5, RowWithPath(5, tool)}};
        for (const auto& check : checks) {
            SCOPED_TRACE("section " + std::to_string(check.section) + ", row " + std::to_string(check.row));
            ClickCheckBox(check.section, check.row);
            EXPECT_TRUE(List(check.section).Checked(check.row)) << "the entry will start";
        }
        EXPECT_EQ(Value(kUser, kRun, L"ToolF"), (WideValue{true, REG_SZ, toolF}));
        EXPECT_EQ(Value(kUser, kRun, L"ToolG"), (WideValue{true, REG_SZ, toolG}));
        EXPECT_FALSE(Value(kUser, kApprovedRun, L"ToolF").exists);
        EXPECT_TRUE(FileExists(tool));
        // Written back, ToolF is an ordinary row: selecting it deletes nothing.
        ClickCaption(7, f);
        EXPECT_TRUE(Value(kUser, kRun, L"ToolF").exists);
    }
    // Unchecked (deleted), then its key readable only: selecting other rows and it again has
    // nothing to delete.
    ClickCheckBox(7, f);
    ASSERT_TRUE(WaitUntil([&] { return !Value(kUser, kRun, L"ToolF").exists; }, 3000));
    const ReadOnlyKey run(kUser, kRun);
    ASSERT_TRUE(run.Made());
    ClickCaption(7, RowOf(7, "Other"));
    ClickCaption(7, f);
    EXPECT_FALSE(List(7).Checked(f)) << "the value does not exist";
    EXPECT_FALSE(Value(kUser, kRun, L"ToolF").exists);
}
} // namespace
