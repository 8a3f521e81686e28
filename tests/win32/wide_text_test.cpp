// Exact text through the real window and real input, in a system whose ANSI code page holds
// none of these scripts: run values, WIN.INI programs and a Startup folder named in Cyrillic,
// Chinese and Greek, and with a character outside the basic plane, are shown exactly and come
// back byte for byte after a toggle; a value whose name holds a zero character is never touched.
#include "FormDriving.h"
#include "TestSupport.h"
#include "WideRegistry.h"

#include "sources/WideText.h"
#include "ui/Dawnroll.h"

#include <gtest/gtest.h>

#include <commctrl.h>

namespace {
const auto* const iniMapping = testing::AddGlobalTestEnvironment(new IniMapping);

constexpr const char* kRun = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring ItemTextW(HWND list, int row, int column) {
    wchar_t buffer[1024] = {};
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = 1024;
    SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

std::wstring WindowTextW(HWND window) {
    wchar_t buffer[1024] = {};
    GetWindowTextW(window, buffer, 1024);
    return buffer;
}

std::wstring ListBoxLineW(HWND list, int index) {
    const auto length = SendMessageW(list, LB_GETTEXTLEN, index, 0);
    std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    SendMessageW(list, LB_GETTEXT, index, reinterpret_cast<LPARAM>(&text[0]));
    text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
    return text;
}

std::wstring ProfileEntryW(const std::wstring& file, const wchar_t* key) {
    wchar_t buffer[2048] = {};
    GetPrivateProfileStringW(L"Windows", key, L"<none>", buffer, 2048, file.c_str());
    return buffer;
}

void PauseBetweenClicks() {
    // Far enough apart not to count as a double click.
    WaitPastDoubleClickTime();
}

class WideTextTest : public FormTest {
  protected:
    // Sections 7 to 11 hold ListView3 to ListView7.
    HWND RunList() { return form->ListViewN(3).Handle(); }

    int RowNamed(HWND list, const std::wstring& caption) {
        for (int row = 0; row < ListView_GetItemCount(list); ++row) {
            if (ItemTextW(list, row, 0) == caption)
                return row;
        }
        ADD_FAILURE() << "no row " << Printable(caption);
        return -1;
    }
    void ClickRowBox(HWND list, int row) {
        ListView_EnsureVisible(list, row, FALSE);
        const POINT box = RowPoint(list, row, LVHT_ONITEMSTATEICON);
        ASSERT_GE(box.x, 0);
        ClickAt(list, box.x, box.y);
        PauseBetweenClicks();
    }
    void ShowBig() {
        CreateAndShow();
        SetWindowPos(Window(), nullptr, 0, 0, 900, 700, SWP_NOZORDER);
        ShowForInput(Window());
    }
};

struct Seeded {
    std::wstring name;
    DWORD type;
    Bytes bytes;
    std::wstring shown; // the "Fullname" text
};

TEST_F(WideTextTest, RunValuesInManyScriptsShowExactlyAndComeBackByteForByte) {
    Bytes odd = BytesOf(L"C:\\odd.exe", false);
    odd.push_back(0x42);
    const std::vector<Seeded> seeded = {
        {L"Андрей", REG_SZ, BytesOf(L"C:\\Программы\\андрей.exe /тихо"), L"C:\\Программы\\андрей.exe /тихо"},
        {L"工具", REG_EXPAND_SZ, BytesOf(L"%ProgramFiles%\\工具\\tool.exe /x"), L"%ProgramFiles%\\工具\\tool.exe /x"},
        {L"Ελληνικά", REG_SZ, BytesOf(L"C:\\Ελλάδα\\πρόγραμμα.exe"), L"C:\\Ελλάδα\\πρόγραμμα.exe"},
        {L"Smile \U0001F600", REG_SZ, BytesOf(L"C:\\\U0001F600\\smile.exe"), L"C:\\\U0001F600\\smile.exe"},
        {L"ZeroInside", REG_EXPAND_SZ, BytesOf(std::wstring(L"%\0w\0i\0n%", 8)), L"%"},
        {L"NoTerminator", REG_SZ, BytesOf(L"C:\\plain.exe", false), L"C:\\plain.exe"},
        {L"OddCount", REG_SZ, odd, L"C:\\odd.exe"},
    };
    // The test means something only where the ANSI code page cannot hold these names (the
    // prefixes run in code page 1252).
    for (std::size_t i = 0; i < 4; ++i) {
        const std::wstring& name = seeded[i].name;
        EXPECT_NE(WideOf(AnsiOf(name)), name) << "code page " << GetACP() << " holds " << Printable(name);
    }
    for (const auto& value : seeded)
        SetWideValue(HKEY_CURRENT_USER, kRun, value.name, value.type, value.bytes);
    ShowBig();
    const HWND list = RunList();
    ASSERT_EQ(ListView_GetItemCount(list), static_cast<int>(seeded.size()));
    EXPECT_EQ(WindowTextW(form->GroupBoxN(7).Handle()),
              L"My Computer\\HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run");
    SaveScreenshot("wide-run-values");
    for (const auto& value : seeded) {
        SCOPED_TRACE(Printable(value.name));
        const int row = RowNamed(list, value.name);
        ASSERT_GE(row, 0);
        EXPECT_EQ(ItemTextW(list, row, 1), value.shown);
        ClickRowBox(list, row);
        EXPECT_FALSE(form->ListViewN(3).Checked(row));
        EXPECT_FALSE(GetWideValue(HKEY_CURRENT_USER, kRun, value.name).exists);
        ClickRowBox(list, row);
        EXPECT_TRUE(form->ListViewN(3).Checked(row));
        const WideValue back = GetWideValue(HKEY_CURRENT_USER, kRun, value.name);
        EXPECT_TRUE(back.exists);
        EXPECT_EQ(back.type, value.type);
        EXPECT_EQ(back.bytes, value.bytes);
        EXPECT_EQ(ItemTextW(list, row, 0), value.name);
    }
    const auto all = AllValues(HKEY_CURRENT_USER, kRun);
    EXPECT_EQ(all.size(), seeded.size());
    for (const auto& value : all)
        EXPECT_EQ(value.name.find(L'?'), std::wstring::npos) << Printable(value.name);
}

TEST_F(WideTextTest, UncheckingKeepsWhatAnotherProgramMadeOfTheValue) {
    SetWideValue(HKEY_CURRENT_USER, kRun, L"A", REG_SZ, BytesOf(L"a.exe"));
    SetWideValue(HKEY_CURRENT_USER, kRun, L"B", REG_SZ, BytesOf(L"b.exe"));
    ShowBig();
    const HWND list = RunList();
    const int a = RowNamed(list, L"A");
    ASSERT_GE(a, 0);
    // Changed by another program after the load, type and all.
    const Bytes updated = BytesOf(L"a2.exe --updated");
    SetWideValue(HKEY_CURRENT_USER, kRun, L"A", REG_EXPAND_SZ, updated);
    ClickRowBox(list, a);
    EXPECT_FALSE(GetWideValue(HKEY_CURRENT_USER, kRun, L"A").exists);
    ClickRowBox(list, a);
    WideValue back = GetWideValue(HKEY_CURRENT_USER, kRun, L"A");
    EXPECT_TRUE(back.exists);
    EXPECT_EQ(back.type, static_cast<DWORD>(REG_EXPAND_SZ));
    EXPECT_EQ(back.bytes, updated);

    // Gone already when unchecked: no error, and checking writes what the row knew.
    const int b = RowNamed(list, L"B");
    ASSERT_GE(b, 0);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, WideOf(kRun).c_str(), L"B");
    ASSERT_FALSE(GetWideValue(HKEY_CURRENT_USER, kRun, L"B").exists);
    const DialogLook look = RunLookingAtErrorDialog([&] { ClickRowBox(list, b); }, 2000);
    EXPECT_FALSE(look.shown) << look.text;
    ClickRowBox(list, b);
    back = GetWideValue(HKEY_CURRENT_USER, kRun, L"B");
    EXPECT_EQ(back.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(back.bytes, BytesOf(L"b.exe"));
}

TEST_F(WideTextTest, AValueWhoseNameHoldsAZeroIsListedAndAToggleChangesNothing) {
    const std::wstring hidden(L"Tool\0Секрет", 11);
    SetWideValue(HKEY_CURRENT_USER, kRun, L"Tool", REG_SZ, BytesOf(L"C:\\visible.exe"));
    SetValueWithCountedName(HKEY_CURRENT_USER, kRun, hidden, REG_EXPAND_SZ, BytesOf(L"C:\\hidden.exe"));
    const auto before = AllValues(HKEY_CURRENT_USER, kRun);
    ASSERT_EQ(before.size(), 2u);
    ShowBig();
    const HWND list = RunList();
    ASSERT_EQ(ListView_GetItemCount(list), 2);
    int row = -1;
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(ItemTextW(list, r, 0), L"Tool") << "the name up to its zero";
        if (ItemTextW(list, r, 1) == L"C:\\hidden.exe")
            row = r;
    }
    ASSERT_GE(row, 0) << "the row shows the value's real data";
    SaveScreenshot("wide-zero-in-name");

    const std::wstring why = L"The name of value 'Tool\\0Секрет' holds a zero character; it cannot be changed.";
    DialogLook look = RunLookingAtErrorDialog([&] { ClickRowBox(list, row); });
    ASSERT_TRUE(look.shown);
    EXPECT_EQ(look.wideText, why) << Printable(look.wideText);
    EXPECT_TRUE(look.stopIcon);
    EXPECT_EQ(AllValues(HKEY_CURRENT_USER, kRun), before) << "every value of the key as it was";
    look = RunLookingAtErrorDialog([&] { ClickRowBox(list, row); });
    ASSERT_TRUE(look.shown);
    EXPECT_EQ(look.wideText, why) << Printable(look.wideText);
    EXPECT_EQ(AllValues(HKEY_CURRENT_USER, kRun), before) << "every value of the key as it was";
}

TEST_F(WideTextTest, WinIniProgramsInManyScriptsStayExactWhenAnotherIsToggled) {
    const std::wstring winIni = WideOf(folder.File("WIN.INI"));
    const std::wstring value = L"C:\\工具\\a.exe;plain.exe; C:\\Программы\\b.exe ;c.exe /q;\U0001F600.exe";
    ASSERT_TRUE(WritePrivateProfileStringW(L"Windows", L"Load", value.c_str(), winIni.c_str()));
    ASSERT_EQ(ProfileEntryW(winIni, L"Load"), value);
    ShowBig();
    CheckListBox& list = form->CheckListBoxN(3);
    ASSERT_EQ(list.Count(), 5);
    EXPECT_EQ(WindowTextW(form->GroupBoxN(3).Handle()), winIni + L", [Windows], Load=");
    EXPECT_EQ(ListBoxLineW(list.Handle(), 0), L"C:\\工具\\a.exe");
    EXPECT_EQ(ListBoxLineW(list.Handle(), 2), L"C:\\Программы\\b.exe");
    EXPECT_EQ(ListBoxLineW(list.Handle(), 4), L"\U0001F600.exe");
    SaveScreenshot("wide-win-ini");

    const POINT box = PointOnLine(list, 1, 6);
    ClickAt(list.Handle(), box.x, box.y);
    EXPECT_FALSE(list.Checked(1));
    EXPECT_EQ(ProfileEntryW(winIni, L"Load"), L"C:\\工具\\a.exe;C:\\Программы\\b.exe;c.exe /q;\U0001F600.exe");
    PauseBetweenClicks();
    ClickAt(list.Handle(), box.x, box.y);
    EXPECT_TRUE(list.Checked(1));
    EXPECT_EQ(ProfileEntryW(winIni, L"Load"),
              L"C:\\工具\\a.exe;plain.exe;C:\\Программы\\b.exe;c.exe /q;\U0001F600.exe");
}

TEST_F(WideTextTest, AStartupFolderNamedInCyrillicIsListedExactlyAndItsFileDeleted) {
    const std::wstring startup = WideOf(folder.Path()) + L"Автозагрузка";
    ASSERT_TRUE(CreateDirectoryW(startup.c_str(), nullptr));
    const std::wstring file = startup + L"\\Программа.bat";
    {
        HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        ASSERT_NE(handle, INVALID_HANDLE_VALUE);
        CloseHandle(handle);
    }
    SetWideValue(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", L"Startup",
                 REG_SZ, BytesOf(startup));
    ShowBig();
    const HWND list = form->ListViewN(1).Handle();
    EXPECT_EQ(WindowTextW(form->GroupBoxN(5).Handle()), startup);
    ASSERT_EQ(ListView_GetItemCount(list), 1);
    EXPECT_EQ(ItemTextW(list, 0, 1), file);
    EXPECT_EQ(ItemTextW(list, 0, 0).find(L"Программа"), 0u) << Printable(ItemTextW(list, 0, 0));
    SaveScreenshot("wide-startup-folder");
    ClickRowBox(list, 0);
    EXPECT_EQ(GetFileAttributesW(file.c_str()), INVALID_FILE_ATTRIBUTES) << "the file is deleted";
    EXPECT_TRUE(WaitUntil([&] { return ListView_GetItemCount(list) == 0; }, 3000));
    RemoveDirectoryW(startup.c_str());
}
} // namespace
