// The registry run-key sections 7 to 11 on the real (redirected) registry: loading, toggling
// through the list's own change reports, errors, real input, hostile data and load speed.
#include "FormDriving.h"
#include "ImportPatch.h"
#include "TestSupport.h"

#include "sources/RunKey.h"
#include "sources/WideText.h"
#include "ui/Dawnroll.h"
#include "ui/Resource.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <algorithm>

namespace {
constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kRunOnce = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunOnce";
constexpr const char* kRunServices = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices";
constexpr const char* kTitlePrefix = "My Computer\\";

std::string Title(const char* root, const char* path) {
    return std::string(kTitlePrefix) + root + "\\" + path;
}

void SetRawValue(HKEY root, const std::string& path, const std::string& name, DWORD type, const std::string& bytes) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const LONG status = RegSetValueExA(key, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                       static_cast<DWORD>(bytes.size()));
    RegCloseKey(key);
    ASSERT_EQ(status, ERROR_SUCCESS);
}

void DeleteValue(HKEY root, const std::string& path, const std::string& name) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(root, path.c_str(), 0, KEY_ALL_ACCESS, &key), ERROR_SUCCESS);
    RegDeleteValueA(key, name.c_str());
    RegCloseKey(key);
}

class RunKeyTest : public FormTest {
  protected:
    void Open() {
        ExpectNoDialog([this] { form->Create(); });
    }
    void MenuCommand(int id) { SendMessageA(form->Handle(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
    void Refresh() {
        ExpectNoDialog([this] { MenuCommand(IDM_HIDEEMPTYSTARTUPS); });
    }

    // Sections 7 to 11 hold ListView3 to ListView7.
    EntryListView& List(int section) { return form->ListViewN(section - 4); }
    Section& Box(int section) { return form->GroupBoxN(section); }

    int RowOf(int section, const std::string& caption) {
        for (int row = 0; row < List(section).Count(); ++row) {
            if (List(section).Caption(row) == caption)
                return row;
        }
        ADD_FAILURE() << "no row '" << caption << "' in section " << section;
        return -1;
    }

    // Changes a row's check mark in the list, which reports the change to the window itself.
    void SetMark(int section, int row, bool checked) {
        ExpectNoDialog([&] { List(section).SetChecked(row, checked); });
        ASSERT_EQ(List(section).Checked(row), checked);
    }
    // The same through the list's own message, as any code holding only the list would do.
    void SetMarkByMessage(int section, int row, bool checked) {
        ExpectNoDialog([&] {
            ListView_SetItemState(List(section).Handle(), row, INDEXTOSTATEIMAGEMASK(checked ? 2 : 1),
                                  LVIS_STATEIMAGEMASK);
        });
        ASSERT_EQ(List(section).Checked(row), checked);
    }
    void Select(int section, int row) {
        HWND list = List(section).Handle();
        ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
        ExpectNoDialog(
            [&] { ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED); });
        ASSERT_EQ(ListView_GetItemState(list, row, LVIS_SELECTED), static_cast<UINT>(LVIS_SELECTED));
    }

    int LineHeight(int section) { return TextExtentIn(List(section).Handle(), "REM").cy; }
    int FilledHeight(int section, int rows) { return (LineHeight(section) + 4) * (rows + 1) + 42; }
};

std::string Sz(const std::string& text) {
    return text + std::string(1, '\0');
}

TEST_F(RunKeyTest, ListsEveryKeyInOrderWithTitlesHeightsAndColumnWidths) {
    SetStringValue(HKEY_CURRENT_USER, kRun, "Zeta", "C:\\Zeta\\zeta.exe /background");
    SetStringValue(HKEY_CURRENT_USER, kRun, "alpha", "a.exe");
    SetStringValue(HKEY_CURRENT_USER, kRun, "Middle name with spaces", "\"C:\\Program Files\\M\\m.exe\" -x");
    SetStringValue(HKEY_CURRENT_USER, kRun, "", "C:\\default.exe");
    SetStringValue(HKEY_CURRENT_USER, kRun, "Blank", "");
    SetStringValue(HKEY_CURRENT_USER, kRun, "Expand", "%SystemRoot%\\tool.exe %TEMP%", REG_EXPAND_SZ);
    SetRawValue(HKEY_CURRENT_USER, kRun, "NoData", REG_BINARY, "");
    SetStringValue(HKEY_LOCAL_MACHINE, kRun, "Scheduler", "C:\\sched.exe");
    SetStringValue(HKEY_LOCAL_MACHINE, kRunOnce, "Once", "C:\\once.exe");
    SetStringValue(HKEY_LOCAL_MACHINE, kRunServices, "Service", "C:\\service.exe");
    CreateKey(HKEY_CURRENT_USER, kRunOnce); // present, without values
    Open();

    const auto names = ValueNames(HKEY_CURRENT_USER, kRun);
    ASSERT_EQ(names.size(), 7u);
    ASSERT_EQ(List(7).Count(), 7);
    for (int row = 0; row < 7; ++row) {
        SCOPED_TRACE(names[row]);
        EXPECT_EQ(List(7).Caption(row), names[row]);
        EXPECT_TRUE(List(7).Checked(row));
        const RegistryData value = GetValue(HKEY_CURRENT_USER, kRun, names[row]);
        const std::string text = value.bytes.substr(0, value.bytes.find('\0'));
        EXPECT_EQ(List(7).Fullname(row), text);
    }
    EXPECT_EQ(List(7).Fullname(RowOf(7, "")), "C:\\default.exe");
    EXPECT_EQ(List(7).Fullname(RowOf(7, "Expand")), "%SystemRoot%\\tool.exe %TEMP%");
    EXPECT_EQ(List(7).Fullname(RowOf(7, "Blank")), "");
    EXPECT_EQ(List(7).Fullname(RowOf(7, "NoData")), "");

    EXPECT_EQ(Box(7).Title(), Title("HKEY_CURRENT_USER", kRun));
    EXPECT_EQ(Box(8).Title(), Title("HKEY_CURRENT_USER", kRunOnce));
    EXPECT_EQ(Box(9).Title(), Title("HKEY_LOCAL_MACHINE", kRun));
    EXPECT_EQ(Box(10).Title(), Title("HKEY_LOCAL_MACHINE", kRunOnce));
    EXPECT_EQ(Box(11).Title(), Title("HKEY_LOCAL_MACHINE", kRunServices));
    EXPECT_EQ(Box(9).Title(), "My Computer\\HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");

    // Heights: (h + 4) x (n + 1) + 42, h the height of "REM" in the list's font (13 with
    // "MS Sans Serif" at 96 dots per inch; the font this system substitutes may differ).
    EXPECT_GE(LineHeight(7), 10);
    EXPECT_EQ(Box(7).Height(), FilledHeight(7, 7));
    EXPECT_EQ(Box(9).Height(), (LineHeight(9) + 4) * 2 + 42);
    EXPECT_TRUE(Box(7).IsVisible());
    EXPECT_FALSE(Box(8).IsVisible());
    EXPECT_EQ(GetWindowLongA(Box(8).Handle(), GWL_STYLE) & WS_VISIBLE, 0);
    EXPECT_EQ(List(8).Count(), 0);
    for (int section : {9, 10, 11}) {
        EXPECT_EQ(List(section).Count(), 1) << section;
        EXPECT_EQ(Box(section).Height(), FilledHeight(section, 1)) << section;
    }

    // Column widths: the widest caption + 41 and the widest data + 21, never below 100.
    int captionWidth = 100;
    int dataWidth = 100;
    for (int row = 0; row < 7; ++row) {
        captionWidth = std::max<int>(captionWidth, TextExtentIn(List(7).Handle(), List(7).Caption(row)).cx + 41);
        dataWidth = std::max<int>(dataWidth, TextExtentIn(List(7).Handle(), List(7).Fullname(row)).cx + 21);
    }
    EXPECT_GT(dataWidth, 100);
    EXPECT_GT(captionWidth, 100);
    EXPECT_EQ(List(7).ColumnWidth(0), captionWidth);
    EXPECT_EQ(List(7).ColumnWidth(1), dataWidth);
    // Short entries leave both columns at their starting width.
    EXPECT_EQ(List(10).ColumnWidth(0), 100);
    EXPECT_EQ(List(10).ColumnWidth(1), 100);

    // Every load starts the columns again at 100: with shorter entries they shrink.
    DeleteKeyTree(HKEY_CURRENT_USER, kRun);
    SetStringValue(HKEY_CURRENT_USER, kRun, "a", "b");
    Refresh();
    ASSERT_EQ(List(7).Count(), 1);
    EXPECT_EQ(List(7).ColumnWidth(0), 100);
    EXPECT_EQ(List(7).ColumnWidth(1), 100);
    EXPECT_EQ(Box(7).Height(), FilledHeight(7, 1));
}

TEST_F(RunKeyTest, DefaultAndEmptyValuesAreDeletedAndWrittenBackLikeAnyOther) {
    SetStringValue(HKEY_CURRENT_USER, kRun, "", "C:\\default.exe -q");
    SetStringValue(HKEY_CURRENT_USER, kRun, "Blank", "");
    SetRawValue(HKEY_CURRENT_USER, kRun, "NoData", REG_BINARY, "");
    SetStringValue(HKEY_CURRENT_USER, kRun, "Other", "other.exe");
    Open();
    ASSERT_EQ(List(7).Count(), 4);

    const int unnamed = RowOf(7, "");
    SetMark(7, unnamed, false);
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, kRun, "").exists);
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, kRun, "Other").exists);
    EXPECT_EQ(List(7).Fullname(unnamed), "C:\\default.exe -q");
    SetMark(7, unnamed, true);
    RegistryData value = GetValue(HKEY_CURRENT_USER, kRun, "");
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.bytes, Sz("C:\\default.exe -q"));

    const int blank = RowOf(7, "Blank");
    SetMarkByMessage(7, blank, false);
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, kRun, "Blank").exists);
    SetMarkByMessage(7, blank, true);
    value = GetValue(HKEY_CURRENT_USER, kRun, "Blank");
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.bytes, std::string(1, '\0'));

    // A value of another type without data is listed and comes back with its own type.
    const int noData = RowOf(7, "NoData");
    SetMark(7, noData, false);
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, kRun, "NoData").exists);
    SetMark(7, noData, true);
    value = GetValue(HKEY_CURRENT_USER, kRun, "NoData");
    EXPECT_TRUE(value.exists);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_BINARY));
    EXPECT_EQ(value.bytes, "");

    // After a refresh a value deleted by unchecking is gone from the list for good.
    SetMark(7, RowOf(7, "Other"), false);
    Refresh();
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, kRun).size(), 3u);
    EXPECT_EQ(List(7).Count(), 3);
    for (int row = 0; row < List(7).Count(); ++row)
        EXPECT_NE(List(7).Caption(row), "Other");
}

TEST_F(RunKeyTest, ValuesComeBackWithTheirOwnTypeAndBytes) {
    const std::string expandable = "%SystemRoot%\\system32\\tool.exe /dir:%TEMP%";
    SetStringValue(HKEY_CURRENT_USER, kRunOnce, "Expandable", expandable, REG_EXPAND_SZ);
    SetStringValue(HKEY_CURRENT_USER, kRunOnce, "Plain", "C:\\plain.exe");
    // Written without its terminating zero by another program; it comes back with one.
    SetRawValue(HKEY_CURRENT_USER, kRunOnce, "Unterminated", REG_SZ, "C:\\u.exe");
    // Data after the first zero character is not part of the entry.
    SetRawValue(HKEY_CURRENT_USER, kRunOnce, "Embedded", REG_SZ, std::string("C:\\e.exe\0tail\0", 14));
    Open();
    ASSERT_EQ(List(8).Count(), 4);

    const int row = RowOf(8, "Expandable");
    EXPECT_EQ(List(8).Fullname(row), expandable);
    SetMark(8, row, false);
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, kRunOnce, "Expandable").exists);
    SetMark(8, row, true);
    RegistryData value = GetValue(HKEY_CURRENT_USER, kRunOnce, "Expandable");
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(value.bytes, Sz(expandable));

    const int plain = RowOf(8, "Plain");
    SetMarkByMessage(8, plain, false);
    SetMarkByMessage(8, plain, true);
    value = GetValue(HKEY_CURRENT_USER, kRunOnce, "Plain");
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.bytes.size(), std::string("C:\\plain.exe").size() + 1);
    EXPECT_EQ(value.bytes, Sz("C:\\plain.exe"));

    for (const char* name : {"Unterminated", "Embedded"}) {
        SCOPED_TRACE(name);
        const int r = RowOf(8, name);
        const std::string text = name == std::string("Embedded") ? "C:\\e.exe" : "C:\\u.exe";
        EXPECT_EQ(List(8).Fullname(r), text);
        const RegistryData before = GetValue(HKEY_CURRENT_USER, kRunOnce, name);
        SetMark(8, r, false);
        SetMark(8, r, true);
        value = GetValue(HKEY_CURRENT_USER, kRunOnce, name);
        EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
        // Shown up to the first zero, written back exactly as it was, byte for byte.
        EXPECT_EQ(value.bytes, before.bytes);
    }
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kRunOnce, "Embedded").bytes, std::string("C:\\e.exe\0tail\0", 14));
}

TEST_F(RunKeyTest, NonStringValueStopsItsSectionAndTheOthersStillLoad) {
    SetStringValue(HKEY_CURRENT_USER, kRun, "A_first", "a.exe");
    SetStringValue(HKEY_CURRENT_USER, kRun, "B_second", "b.exe");
    SetDwordValue(HKEY_CURRENT_USER, kRun, "C_number", 7);
    SetStringValue(HKEY_CURRENT_USER, kRun, "D_after", "d.exe");
    SetStringValue(HKEY_CURRENT_USER, kRunOnce, "Once", "o.exe");
    SetStringValue(HKEY_LOCAL_MACHINE, kRun, "Machine", "m.exe");
    SetStringValue(HKEY_LOCAL_MACHINE, kRunOnce, "Z_string", "z.exe");
    SetStringValue(HKEY_LOCAL_MACHINE, kRunServices, "Service", "s.exe");

    DialogSeen seen = RunExpectingErrorDialog([this] { form->Create(); });
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.text, "Invalid data type for 'C_number'");
    EXPECT_EQ(seen.title, ThisProgramTitle());
    ASSERT_NE(form->Handle(), nullptr);

    // The rows before the number value stay; the section is neither resized nor hidden.
    const auto names = ValueNames(HKEY_CURRENT_USER, kRun);
    const auto number = std::find(names.begin(), names.end(), "C_number");
    const int before = static_cast<int>(number - names.begin());
    ASSERT_EQ(List(7).Count(), before);
    for (int row = 0; row < before; ++row) {
        EXPECT_EQ(List(7).Caption(row), names[row]);
        EXPECT_TRUE(List(7).Checked(row));
    }
    EXPECT_EQ(Box(7).Title(), Title("HKEY_CURRENT_USER", kRun));
    EXPECT_EQ(Box(7).Height(), 57);
    EXPECT_TRUE(Box(7).IsVisible());
    // The sections after it load all the same.
    for (int section = 8; section <= 11; ++section) {
        SCOPED_TRACE(section);
        EXPECT_EQ(Box(section).Title(), Title(section < 9 ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE",
                                              section == 8 || section == 10 ? kRunOnce
                                              : section == 9                ? kRun
                                                                            : kRunServices));
        EXPECT_EQ(List(section).Count(), 1);
        EXPECT_EQ(Box(section).Height(), FilledHeight(section, 1));
        EXPECT_TRUE(Box(section).IsVisible());
    }
    // The rows kept still toggle.
    SetMark(7, 0, false);
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, kRun, names[0]).exists);
    SetMark(7, 0, true);
    EXPECT_TRUE(GetValue(HKEY_CURRENT_USER, kRun, names[0]).exists);

    // From the menu: a number value first in the local machine's RunOnce, hide-empty on.
    DeleteValue(HKEY_CURRENT_USER, kRun, "C_number");
    SetDwordValue(HKEY_LOCAL_MACHINE, kRunOnce, "0_number", 1);
    ASSERT_EQ(ValueNames(HKEY_LOCAL_MACHINE, kRunOnce).front(), "0_number");
    seen = RunExpectingErrorDialog([this] { MenuCommand(IDM_HIDEEMPTYSTARTUPS); });
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.text, "Invalid data type for '0_number'");
    EXPECT_EQ(seen.title, ThisProgramTitle());
    EXPECT_EQ(List(7).Count(), 3);
    EXPECT_EQ(Box(7).Height(), FilledHeight(7, 3));
    EXPECT_EQ(List(8).Count(), 1);
    EXPECT_EQ(List(9).Count(), 1);
    EXPECT_EQ(List(10).Count(), 0);
    EXPECT_EQ(Box(10).Title(), Title("HKEY_LOCAL_MACHINE", kRunOnce));
    EXPECT_TRUE(Box(10).IsVisible());
    EXPECT_EQ(Box(10).Height(), FilledHeight(10, 1)) << "the height of its last load, not resized";
    EXPECT_EQ(Box(11).Title(), Title("HKEY_LOCAL_MACHINE", kRunServices));
    EXPECT_EQ(List(11).Count(), 1) << "the section after the failing one is read again";

    // The default value of another type: its name in the message is empty.
    DeleteValue(HKEY_LOCAL_MACHINE, kRunOnce, "0_number");
    SetRawValue(HKEY_LOCAL_MACHINE, kRunServices, "", REG_MULTI_SZ, std::string("a\0b\0\0", 5));
    seen = RunExpectingErrorDialog([this] { MenuCommand(IDM_SHOWEMPTYSTARTUPS); });
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.text, "Invalid data type for ''");
    EXPECT_EQ(List(10).Count(), 1);
    EXPECT_EQ(Box(11).Title(), Title("HKEY_LOCAL_MACHINE", kRunServices));
    // The rows of the values the registry lists before the default value stay.
    const auto services = ValueNames(HKEY_LOCAL_MACHINE, kRunServices);
    const auto unnamed = std::find(services.begin(), services.end(), "");
    ASSERT_NE(unnamed, services.end());
    ASSERT_EQ(List(11).Count(), static_cast<int>(unnamed - services.begin()));
    for (int row = 0; row < List(11).Count(); ++row)
        EXPECT_EQ(List(11).Caption(row), services[static_cast<std::size_t>(row)]);

    // Binary data is no string either; a later refresh tries every section again.
    DeleteValue(HKEY_LOCAL_MACHINE, kRunServices, "");
    SetRawValue(HKEY_CURRENT_USER, kRunOnce, "Bytes", REG_BINARY, "\x01\x02");
    seen = RunExpectingErrorDialog([this] { MenuCommand(IDM_SHOWEMPTYSTARTUPS); });
    EXPECT_EQ(seen.text, "Invalid data type for 'Bytes'");
    DeleteValue(HKEY_CURRENT_USER, kRunOnce, "Bytes");
    Refresh();
    EXPECT_EQ(List(11).Count(), 1);
    EXPECT_EQ(Box(11).Height(), FilledHeight(11, 1));
}

TEST_F(RunKeyTest, MissingKeysGiveEmptySectionsWithoutMessageAndKeysThatMayOnlyBeReadAreListed) {
    SetStringValue(HKEY_LOCAL_MACHINE, kRun, "Machine", "m.exe");
    SetStringValue(HKEY_LOCAL_MACHINE, kRunOnce, "Once", "o.exe");
    Open();
    // No RunServices key at all.
    EXPECT_EQ(Box(11).Title(), Title("HKEY_LOCAL_MACHINE", kRunServices));
    EXPECT_EQ(List(11).Count(), 0);
    EXPECT_FALSE(Box(11).IsVisible());
    ExpectNoDialog([this] { MenuCommand(IDM_SHOWEMPTYSTARTUPS); });
    EXPECT_TRUE(Box(11).IsVisible());
    EXPECT_EQ(Box(11).Height(), 57);
    EXPECT_EQ(List(11).Count(), 0);

    // A key that exists but may only be read, as the local machine's keys are for a user without
    // administrator rights: only reading is allowed to everyone.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunOnce, 0, KEY_READ | WRITE_DAC, &key), ERROR_SUCCESS);
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone));
    alignas(DWORD) BYTE aclBytes[256] = {};
    auto* acl = reinterpret_cast<PACL>(aclBytes);
    ASSERT_TRUE(InitializeAcl(acl, sizeof aclBytes, ACL_REVISION));
    ASSERT_TRUE(AddAccessAllowedAce(acl, ACL_REVISION, KEY_READ, everyone));
    SECURITY_DESCRIPTOR descriptor;
    InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE);
    ASSERT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor), ERROR_SUCCESS);
    HKEY probe = nullptr;
    const LONG full = RegOpenKeyExA(HKEY_LOCAL_MACHINE, kRunOnce, 0, KEY_ALL_ACCESS, &probe);
    if (probe)
        RegCloseKey(probe);
    if (full == ERROR_SUCCESS) {
        // Put full access back so that the sandbox can be removed.
        SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
        RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor);
        RegCloseKey(key);
        FreeSid(everyone);
        GTEST_SKIP() << "this system grants full access despite the key's security";
    }
    // The toggle of a row whose key may only be read changes nothing and says why.
    const int row = RowOf(10, "Once");
    const DialogSeen seen = RunExpectingErrorDialog([&] { List(10).SetChecked(row, false); });
    ASSERT_TRUE(seen.shown);
    EXPECT_NE(seen.text.find("access is denied; changing the local machine's entries needs Dawnroll started with "
                             "\"Run as administrator\""),
              std::string::npos)
        << seen.text;
    EXPECT_TRUE(GetValue(HKEY_LOCAL_MACHINE, kRunOnce, "Once").exists);

    // Such a key is listed: it is opened for reading only.
    ExpectNoDialog([this] { MenuCommand(IDM_HIDEEMPTYSTARTUPS); });
    EXPECT_EQ(Box(10).Title(), Title("HKEY_LOCAL_MACHINE", kRunOnce));
    ASSERT_EQ(List(10).Count(), 1);
    EXPECT_EQ(List(10).Caption(0), "Once");
    EXPECT_EQ(List(10).Fullname(0), "o.exe");
    EXPECT_TRUE(Box(10).IsVisible());
    EXPECT_EQ(List(9).Count(), 1);

    SetSecurityDescriptorDacl(&descriptor, TRUE, nullptr, FALSE);
    EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &descriptor), ERROR_SUCCESS);
    RegCloseKey(key);
    FreeSid(everyone);
}

TEST_F(RunKeyTest, ChecksAndSelectionsActOnWhatAnotherProgramChanged) {
    SetStringValue(HKEY_LOCAL_MACHINE, kRun, "Scheduler", "C:\\sched.exe /tray");
    SetStringValue(HKEY_LOCAL_MACHINE, kRun, "Updater", "%ProgramFiles%\\upd.exe", REG_EXPAND_SZ);
    SetStringValue(HKEY_LOCAL_MACHINE, kRun, "Viewer", "C:\\viewer.exe");
    Open();
    ASSERT_EQ(List(9).Count(), 3);
    const int scheduler = RowOf(9, "Scheduler");
    const int updater = RowOf(9, "Updater");
    const int viewer = RowOf(9, "Viewer");

    // Removed by another program while checked: unchecking is no error, checking writes it.
    DeleteValue(HKEY_LOCAL_MACHINE, kRun, "Scheduler");
    SetMark(9, scheduler, false);
    EXPECT_FALSE(GetValue(HKEY_LOCAL_MACHINE, kRun, "Scheduler").exists);
    SetMark(9, scheduler, true);
    EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, kRun, "Scheduler").bytes, Sz("C:\\sched.exe /tray"));
    // Rewritten by another program while unchecked: checking keeps the other program's value.
    SetMark(9, scheduler, false);
    SetStringValue(HKEY_LOCAL_MACHINE, kRun, "Scheduler", "C:\\other.exe", REG_EXPAND_SZ);
    SetMark(9, scheduler, true);
    RegistryData value = GetValue(HKEY_LOCAL_MACHINE, kRun, "Scheduler");
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(value.bytes, Sz("C:\\other.exe"));

    // Selecting a checked row writes nothing: another program's change stays.
    SetStringValue(HKEY_LOCAL_MACHINE, kRun, "Viewer", "C:\\viewer2.exe --changed");
    DeleteValue(HKEY_LOCAL_MACHINE, kRun, "Scheduler");
    Select(9, viewer);
    Select(9, scheduler);
    Select(9, updater);
    EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, kRun, "Viewer").bytes, Sz("C:\\viewer2.exe --changed"));
    EXPECT_FALSE(GetValue(HKEY_LOCAL_MACHINE, kRun, "Scheduler").exists);
    value = GetValue(HKEY_LOCAL_MACHINE, kRun, "Updater");
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_EXPAND_SZ));
    // The same report given to the handler directly: a selection of a checked row.
    ExpectNoDialog([&] { form->SectionN<RunKeySection>(9).RunClickCheck(viewer, RowChange{false}); });
    EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, kRun, "Viewer").bytes, Sz("C:\\viewer2.exe --changed"));

    // Selecting an unchecked row deletes its value again once another program restored it.
    SetMark(9, updater, false);
    EXPECT_FALSE(GetValue(HKEY_LOCAL_MACHINE, kRun, "Updater").exists);
    Select(9, viewer);
    SetStringValue(HKEY_LOCAL_MACHINE, kRun, "Updater", "restored.exe");
    Select(9, viewer);
    EXPECT_TRUE(GetValue(HKEY_LOCAL_MACHINE, kRun, "Updater").exists); // another row reported
    Select(9, updater);
    EXPECT_FALSE(GetValue(HKEY_LOCAL_MACHINE, kRun, "Updater").exists);
    SetStringValue(HKEY_LOCAL_MACHINE, kRun, "Updater", "restored.exe");
    ExpectNoDialog([&] { form->SectionN<RunKeySection>(9).RunClickCheck(updater, RowChange{false}); });
    EXPECT_FALSE(GetValue(HKEY_LOCAL_MACHINE, kRun, "Updater").exists);
    // Checking it writes back what the last deletion took: the value the other program restored.
    SetMark(9, updater, true);
    value = GetValue(HKEY_LOCAL_MACHINE, kRun, "Updater");
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.bytes, Sz("restored.exe"));
    // Deleted by the other program while unchecked: the row keeps the record it had.
    SetMark(9, updater, false);
    DeleteValue(HKEY_LOCAL_MACHINE, kRun, "Updater");
    SetMark(9, updater, true);
    EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, kRun, "Updater").bytes, Sz("restored.exe"));
}

TEST_F(RunKeyTest, EditedCaptionDoesNotRedirectTheValue) {
    SetStringValue(HKEY_CURRENT_USER, kRun, "Original", "C:\\orig.exe");
    SetStringValue(HKEY_CURRENT_USER, kRun, "Renamed", "C:\\renamed.exe");
    Open();
    ShowForInput(form->Handle());
    const int row = RowOf(7, "Original");
    HWND list = List(7).Handle();

    // An in-place edit, typed for real and ended with Enter.
    SetFocus(list);
    HWND edit = reinterpret_cast<HWND>(SendMessageA(list, LVM_EDITLABELA, row, 0));
    ASSERT_NE(edit, nullptr);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    for (WORD key : {'R', 'E', 'N', 'A', 'M', 'E', 'D'})
        PressKey(edit, key);
    ExpectNoDialog([&] { PressKey(edit, VK_RETURN); });
    ASSERT_TRUE(WaitUntil([&] { return List(7).Caption(row) == "renamed"; }, 3000)) << List(7).Caption(row);

    SetMark(7, row, false);
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, kRun, "Original").exists);
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kRun, "Renamed").bytes, Sz("C:\\renamed.exe"));
    SetMark(7, row, true);
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kRun, "Original").bytes, Sz("C:\\orig.exe"));
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kRun, "Renamed").bytes, Sz("C:\\renamed.exe"));
    EXPECT_EQ(ValueNames(HKEY_CURRENT_USER, kRun).size(), 2u);

    // The caption set as the end of an edit sets it, without the edit box.
    const int other = RowOf(7, "Renamed");
    ExpectNoDialog([&] {
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = const_cast<char*>("Original");
        SendMessageA(list, LVM_SETITEMTEXTA, other, reinterpret_cast<LPARAM>(&item));
    });
    EXPECT_EQ(List(7).Caption(other), "Original");
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kRun, "Renamed").bytes, Sz("C:\\renamed.exe"));
    SetMarkByMessage(7, other, false);
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, kRun, "Renamed").exists);
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kRun, "Original").bytes, Sz("C:\\orig.exe"));
    SetMarkByMessage(7, other, true);
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kRun, "Renamed").bytes, Sz("C:\\renamed.exe"));
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kRun, "Original").bytes, Sz("C:\\orig.exe"));
}

// Lets the next opening of one key succeed and then deletes that key behind the handle, as
// another program might at that moment; every other opening goes to the system.
using OpenKeyFunction = LONG(WINAPI*)(HKEY, LPCSTR, DWORD, REGSAM, PHKEY);
OpenKeyFunction systemOpenKey = nullptr;
std::string keyToLose;

LONG WINAPI OpenThenLoseKey(HKEY root, LPCSTR path, DWORD options, REGSAM access, PHKEY result) {
    const LONG status = systemOpenKey(root, path, options, access, result);
    if (status == ERROR_SUCCESS && path && !keyToLose.empty() && keyToLose == path) {
        keyToLose.clear();
        RegDeleteKeyA(root, path);
    }
    return status;
}

TEST_F(RunKeyTest, FailedWriteShowsTheErrorAndSetsTheMarkBack) {
    SetStringValue(HKEY_CURRENT_USER, kRun, "Tool", "C:\\tool.exe");
    Open();
    const int row = RowOf(7, "Tool");
    SetMark(7, row, false);
    ASSERT_FALSE(GetValue(HKEY_CURRENT_USER, kRun, "Tool").exists);

    DialogSeen seen;
    {
        const ImportReplacement openKey("advapi32.dll", "RegOpenKeyExA", reinterpret_cast<void*>(&OpenThenLoseKey));
        systemOpenKey = openKey.Original<OpenKeyFunction>();
        keyToLose = kRun;
        seen = RunExpectingErrorDialog([&] { List(7).SetChecked(row, true); });
    }
    EXPECT_TRUE(keyToLose.empty()) << "the key was never opened";
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.text, "Failed to set data for 'Tool': the key was deleted.");
    EXPECT_EQ(seen.title, ThisProgramTitle());
    EXPECT_FALSE(List(7).Checked(row)) << "the value was not written: the row shows it off";
    EXPECT_EQ(List(7).Fullname(row), "C:\\tool.exe");

    // Once the key is back, checking the row writes its value.
    CreateKey(HKEY_CURRENT_USER, kRun);
    SetMark(7, row, true);
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kRun, "Tool").bytes, Sz("C:\\tool.exe"));
}

TEST_F(RunKeyTest, RealClicksOnTheWindowToggleAndSelect) {
    SetStringValue(HKEY_LOCAL_MACHINE, kRun, "Scheduler", "C:\\Program Files\\Sched\\sched.exe /tray");
    SetStringValue(HKEY_LOCAL_MACHINE, kRun, "Viewer", "C:\\viewer.exe");
    Open();
    ShowForInput(form->Handle());
    HWND list = List(9).Handle();
    ASSERT_TRUE(IsWindowVisible(list));
    const int row = RowOf(9, "Scheduler");
    const POINT box = RowPoint(list, row, LVHT_ONITEMSTATEICON);
    ASSERT_GE(box.x, 0);

    ClickAt(list, box.x, box.y);
    EXPECT_TRUE(WaitUntil([&] { return !GetValue(HKEY_LOCAL_MACHINE, kRun, "Scheduler").exists; }, 3000));
    EXPECT_FALSE(List(9).Checked(row));
    EXPECT_EQ(List(9).Fullname(row), "C:\\Program Files\\Sched\\sched.exe /tray");
    EXPECT_EQ(List(9).Caption(row), "Scheduler");
    SaveScreenshot("runkey-unchecked-by-click");

    // Far enough apart not to count as a double click.
    WaitPastDoubleClickTime();
    ClickAt(list, box.x, box.y);
    EXPECT_TRUE(WaitUntil([&] { return GetValue(HKEY_LOCAL_MACHINE, kRun, "Scheduler").exists; }, 3000));
    EXPECT_TRUE(List(9).Checked(row));
    const RegistryData value = GetValue(HKEY_LOCAL_MACHINE, kRun, "Scheduler");
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value.bytes, Sz("C:\\Program Files\\Sched\\sched.exe /tray"));
    EXPECT_EQ(List(9).Fullname(row), "C:\\Program Files\\Sched\\sched.exe /tray");
    SaveScreenshot("runkey-checked-again-by-click");

    // A click on the text of a checked row selects it and writes nothing.
    const int viewer = RowOf(9, "Viewer");
    SetStringValue(HKEY_LOCAL_MACHINE, kRun, "Viewer", "C:\\changed-elsewhere.exe");
    WaitPastDoubleClickTime();
    const POINT text = RowPoint(list, viewer, LVHT_ONITEMLABEL);
    ASSERT_GE(text.x, 0);
    ClickAt(list, text.x, text.y);
    EXPECT_TRUE(WaitUntil([&] { return ListView_GetItemState(list, viewer, LVIS_SELECTED) != 0; }, 3000));
    EXPECT_TRUE(List(9).Checked(viewer));
    EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, kRun, "Viewer").bytes, Sz("C:\\changed-elsewhere.exe"));
}

// Every byte from 1 to 255, in a name and in data.
std::string AllBytes() {
    std::string bytes;
    for (int c = 1; c <= 255; ++c)
        bytes += static_cast<char>(c);
    return bytes;
}

TEST_F(RunKeyTest, HostileNamesAndDataLoadAndRoundTrip) {
    const std::string all = AllBytes();
    const std::string longData(100000, 'x');
    std::string longMixed;
    while (longMixed.size() < 100000)
        longMixed += all;
    longMixed.resize(100000);
    SetStringValue(HKEY_CURRENT_USER, kRun, all, all);
    SetStringValue(HKEY_CURRENT_USER, kRun, "Expand" + all, all, REG_EXPAND_SZ);
    SetStringValue(HKEY_CURRENT_USER, kRun, "Long", longData);
    SetStringValue(HKEY_CURRENT_USER, kRun, "LongMixed", longMixed, REG_EXPAND_SZ);
    Open();
    ASSERT_EQ(List(7).Count(), 4);

    const auto names = ValueNames(HKEY_CURRENT_USER, kRun);
    ASSERT_EQ(names.size(), 4u);
    for (int row = 0; row < 4; ++row) {
        const std::string& name = names[row];
        SCOPED_TRACE(row);
        const RegistryData before = GetValue(HKEY_CURRENT_USER, kRun, name);
        ASSERT_TRUE(before.exists);
        EXPECT_EQ(List(7).Caption(row), name);
        EXPECT_EQ(List(7).Fullname(row), before.bytes.substr(0, before.bytes.size() - 1));
        SetMark(7, row, false);
        EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, kRun, name).exists);
        SetMark(7, row, true);
        const RegistryData after = GetValue(HKEY_CURRENT_USER, kRun, name);
        EXPECT_EQ(after.type, before.type);
        EXPECT_TRUE(after.bytes == before.bytes) << "the data changed in a round trip";
    }
    // Wider than a column can be: the column gets the widest width the list can hold.
    int widest = 0;
    for (int row = 0; row < 4; ++row)
        widest = std::max<int>(widest, TextExtentIn(List(7).Handle(), List(7).Fullname(row)).cx + 21);
    ASSERT_GT(widest, 32767);
    EXPECT_EQ(List(7).ColumnWidth(1), 32767);
    EXPECT_EQ(List(7).ColumnWidth(0), TextExtentIn(List(7).Handle(), "Expand" + all).cx + 41);
}

TEST_F(RunKeyTest, TenThousandValuesLoadAndToggle) {
    FillRunKey(HKEY_LOCAL_MACHINE, kRunServices, 10000);
    Open();
    ASSERT_EQ(List(11).Count(), 10000);
    EXPECT_EQ(Box(11).Height(), FilledHeight(11, 10000));
    const auto names = ValueNames(HKEY_LOCAL_MACHINE, kRunServices);
    for (int row : {0, 4999, 9999}) {
        SCOPED_TRACE(row);
        EXPECT_EQ(List(11).Caption(row), names[row]);
        EXPECT_TRUE(List(11).Checked(row));
        const RegistryData before = GetValue(HKEY_LOCAL_MACHINE, kRunServices, names[row]);
        EXPECT_EQ(List(11).Fullname(row), before.bytes.substr(0, before.bytes.size() - 1));
        SetMark(11, row, false);
        EXPECT_FALSE(GetValue(HKEY_LOCAL_MACHINE, kRunServices, names[row]).exists);
        SetMark(11, row, true);
        EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, kRunServices, names[row]).bytes, before.bytes);
    }
    EXPECT_EQ(ValueNames(HKEY_LOCAL_MACHINE, kRunServices).size(), 10000u);
}
} // namespace

// Another program may set any title of the window; a section writes to its own key all the same.
TEST_F(RunKeyTest, ATitleChangedByAnotherProgramRedirectsNoWrite) {
    SetStringValue(HKEY_CURRENT_USER, kRun, "Tool", "C:\\tool.exe");
    SetStringValue(HKEY_LOCAL_MACHINE, kRun, "Tool", "C:\\machine-tool.exe");
    Open();
    const int tool = RowOf(7, "Tool");
    // Section 7's title now names the local machine's Run key.
    const std::wstring forged = WideOfAnsi(RunKeyTitle(RootKey::LocalMachine, "Run"));
    SendMessageW(Box(7).Handle(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(forged.c_str()));
    ASSERT_EQ(Box(7).WideTitle(), forged);

    SetMark(7, tool, false);
    EXPECT_FALSE(GetValue(HKEY_CURRENT_USER, kRun, "Tool").exists);
    EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, kRun, "Tool").bytes, Sz("C:\\machine-tool.exe"));
    SetMark(7, tool, true);
    EXPECT_EQ(GetValue(HKEY_CURRENT_USER, kRun, "Tool").bytes, Sz("C:\\tool.exe"));
    EXPECT_EQ(GetValue(HKEY_LOCAL_MACHINE, kRun, "Tool").bytes, Sz("C:\\machine-tool.exe"));
}
