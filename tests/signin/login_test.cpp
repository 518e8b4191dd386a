// The sign-in window driven as a person would, against the real database.
#include "exam/frmMode.h"
#include "signin/frmLogin.h"
#include "startup/module1.h"
#include "support/fixture.h"

#include <QMenuBar>
#include <QTest>

using namespace plat;

namespace {

class LoginTest : public pemu_test::ProgramTest {
protected:
    void addUser(const std::string& uname, const std::string& name) {
        gcnExam->Execute("INSERT into User (Uname,Name,Email,Phone) values(?,?,?,'NA')", {uname, name, "NA"});
    }
    void signInAs(const QString& text) {
        frmLogin.Show();
        frmLogin.cboUname()->setEditText(text);
        Click(frmLogin.cmdEnter());
    }
    void adminSignIn(const QString& u, const QString& p) {
        frmLogin.Show();
        Click(frmLogin.optSUser());
        frmLogin.txtUname()->setText(u);
        frmLogin.txtPwd()->setText(p);
        Click(frmLogin.cmdEnter());
    }
    QWidget* focused() { return frmLogin.Window()->focusWidget(); }
};

}  // namespace

TEST_F(LoginTest, OpensWithCaptionsUserLayoutAndTheRegisteredNames) {
    addUser("zed", "Zed Zee");
    addUser("amy", "Amy Ames");
    frmLogin.Show();
    EXPECT_EQ(frmLogin.Caption(), "LOGIN");
    EXPECT_EQ(frmLogin.lblLogin()->text(), "LOGIN ");
    EXPECT_EQ(frmLogin.optUser()->text(), " &USER");
    EXPECT_EQ(frmLogin.optSUser()->text(), " &ADMIN");
    EXPECT_EQ(frmLogin.cmdEnter()->text(), " &ENTER");
    EXPECT_EQ(frmLogin.cmdNewUser()->text(), "&New User Sign Up");
    EXPECT_EQ(frmLogin.cmdAdmin()->text(), "&Change Password");
    EXPECT_EQ(frmLogin.cmdExit()->text(), "E&xit");
    EXPECT_EQ(frmLogin.lblSelect()->text(), "Select a UserName");
    EXPECT_TRUE(frmLogin.optUser()->Value());
    EXPECT_TRUE(frmLogin.cboUname()->isVisible());
    EXPECT_FALSE(frmLogin.txtUname()->isVisible());
    EXPECT_FALSE(frmLogin.txtPwd()->isVisible());
    EXPECT_FALSE(frmLogin.cmdAdmin()->isVisible());
    EXPECT_TRUE(frmLogin.cmdNewUser()->isVisible());
    EXPECT_EQ(frmLogin.txtPwd()->echoMode(), QLineEdit::Password);
    EXPECT_TRUE(frmLogin.txtGuide()->isReadOnly());
    EXPECT_TRUE(frmLogin.txtGuide()->toPlainText().contains("norvi"));
    EXPECT_TRUE(frmLogin.txtGuide()->toPlainText().contains("kelm"));

    EXPECT_EQ(frmLogin.cboUname()->currentText(), "Default User");
    ASSERT_EQ(frmLogin.cboUname()->count(), 2);
    EXPECT_EQ(frmLogin.cboUname()->itemText(0), "zed");
    EXPECT_EQ(frmLogin.cboUname()->itemText(1), "amy");
}

TEST_F(LoginTest, MenuStripOfTheSignInWindow) {
    frmLogin.Show();
    MenuStrip& m = frmLogin.Menu();
    EXPECT_EQ(m.file->objectName(), "mnuFile");
    EXPECT_EQ(m.options->objectName(), "mnuoptions");
    EXPECT_EQ(m.help->objectName(), "mnuhelp");
    EXPECT_EQ(m.txtSize->objectName(), "mnusize");
    EXPECT_EQ(m.print->objectName(), "mnuprint");
    EXPECT_EQ(m.exit->objectName(), "mnuExit");
    EXPECT_EQ(m.esim->title(), AppTitle());
    EXPECT_FALSE(MenuEnabled(m.esim));
    EXPECT_FALSE(m.savRes->isEnabled());
    EXPECT_TRUE(m.user->isEnabled());
    EXPECT_TRUE(m.adminConfig->isEnabled());
    EXPECT_FALSE(MenuEnabled(m.txtSize));
    EXPECT_FALSE(m.print->isEnabled());
    EXPECT_TRUE(m.user->isChecked());
    EXPECT_FALSE(m.adminConfig->isChecked());
    // The cert-mode submenus sit one level lower here, inside "&Cert Mode".
    ASSERT_NE(m.cm, nullptr);
    EXPECT_TRUE(m.cm->actions().contains(m.cmLin->menuAction()));
    EXPECT_TRUE(m.cm->actions().contains(m.cmAdap->menuAction()));
    EXPECT_FALSE(m.esim->actions().contains(m.cmLin->menuAction()));
    EXPECT_EQ(m.incFont->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
    EXPECT_EQ(m.decFont->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
}

TEST_F(LoginTest, MenusSwitchTheLayoutLikeTheOptions) {
    frmLogin.Show();
    frmLogin.Menu().adminConfig->trigger();
    EXPECT_TRUE(frmLogin.optSUser()->Value());
    EXPECT_TRUE(frmLogin.txtUname()->isVisible());
    EXPECT_TRUE(frmLogin.txtPwd()->isVisible());
    EXPECT_TRUE(frmLogin.cmdAdmin()->isVisible());
    EXPECT_TRUE(frmLogin.cmdNewUser()->isVisible());
    EXPECT_FALSE(frmLogin.cboUname()->isVisible());
    EXPECT_TRUE(frmLogin.Menu().adminConfig->isChecked());
    EXPECT_FALSE(frmLogin.Menu().user->isChecked());
    EXPECT_EQ(focused(), frmLogin.txtUname());

    frmLogin.Menu().user->trigger();
    EXPECT_TRUE(frmLogin.optUser()->Value());
    EXPECT_TRUE(frmLogin.cboUname()->isVisible());
    EXPECT_FALSE(frmLogin.txtUname()->isVisible());
    EXPECT_FALSE(frmLogin.cmdAdmin()->isVisible());
    EXPECT_TRUE(frmLogin.Menu().user->isChecked());
    EXPECT_FALSE(frmLogin.Menu().adminConfig->isChecked());

    // Clicking the option does the same, ticks included.
    Click(frmLogin.optSUser());
    EXPECT_TRUE(frmLogin.Menu().adminConfig->isChecked());
    Click(frmLogin.optUser());
    EXPECT_TRUE(frmLogin.Menu().user->isChecked());
}

TEST_F(LoginTest, CandidateSignsInAndHandsOverToTheModeWindow) {
    addUser("Alice", "Alice Smith");
    gblnFromResults = true;
    gblnAdminMode = true;
    signInAs("alice");
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(gstrUserName, "alice") << "the name is kept as typed";
    EXPECT_EQ(gstrCandName, "Alice Smith");
    EXPECT_FALSE(gblnFromResults);
    EXPECT_FALSE(gblnAdminMode);
    EXPECT_TRUE(frmMode.Visible());
    EXPECT_FALSE(frmLogin.IsLoaded());
    EXPECT_FALSE(frmMode.optConfig()->isVisible());
}

TEST_F(LoginTest, RefusesDefaultSelectEmptyAndUnknownNames) {
    addUser("bob", "Bob");
    frmLogin.Show();
    Click(frmLogin.cmdEnter());  // "Default User" is nobody here
    EXPECT_EQ(lastBox().text, "Invalid UserName, Please Sign up if you are a New User");
    EXPECT_EQ(lastBox().title, "User Name");
    EXPECT_EQ(lastBox().icon(), vbInformation);
    EXPECT_EQ(focused(), frmLogin.cboUname());
    EXPECT_TRUE(frmLogin.IsLoaded());
    EXPECT_FALSE(frmMode.IsLoaded());

    for (QString text : {"[SELECT]", ""}) {
        frmLogin.cboUname()->setEditText(text);
        Click(frmLogin.cmdEnter());
        EXPECT_EQ(lastBox().text, "Select the User Name");
        EXPECT_EQ(lastBox().title, "User Name");
    }
    // Quotes in a typed name are data, not SQL.
    frmLogin.cboUname()->setEditText("x' OR '1'='1");
    Click(frmLogin.cmdEnter());
    EXPECT_EQ(lastBox().text, "Invalid UserName, Please Sign up if you are a New User");
    EXPECT_TRUE(gstrUserName.isEmpty());
}

TEST_F(LoginTest, DefaultUserSignsInWhenSuchAUserExists) {
    addUser("Default User", "Dee Fault");
    frmLogin.Show();
    Click(frmLogin.cmdEnter());
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(gstrCandName, "Dee Fault");
}

TEST_F(LoginTest, NameWithAnApostropheSignsIn) {
    addUser("O'Brien", "Pat O'Brien");
    signInAs("O'Brien");
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(gstrCandName, "Pat O'Brien");
}

TEST_F(LoginTest, AdministratorChecksInOrder) {
    frmLogin.Show();
    Click(frmLogin.optSUser());
    Click(frmLogin.cmdEnter());
    EXPECT_EQ(lastBox().text, "Enter the User Name");
    EXPECT_EQ(lastBox().title, "User Name");
    EXPECT_EQ(focused(), frmLogin.txtUname());

    frmLogin.txtUname()->setText("norvi");
    Click(frmLogin.cmdEnter());
    EXPECT_EQ(lastBox().text, "Enter the Password");
    EXPECT_EQ(lastBox().title, "Password");
    EXPECT_EQ(focused(), frmLogin.txtPwd());

    frmLogin.txtPwd()->setText("wrong");
    Click(frmLogin.cmdEnter());
    EXPECT_EQ(lastBox().text, "Invalid User");
    EXPECT_EQ(lastBox().title, "User Name");
    EXPECT_EQ(lastBox().icon(), vbInformation);
    EXPECT_TRUE(frmLogin.txtUname()->text().isEmpty());
    EXPECT_TRUE(frmLogin.txtPwd()->text().isEmpty());
    EXPECT_EQ(focused(), frmLogin.txtUname());

    frmLogin.txtUname()->setText("norvi");
    frmLogin.txtPwd()->setText("' OR ''='");
    Click(frmLogin.cmdEnter());
    EXPECT_EQ(lastBox().text, "Invalid User");
    EXPECT_FALSE(frmMode.IsLoaded());
}

TEST_F(LoginTest, EnterInABoxPressesEnter) {
    frmLogin.Show();
    Click(frmLogin.optSUser());
    frmLogin.txtUname()->setText("norvi");
    frmLogin.txtPwd()->setText("kelm");
    QTest::keyClick(frmLogin.txtPwd(), Qt::Key_Return);
    EXPECT_TRUE(frmMode.Visible());
}

TEST_F(LoginTest, AdministratorSignsInAndTheWindowStays) {
    adminSignIn("NORVI", "Kelm");
    EXPECT_EQ(boxes.size(), 0u);
    EXPECT_EQ(gstrCandName, "Norvi");
    EXPECT_EQ(gstrUserName, "NORVI") << "kept as typed";
    EXPECT_TRUE(frmMode.Visible());
    EXPECT_TRUE(frmMode.optConfig()->isVisibleTo(frmMode.Window()));
    EXPECT_TRUE(frmLogin.IsLoaded());
    EXPECT_TRUE(frmLogin.Visible());
    // Back on the sign-in window, the boxes still hold what was typed.
    EXPECT_EQ(frmLogin.txtUname()->text(), "NORVI");
    EXPECT_EQ(frmLogin.txtPwd()->text(), "Kelm");
    EXPECT_TRUE(frmLogin.txtUname()->isVisible());
}

TEST_F(LoginTest, ExitAsksFirstAndTheMenuDoesNot) {
    frmLogin.Show();
    answers.push_back(vbNo);
    Click(frmLogin.cmdExit());
    EXPECT_EQ(lastBox().text, "Do you want to exit?");
    EXPECT_EQ(lastBox().title, "Exit");
    EXPECT_EQ(lastBox().buttons(), vbYesNo);
    EXPECT_EQ(lastBox().icon(), 0);
    EXPECT_TRUE(frmLogin.IsLoaded());

    Click(frmLogin.cmdExit());  // Yes
    EXPECT_FALSE(frmLogin.IsLoaded());
    Settle();
    EXPECT_EQ(endRequests, std::vector<int>{0});

    // The menu's Exit, in a program started afresh.
    ResetEndingForTesting();
    frmLogin.Show();
    const size_t shown = boxes.size();
    frmLogin.Menu().exit->trigger();
    EXPECT_FALSE(frmLogin.IsLoaded());
    EXPECT_EQ(boxes.size(), shown);
}

TEST_F(LoginTest, HelpItemsOpenTheSameHelpPage) {
    frmLogin.Show();
    frmLogin.Menu().cont->trigger();
    frmLogin.Menu().disc->trigger();
    frmLogin.Menu().about->trigger();
    ASSERT_EQ(helpOpened.size(), 3u);
    EXPECT_EQ(helpOpened[0], folder() / "help" / "Tavolin.html");
    EXPECT_EQ(helpOpened[1], helpOpened[0]);
    EXPECT_EQ(helpOpened[2], helpOpened[0]);
}

// Typed control characters (a pasted NUL, a tab) never reach the lookup: a NUL
// once made "x\0mallo" match the account "x\0alice".
TEST_F(LoginTest, NamesAndPasswordsWithControlCharactersAreRefused) {
    addUser(std::string("x\0alice", 7), "Alice");
    signInAs(QString::fromUtf8("x\0mallo", 7));
    EXPECT_EQ(lastBox().text,
              "The User Name cannot contain control characters such as tabs or line breaks.");
    EXPECT_EQ(lastBox().title, "User Name");
    EXPECT_FALSE(frmMode.IsLoaded());

    adminSignIn("norvi", "kelm\t");
    EXPECT_EQ(lastBox().text, "The Password cannot contain control characters such as tabs or line breaks.");
    EXPECT_EQ(lastBox().title, "Password");
    EXPECT_EQ(focused(), frmLogin.txtPwd());
    EXPECT_FALSE(frmMode.IsLoaded());
}

TEST_F(LoginTest, ThePasswordShowsAsStars) {
    frmLogin.Show();
    Click(frmLogin.optSUser());
    frmLogin.txtPwd()->setText("kelm");
    EXPECT_EQ(frmLogin.txtPwd()->displayText(), "****");
}

// Only the administrator's sign-in offers the exam configuration: a candidate
// who signed up with the administrator's names gets the candidate's window.
TEST_F(LoginTest, OnlyTheAdministratorsSignInOffersTheConfiguration) {
    addUser("norvi", "Norvi");
    signInAs("norvi");
    ASSERT_TRUE(frmMode.Visible());
    EXPECT_EQ(gstrCandName, "Norvi");
    EXPECT_FALSE(gblnAdminSignedIn);
    EXPECT_FALSE(frmMode.optConfig()->isVisible());
    frmMode.Unload();
    adminSignIn("norvi", "kelm");
    EXPECT_TRUE(gblnAdminSignedIn);
    EXPECT_TRUE(frmMode.optConfig()->isVisible());

    // The sign-in window stays up under the administrator's mode window; a
    // candidate who signs in there gets no configuration, chosen or offered.
    Click(frmMode.optConfig());
    Click(frmLogin.optUser());
    signInAs("norvi");
    ASSERT_TRUE(frmMode.Visible());
    EXPECT_FALSE(gblnAdminSignedIn);
    EXPECT_FALSE(frmMode.optConfig()->isVisible());
    EXPECT_FALSE(frmMode.optConfig()->Value());
}
