// The check lists of the boot file sections under real mouse and keyboard input: what changes a
// line's mark, and that each change is written to the file at once.
#include "AccessibleReading.h"
#include "FormDriving.h"

#include <gtest/gtest.h>

namespace {
class CheckListInputTest : public FormTest {
  protected:
    CheckListBox& Config() { return form->CheckListBoxN(1); }
    CheckListBox& Autoexec() { return form->CheckListBoxN(2); }

    void ClickLine(CheckListBox& list, int index, int x) {
        const POINT point = PointOnLine(list, index, x);
        ClickAt(list.Handle(), point.x, point.y);
    }
    void DoubleClickLine(CheckListBox& list, int index, int x) {
        const POINT point = PointOnLine(list, index, x);
        DoubleClickAt(list.Handle(), point.x, point.y);
    }
};

TEST_F(CheckListInputTest, ClickOnCheckBoxChangesMarkAndRewritesFile) {
    WriteBytes(ConfigSys(), Lines({"DEVICE=a.sys", "rem DEVICE=b.sys", "FILES=30"}));
    WriteBytes(AutoexecBat(), Lines({"@ECHO OFF"}));
    CreateAndShow();
    ASSERT_EQ(Config().Count(), 3);
    ASSERT_TRUE(Config().Checked(0));
    ASSERT_FALSE(Config().Checked(1));

    ClickLine(Config(), 0, 7);
    EXPECT_FALSE(Config().Checked(0));
    EXPECT_EQ(ReadBytes(ConfigSys()), Lines({"REM DEVICE=a.sys", "rem DEVICE=b.sys", "FILES=30"}));
    EXPECT_EQ(Config().Line(0), "REM DEVICE=a.sys");

    // Both edges of the check box area count (SendInput may land a pixel to the left).
    ClickLine(Config(), 1, 1);
    EXPECT_TRUE(Config().Checked(1));
    EXPECT_EQ(ReadBytes(ConfigSys()), Lines({"REM DEVICE=a.sys", "DEVICE=b.sys", "FILES=30"}));
    ClickLine(Config(), 2, 13);
    EXPECT_FALSE(Config().Checked(2));
    EXPECT_EQ(ReadBytes(ConfigSys()), Lines({"REM DEVICE=a.sys", "DEVICE=b.sys", "REM FILES=30"}));

    ClickLine(Config(), 0, 7);
    EXPECT_TRUE(Config().Checked(0));
    EXPECT_EQ(ReadBytes(ConfigSys()), Lines({"DEVICE=a.sys", "DEVICE=b.sys", "REM FILES=30"}));

    // The second section writes its own file and leaves the first alone.
    ClickLine(Autoexec(), 0, 7);
    EXPECT_FALSE(Autoexec().Checked(0));
    EXPECT_EQ(ReadBytes(AutoexecBat()), Lines({"REM @ECHO OFF"}));
    EXPECT_EQ(ReadBytes(ConfigSys()), Lines({"DEVICE=a.sys", "DEVICE=b.sys", "REM FILES=30"}));
    SaveScreenshot("checklist-after-clicks");
}

TEST_F(CheckListInputTest, ClickOnTextSelectsLineWithoutChangingIt) {
    const std::string text = Lines({"DEVICE=a.sys", "rem DEVICE=b.sys"});
    WriteBytes(ConfigSys(), text);
    CreateAndShow();
    AgeFile(ConfigSys());
    const auto written = LastWriteTime(ConfigSys());

    for (const int x : {17, 40, 120}) {
        SCOPED_TRACE(x);
        ClickLine(Config(), 1, x);
        EXPECT_FALSE(Config().Checked(1));
        EXPECT_EQ(SendMessageA(Config().Handle(), LB_GETCURSEL, 0, 0), 1) << "the click selects the line";
        ClickLine(Config(), 0, x);
        EXPECT_TRUE(Config().Checked(0));
        EXPECT_EQ(SendMessageA(Config().Handle(), LB_GETCURSEL, 0, 0), 0);
    }
    DoubleClickLine(Config(), 1, 60);
    EXPECT_FALSE(Config().Checked(1));
    EXPECT_EQ(ReadBytes(ConfigSys()), text);
    EXPECT_EQ(LastWriteTime(ConfigSys()), written) << "the file was not written";

    // Below the last line there is nothing to change.
    RECT client = {};
    GetClientRect(Config().Handle(), &client);
    const POINT last = PointOnLine(Config(), 1, 7);
    if (last.y + 13 < client.bottom) {
        ClickAt(Config().Handle(), 7, last.y + 13);
        EXPECT_EQ(LastWriteTime(ConfigSys()), written);
    }
}

TEST_F(CheckListInputTest, DoubleClickOnCheckBoxRewritesTwice) {
    WriteBytes(ConfigSys(), Lines({"DEVICE=a.sys", "rem DEVICE=b.sys"}));
    CreateAndShow();

    // Checked, then unchecked again: the lower-case marker comes back as "REM ", which only
    // a second rewrite can produce.
    DoubleClickLine(Config(), 1, 7);
    EXPECT_FALSE(Config().Checked(1));
    EXPECT_EQ(ReadBytes(ConfigSys()), Lines({"DEVICE=a.sys", "REM DEVICE=b.sys"}));
    EXPECT_EQ(Config().Line(1), "REM DEVICE=b.sys");

    // Unchecked and checked again: the text is as before, but the file was written.
    AgeFile(ConfigSys());
    const auto aged = LastWriteTime(ConfigSys());
    DoubleClickLine(Config(), 0, 7);
    EXPECT_TRUE(Config().Checked(0));
    EXPECT_EQ(ReadBytes(ConfigSys()), Lines({"DEVICE=a.sys", "REM DEVICE=b.sys"}));
    EXPECT_NE(LastWriteTime(ConfigSys()), aged);
}

TEST_F(CheckListInputTest, SpaceBarTogglesTheCurrentLine) {
    WriteBytes(ConfigSys(), Lines({"DEVICE=a.sys", "rem DEVICE=b.sys", "FILES=30"}));
    CreateAndShow();
    ClickLine(Config(), 2, 60);
    ASSERT_TRUE(Config().Checked(2));

    PressKey(Config().Handle(), VK_SPACE);
    EXPECT_FALSE(Config().Checked(2));
    EXPECT_EQ(ReadBytes(ConfigSys()), Lines({"DEVICE=a.sys", "rem DEVICE=b.sys", "REM FILES=30"}));
    EXPECT_EQ(SendMessageA(Config().Handle(), LB_GETCURSEL, 0, 0), 2) << "space does not move the selection";

    PressKey(Config().Handle(), VK_UP);
    PressKey(Config().Handle(), VK_SPACE);
    EXPECT_TRUE(Config().Checked(1));
    EXPECT_EQ(ReadBytes(ConfigSys()), Lines({"DEVICE=a.sys", "DEVICE=b.sys", "REM FILES=30"}));

    PressKey(Config().Handle(), VK_DOWN);
    PressKey(Config().Handle(), VK_SPACE);
    EXPECT_TRUE(Config().Checked(2));
    EXPECT_EQ(ReadBytes(ConfigSys()), Lines({"DEVICE=a.sys", "DEVICE=b.sys", "FILES=30"}));

    // Other keys change no mark.
    AgeFile(ConfigSys());
    const auto aged = LastWriteTime(ConfigSys());
    PressKey(Config().Handle(), 'R');
    PressKey(Config().Handle(), VK_RETURN);
    EXPECT_EQ(LastWriteTime(ConfigSys()), aged);
    EXPECT_TRUE(Config().Checked(0));
    EXPECT_TRUE(Config().Checked(1));
    EXPECT_TRUE(Config().Checked(2));
}

TEST_F(CheckListInputTest, MarksSetByTheProgramCallNothing) {
    const std::string text = Lines({"DEVICE=a.sys", "rem DEVICE=b.sys"});
    WriteBytes(ConfigSys(), text);
    AgeFile(ConfigSys());
    const auto aged = LastWriteTime(ConfigSys());
    CreateAndShow();
    EXPECT_EQ(LastWriteTime(ConfigSys()), aged) << "loading writes nothing";

    Config().SetChecked(0, false);
    Config().SetChecked(1, true);
    PumpMessages();
    EXPECT_FALSE(Config().Checked(0));
    EXPECT_TRUE(Config().Checked(1));
    EXPECT_EQ(ReadBytes(ConfigSys()), text);
    EXPECT_EQ(LastWriteTime(ConfigSys()), aged);

    // A reload sets the marks from the file again, and writes nothing either.
    PressKeys(Window(), {VK_MENU, VK_DOWN, VK_RETURN});
    EXPECT_TRUE(Config().Checked(0));
    EXPECT_FALSE(Config().Checked(1));
    EXPECT_EQ(LastWriteTime(ConfigSys()), aged);
}

// A screen reader's object of a check list lives no longer than the list: once the window is
// gone every call answers that the object is not connected, and the reader's last reference frees
// it. A default action asked for just before a refresh is not done on the line there after it.
TEST_F(CheckListInputTest, AScreenReadersObjectAnswersThatTheListIsGone) {
    const std::string text = Lines({"DEVICE=a.sys", "FILES=30"});
    WriteBytes(ConfigSys(), text);
    CreateAndShow();
    const ComApartment com;
    ComPtr<IAccessible> list = AccessibleOfWindow(Config().Handle());
    ASSERT_TRUE(list);
    long count = 0;
    ASSERT_EQ(list->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 2);

    ASSERT_EQ(list->accDoDefaultAction(ChildId(1)), S_OK);
    form->RefreshAll();
    PumpMessages();
    EXPECT_TRUE(Config().Checked(0));
    EXPECT_EQ(ReadBytes(ConfigSys()), text);
    ASSERT_EQ(list->accDoDefaultAction(ChildId(1)), S_OK);
    PumpMessages();
    EXPECT_FALSE(Config().Checked(0));
    EXPECT_EQ(ReadBytes(ConfigSys()), Lines({"REM DEVICE=a.sys", "FILES=30"}));

    form.reset();
    EXPECT_EQ(list->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
    BSTR name = nullptr;
    EXPECT_EQ(list->get_accName(ChildId(1), &name), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(name, nullptr);
    VARIANT state;
    EXPECT_EQ(list->get_accState(ChildId(CHILDID_SELF), &state), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(list->accDoDefaultAction(ChildId(1)), CO_E_OBJNOTCONNECTED);
    EXPECT_EQ(list.Detach()->Release(), 0u) << "references to the object are left";
}
} // namespace
