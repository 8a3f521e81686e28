// The boot batch file sections on real files of the Wine drive.
#include "TestSupport.h"

#include "sources/BootFile.h"
#include "ui/Dawnroll.h"

#include <gtest/gtest.h>

namespace {
class BootFileTest : public testing::Test {
  protected:
    void SetUp() override {
        SourceLocators locators;
        locators.configSys = folder.File("CONFIG.SYS");
        locators.autoexecBat = folder.File("AUTOEXEC.BAT");
        locators.windowsFolder = [this] { return folder.Path(); };
        form = std::make_unique<TFormDawnroll>(locators);
    }
    void TearDown() override {
        form.reset();
        PumpMessages();
    }
    void Load(const std::string& bytes) {
        WriteBytes(folder.File("CONFIG.SYS"), bytes);
        if (!form->Handle())
            form->Create();
        else
            LoadBootFile(form->GroupBoxN(1), form->CheckListBoxN(1), folder.File("CONFIG.SYS"));
    }
    CheckListBox& List() { return form->CheckListBoxN(1); }

    RegistrySandbox registry;
    ScratchFolder folder;
    std::unique_ptr<TFormDawnroll> form;
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
    BootFileClickCheck(List());
    EXPECT_EQ(ReadBytes(folder.File("CONFIG.SYS")), "REM DEVICE=a.sys\r\nrem DEVICE=b.sys\r\nREMARK\r\nREM\r\n");
    List().SetChecked(1, true);
    BootFileClickCheck(List());
    EXPECT_EQ(ReadBytes(folder.File("CONFIG.SYS")), "REM DEVICE=a.sys\r\nDEVICE=b.sys\r\nREMARK\r\nREM\r\n");
    EXPECT_EQ(List().Line(1), "DEVICE=b.sys");
}
} // namespace
