// The sign-up window, opened modal from the sign-in window as a candidate would.
#include "platform/convert.h"
#include "signin/frmLogin.h"
#include "signin/frmSignUp.h"
#include "startup/module1.h"
#include "support/fixture.h"

using namespace plat;

namespace {

class SignUpTest : public pemu_test::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        frmLogin.Show();
    }
    // Opens the window from the sign-in window and runs `inside` while it is up.
    ::testing::AssertionResult withSignUp(const std::function<void()>& inside) {
        return WhileModal(frmSignUp, [] { Click(frmLogin.cmdNewUser()); }, inside);
    }
    void fill(const QString& uname, const QString& name, const QString& email, const QString& phone) {
        frmSignUp.txtUserName()->setText(uname);
        frmSignUp.txtName()->setText(name);
        frmSignUp.txtEmail()->setText(email);
        frmSignUp.txtPhone()->setText(phone);
    }
    plat::Recordset user(const std::string& uname) {
        return gcnExam->OpenRecordset("SELECT Uname, Name, Email, Phone FROM User where Uname = ?", {uname});
    }
    QWidget* focused() { return frmSignUp.Window()->focusWidget(); }
    // The next control that the Tab key reaches.
    static QWidget* nextTab(QWidget* w) {
        do w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
        return w;
    }
};

}  // namespace

TEST_F(SignUpTest, CaptionsAndLayout) {
    ASSERT_TRUE(withSignUp([&] {
        EXPECT_EQ(frmSignUp.Caption(), "User Sign Up");
        EXPECT_EQ(frmSignUp.fraSignUp()->title(), "Sign Up");
        EXPECT_EQ(frmSignUp.lblUserName()->text(), "Enter a User Name");
        EXPECT_EQ(frmSignUp.lblName()->text(), "Candidate Name");
        EXPECT_EQ(frmSignUp.lblQuali()->text(), "E-Mail Address");
        EXPECT_EQ(frmSignUp.lblAddr()->text(), "Phone Number");
        EXPECT_EQ(frmSignUp.Label3()->text(), "*   Mandatory Fields");
        EXPECT_EQ(frmSignUp.cmdSubmit()->text(), "&Submit");
        EXPECT_EQ(frmSignUp.CmdCancel()->text(), "&Close");
        EXPECT_TRUE(frmSignUp.txtUserName()->text().isEmpty());
        EXPECT_EQ(nextTab(frmSignUp.txtUserName()), frmSignUp.txtName());
        EXPECT_EQ(nextTab(frmSignUp.txtName()), frmSignUp.txtEmail());
        EXPECT_EQ(nextTab(frmSignUp.txtEmail()), frmSignUp.txtPhone());
    }));
}

TEST_F(SignUpTest, MandatoryFieldsAreCheckedNameFirst) {
    ASSERT_TRUE(withSignUp([&] {
        Click(frmSignUp.cmdSubmit());
        EXPECT_EQ(lastBox().text, "Please Enter the Name");
        EXPECT_EQ(lastBox().title, "Name");
        EXPECT_EQ(lastBox().icon(), vbInformation);
        EXPECT_EQ(focused(), frmSignUp.txtName());

        frmSignUp.txtName()->setText("Carol King");
        Click(frmSignUp.cmdSubmit());
        EXPECT_EQ(lastBox().text, "Please Enter the User Name ");
        EXPECT_EQ(lastBox().title, "User Name");
        EXPECT_EQ(focused(), frmSignUp.txtUserName());
    }));
    EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM User").toInt(), 0);
}

TEST_F(SignUpTest, OptionalFieldsAreStoredAsNAAndBoxesEmptied) {
    ASSERT_TRUE(withSignUp([&] {
        fill("carol", "Carol King", "", "");
        Click(frmSignUp.cmdSubmit());
        EXPECT_EQ(lastBox().text, "UserName carol has been Added");
        EXPECT_EQ(lastBox().title, "User Name Added");
        EXPECT_EQ(lastBox().icon(), vbInformation);
        for (QLineEdit* b : {frmSignUp.txtUserName(), frmSignUp.txtName(), frmSignUp.txtEmail(), frmSignUp.txtPhone()})
            EXPECT_TRUE(b->text().isEmpty()) << b->objectName().toStdString();
        EXPECT_TRUE(frmSignUp.Visible()) << "the window stays open for the next candidate";

        fill("dave", "Dave Doe", "dave@example.org", "0123456789");
        Click(frmSignUp.cmdSubmit());
        EXPECT_EQ(lastBox().text, "UserName dave has been Added");
    }));
    auto c = user("carol");
    ASSERT_FALSE(c.Eof());
    EXPECT_EQ(c.Fields("Name").toString(), "Carol King");
    EXPECT_EQ(c.Fields("Email").toString(), "NA");
    EXPECT_EQ(c.Fields("Phone").toString(), "NA");
    auto d = user("dave");
    ASSERT_FALSE(d.Eof());
    EXPECT_EQ(d.Fields("Email").toString(), "dave@example.org");
    EXPECT_EQ(d.Fields("Phone").toString(), "0123456789") << "leading zero kept";
}

TEST_F(SignUpTest, PhoneMustReadAsANumber) {
    ASSERT_TRUE(withSignUp([&] {
        fill("erin", "Erin", "", "12 34");
        Click(frmSignUp.cmdSubmit());
        EXPECT_EQ(lastBox().text, "Enter a Numeric Value");
        EXPECT_EQ(lastBox().title, "Phone");
        EXPECT_TRUE(frmSignUp.txtPhone()->text().isEmpty());
        EXPECT_EQ(focused(), frmSignUp.txtPhone());
        EXPECT_EQ(frmSignUp.txtUserName()->text(), "erin");
    }));
    EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM User").toInt(), 0);
    EXPECT_TRUE(plat::IsNumeric("0123"));
    EXPECT_TRUE(plat::IsNumeric(" +44 "));
    EXPECT_TRUE(plat::IsNumeric("1.5e3"));
    EXPECT_FALSE(plat::IsNumeric("12a"));
    EXPECT_FALSE(plat::IsNumeric("12 34"));
    EXPECT_FALSE(plat::IsNumeric("-"));
}

TEST_F(SignUpTest, ExistingNameInAnyCaseIsRefusedKeepingTheOtherBoxes) {
    gcnExam->Execute("INSERT into User (Uname,Name,Email,Phone) values('Frank','Frank F','NA','NA')");
    ASSERT_TRUE(withSignUp([&] {
        fill("FRANK", "Another Frank", "f@example.org", "555");
        Click(frmSignUp.cmdSubmit());
        EXPECT_EQ(lastBox().text, "UserName alreay exists, Please Enter another UserName");
        EXPECT_EQ(lastBox().title, "User Name");
        EXPECT_TRUE(frmSignUp.txtUserName()->text().isEmpty());
        EXPECT_EQ(frmSignUp.txtName()->text(), "Another Frank");
        EXPECT_EQ(frmSignUp.txtEmail()->text(), "f@example.org");
        EXPECT_EQ(frmSignUp.txtPhone()->text(), "555");
    }));
    EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM User").toInt(), 1);
}

TEST_F(SignUpTest, ApostrophesAreStoredAsTyped) {
    ASSERT_TRUE(withSignUp([&] {
        fill("o'neil", "Sam O'Neil", "it's@example.org", "");
        Click(frmSignUp.cmdSubmit());
        EXPECT_EQ(lastBox().text, "UserName o'neil has been Added");
    }));
    auto r = user("o'neil");
    ASSERT_FALSE(r.Eof());
    EXPECT_EQ(r.Fields("Name").toString(), "Sam O'Neil");
}

TEST_F(SignUpTest, CloseListsTheNewNamesOnTheSignInWindow) {
    ASSERT_TRUE(withSignUp([&] {
        fill("gina", "Gina G", "", "");
        Click(frmSignUp.cmdSubmit());
        Click(frmSignUp.CmdCancel());
    }));
    EXPECT_FALSE(frmSignUp.IsLoaded());
    EXPECT_TRUE(frmLogin.Visible());
    EXPECT_EQ(frmLogin.cboUname()->findText("gina"), 0);
    EXPECT_EQ(frmLogin.cboUname()->currentText(), "Default User");
    Settle();
    EXPECT_TRUE(endRequests.empty()) << "reloading the sign-in window must not end the program";
}

TEST_F(SignUpTest, TitleBarCloseKeepsTheOldList) {
    ASSERT_TRUE(withSignUp([&] {
        fill("hank", "Hank H", "", "");
        Click(frmSignUp.cmdSubmit());
        frmSignUp.Window()->close();
    }));
    EXPECT_FALSE(frmSignUp.IsLoaded());
    EXPECT_EQ(frmLogin.cboUname()->findText("hank"), -1);
}

TEST_F(SignUpTest, ControlCharactersInNamesAreRefusedAndNothingIsAdded) {
    ASSERT_TRUE(withSignUp([&] {
        fill(QString::fromUtf8("x\0alice", 7), "Alice", "", "");
        Click(frmSignUp.cmdSubmit());
        EXPECT_EQ(lastBox().text, "The User Name cannot contain control characters such as tabs or line breaks.");
        EXPECT_EQ(frmSignUp.Window()->focusWidget(), frmSignUp.txtUserName());
        fill("alice", "Alice\tSmith", "", "");
        Click(frmSignUp.cmdSubmit());
        EXPECT_EQ(lastBox().text, "The Name cannot contain control characters such as tabs or line breaks.");
        EXPECT_EQ(lastBox().title, "Name");
        EXPECT_EQ(frmSignUp.txtName()->text(), "Alice\tSmith") << "entries are kept for correction";
        // DEL is a control character too, wherever it stands.
        fill(QString("alice") + QChar(127), "Alice", "", "");
        Click(frmSignUp.cmdSubmit());
        EXPECT_EQ(lastBox().text, "The User Name cannot contain control characters such as tabs or line breaks.");
        EXPECT_EQ(lastBox().title, "User Name");
        fill("alice", QChar(127) + QString("Alice"), "", "");
        Click(frmSignUp.cmdSubmit());
        EXPECT_EQ(lastBox().text, "The Name cannot contain control characters such as tabs or line breaks.");
        fill("alice", "Alice", QString("al") + QChar(127) + "@example.com", "");
        Click(frmSignUp.cmdSubmit());
        EXPECT_EQ(lastBox().text,
                  "The E-Mail Address cannot contain control characters such as tabs or line breaks.");
        EXPECT_EQ(lastBox().title, "E-Mail");
    }));
    EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM User").toInt(), 0);
}
