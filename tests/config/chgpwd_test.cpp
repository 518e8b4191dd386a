// The administrator password window, opened from the sign-in window.
#include "config/frmChgPwd.h"
#include "exam/frmMode.h"
#include "signin/frmLogin.h"
#include "startup/module1.h"
#include "support/fixture.h"

using namespace plat;

namespace {

class ChgPwdTest : public pemu_test::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        frmLogin.Show();
        Click(frmLogin.optSUser());
    }
    ::testing::AssertionResult withWindow(const std::function<void()>& inside) {
        return WhileModal(frmChgPwd, [] { Click(frmLogin.cmdAdmin()); }, inside);
    }
    std::string storedPassword() {
        return gcnExam->Scalar("SELECT Pwd FROM AdminLogin where Uname = 'norvi'").toString();
    }
    void setPasswords(const QString& a, const QString& b) {
        frmChgPwd.txtNewPwd()->setText(a);
        frmChgPwd.txtConNewPwd()->setText(b);
    }
    QWidget* focused() { return frmChgPwd.Window()->focusWidget(); }
};

}  // namespace

TEST_F(ChgPwdTest, CaptionsAndFixedLoginName) {
    ASSERT_TRUE(withWindow([&] {
        EXPECT_EQ(frmChgPwd.Caption(), "Norvi Change Password");
        EXPECT_EQ(frmChgPwd.fraChgPwd()->title(), "Change Password");
        EXPECT_EQ(frmChgPwd.lblUname()->text(), "User Name");
        EXPECT_EQ(frmChgPwd.lblNewPwd()->text(), "New Password");
        EXPECT_EQ(frmChgPwd.lblConNewPwd()->text(), "Confirm New Password");
        EXPECT_EQ(frmChgPwd.txtUname()->text(), "norvi");
        EXPECT_FALSE(frmChgPwd.txtUname()->isEnabled());
        EXPECT_EQ(frmChgPwd.txtNewPwd()->echoMode(), QLineEdit::Password);
        EXPECT_EQ(frmChgPwd.txtConNewPwd()->echoMode(), QLineEdit::Password);
        EXPECT_EQ(frmChgPwd.cmdOk()->text(), "&Ok");
        EXPECT_EQ(frmChgPwd.CmdCancel()->text(), "&Close");
        EXPECT_EQ(frmChgPwd.cmdDef()->text(), "Set Default");
        EXPECT_EQ(frmChgPwd.cmdDef()->toolTip(), "Set's Default Username and Password");
        Click(frmChgPwd.CmdCancel());
        EXPECT_FALSE(frmChgPwd.IsLoaded());
    }));
}

TEST_F(ChgPwdTest, RefusalsInOrderWriteNothing) {
    ASSERT_TRUE(withWindow([&] {
        Click(frmChgPwd.cmdOk());
        EXPECT_EQ(lastBox().text, "Enter the New Password");
        EXPECT_EQ(lastBox().title, "Password");
        EXPECT_EQ(focused(), frmChgPwd.txtNewPwd());

        setPasswords("Secret", "");
        Click(frmChgPwd.cmdOk());
        EXPECT_EQ(lastBox().text, "Confirm Password");
        EXPECT_EQ(lastBox().title, "Password Confirmation");
        EXPECT_EQ(focused(), frmChgPwd.txtConNewPwd());

        setPasswords("Secret", "secret");  // differs only in letter case
        Click(frmChgPwd.cmdOk());
        EXPECT_EQ(lastBox().text, "New Password and Confirm Password does not Matches, Please try Again");
        EXPECT_EQ(lastBox().title, "Change Password");
        EXPECT_EQ(lastBox().icon(), vbExclamation);
        EXPECT_EQ(frmChgPwd.txtNewPwd()->text(), "Secret");

        setPasswords(QString::fromUtf8("Sec\0ret", 7), QString::fromUtf8("Sec\0ret", 7));
        Click(frmChgPwd.cmdOk());
        EXPECT_EQ(lastBox().text, "The Password cannot contain control characters such as tabs or line breaks.");
        EXPECT_EQ(focused(), frmChgPwd.txtNewPwd());
        EXPECT_EQ(frmChgPwd.txtNewPwd()->displayText(), "*******") << "passwords show as stars";
    }));
    EXPECT_EQ(storedPassword(), "kelm");
}

TEST_F(ChgPwdTest, ChangedPasswordSignsInNextTime) {
    ASSERT_TRUE(withWindow([&] {
        setPasswords("n3w'pass", "n3w'pass");
        Click(frmChgPwd.cmdOk());
        EXPECT_EQ(lastBox().text, "Password Changed");
        EXPECT_EQ(lastBox().title, "Change Password");
        EXPECT_EQ(lastBox().icon(), vbInformation);
        EXPECT_TRUE(frmChgPwd.txtNewPwd()->text().isEmpty());
        EXPECT_TRUE(frmChgPwd.txtConNewPwd()->text().isEmpty());
        EXPECT_EQ(focused(), frmChgPwd.txtNewPwd());
        EXPECT_TRUE(frmChgPwd.Visible());
    }));
    EXPECT_EQ(storedPassword(), "n3w'pass");

    frmLogin.txtUname()->setText("norvi");
    frmLogin.txtPwd()->setText("kelm");
    Click(frmLogin.cmdEnter());
    EXPECT_EQ(lastBox().text, "Invalid User");
    frmLogin.txtUname()->setText("norvi");
    frmLogin.txtPwd()->setText("n3w'pass");
    Click(frmLogin.cmdEnter());
    EXPECT_TRUE(frmMode.Visible());
}

TEST_F(ChgPwdTest, SetDefaultRestoresKelmEveryTime) {
    gcnExam->Execute("UPDATE AdminLogin SET Pwd = 'other', Uname = 'NORVI'");
    ASSERT_TRUE(withWindow([&] {
        for (int i = 0; i < 2; ++i) {
            Click(frmChgPwd.cmdDef());
            EXPECT_EQ(lastBox().text, "Default Username and Password are set\r\nUserName : norvi\r\nPassword : kelm");
            EXPECT_EQ(lastBox().title, "User Name");
            EXPECT_EQ(lastBox().icon(), vbInformation);
        }
    }));
    EXPECT_EQ(storedPassword(), "kelm");
    EXPECT_EQ(gcnExam->Scalar("SELECT Uname FROM AdminLogin").toString(), "norvi");
}

TEST_F(ChgPwdTest, MissingAccountIsReportedNotClaimedAsSuccess) {
    gcnExam->Execute("DELETE * from AdminLogin");
    ASSERT_TRUE(withWindow([&] {
        setPasswords("x", "x");
        Click(frmChgPwd.cmdOk());
        EXPECT_EQ(lastBox().text, "Invalid UserName or Password");
        EXPECT_EQ(lastBox().title, "Login");

        Click(frmChgPwd.cmdDef());
        EXPECT_FALSE(lastBox().text.startsWith("Default Username and Password are set"));
        EXPECT_EQ(lastBox().icon(), vbExclamation);
        EXPECT_TRUE(lastBox().text.contains("norvi"));
    }));
    EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM AdminLogin").toInt(), 0);
}
