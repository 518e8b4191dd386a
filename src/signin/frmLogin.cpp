#include "frmLogin.h"

#include "exam/frmMode.h"
#include "config/frmChgPwd.h"
#include "platform/runtime.h"
#include "signin/frmSignUp.h"
#include "startup/state.h"

#include <QLineEdit>

using namespace plat;

TfrmLogin frmLogin;

const QString TfrmLogin::kQuickHelp = QStringLiteral(
    "1. A User is a candidate who takes a mock exam, or who learns by creating a test of "
    "his own.\r\n\r\n"
    "2. A new User signs up first with New User Sign Up.\r\n\r\n"
    "3. The Administrator configures the exam parameters and manages the exam results.\r\n\r\n"
    "4. The Administrator's default User Name is norvi and the default Password is kelm.\r\n\r\n"
    "5. The Administrator should change the default Password, so that others cannot tamper "
    "with the exam configuration.");

void TfrmLogin::Build() {
    QWidget* b = Body();
    SetCaption("LOGIN");
    SetClientSize(8160, 5520);

    m_lblLogin = Make<QLabel>(b, "lblLogin", "LOGIN ");
    Place(m_lblLogin, 3240, 120, 1800, 480);
    QFont title("Book Antiqua", 16, QFont::Bold);
    m_lblLogin->setFont(title);

    m_Label1 = Make<QLabel>(b, "Label1", "Quick Help");
    Place(m_Label1, 240, 720, 3600, 300);
    m_txtGuide = Make<QPlainTextEdit>(b, "txtGuide");
    Place(m_txtGuide, 240, 1020, 3600, 4200);
    FixedText(m_txtGuide, kQuickHelp);

    m_optUser = Make<OptionButton>(b, "optUser", " &USER");
    Place(m_optUser, 4200, 720, 1500, 300);
    m_optSUser = Make<OptionButton>(b, "optSUser", " &ADMIN");
    Place(m_optSUser, 5940, 720, 1500, 300);
    m_optUser->SetValue(true);

    m_lblSelect = Make<QLabel>(b, "lblSelect", "Select a UserName");
    Place(m_lblSelect, 4200, 1260, 3600, 300);
    m_cboUname = Make<QComboBox>(b, "cboUname");
    Place(m_cboUname, 4200, 1560, 3600, 360);
    m_cboUname->setEditable(true);
    m_cboUname->setInsertPolicy(QComboBox::NoInsert);
    m_cboUname->setEditText("[SELECT]");

    m_lblUname = Make<QLabel>(b, "lblUname", "Enter the User Name");
    Place(m_lblUname, 4200, 1260, 3600, 300);
    m_txtUname = Make<QLineEdit>(b, "txtUname");
    Place(m_txtUname, 4200, 1560, 3600, 360);
    m_lblPwd = Make<QLabel>(b, "lblPwd", "Enter the Password");
    Place(m_lblPwd, 4200, 2040, 3600, 300);
    m_txtPwd = Make<QLineEdit>(b, "txtPwd");
    Place(m_txtPwd, 4200, 2340, 3600, 360);
    MaskPassword(m_txtPwd);

    m_cmdEnter = Make<QPushButton>(b, "cmdEnter", " &ENTER");
    Place(m_cmdEnter, 4200, 3000, 1740, 420);
    m_cmdExit = Make<QPushButton>(b, "cmdExit", "E&xit");
    Place(m_cmdExit, 6060, 3000, 1740, 420);
    m_cmdNewUser = Make<QPushButton>(b, "cmdNewUser", "&New User Sign Up");
    Place(m_cmdNewUser, 4200, 3600, 3600, 420);
    m_cmdAdmin = Make<QPushButton>(b, "cmdAdmin", "&Change Password");
    Place(m_cmdAdmin, 4200, 4200, 3600, 420);
    m_cmdEnter->setDefault(true);

    BuildMenuStrip(Menus(), StripKind::Login, menu_);

    m_optUser->OnClick([this] { optUser_Click(); });
    m_optSUser->OnClick([this] { optSUser_Click(); });
    OnTriggered(menu_.user, [this] { mnuUser_Click(); });
    OnTriggered(menu_.adminConfig, [this] { mnuAdminConfig_Click(); });
    OnTriggered(menu_.exit, [this] { mnuExit_Click(); });
    OnClicked(m_cmdEnter, [this] { cmdEnter_Click(); });
    OnClicked(m_cmdNewUser, [this] { cmdNewUser_Click(); });
    OnClicked(m_cmdAdmin, [this] { cmdAdmin_Click(); });
    OnClicked(m_cmdExit, [this] { cmdExit_Click(); });
}

void TfrmLogin::Form_Load() {
    // The option buttons and menu ticks stay as the window was built.
    userLayout(false);

    Recordset rs = gcnExam->OpenRecordset("SELECT Uname FROM User");
    for (; !rs.Eof(); rs.MoveNext())
        m_cboUname->addItem(QString::fromStdString(rs.Fields("Uname").toString()));
    rs.Close();
    // Adding the first name would put it in the box; the box starts on the default.
    m_cboUname->setCurrentIndex(-1);
    m_cboUname->setEditText("Default User");
}

void TfrmLogin::userLayout(bool tickMenus) {
    m_lblSelect->setVisible(true);
    m_cboUname->setVisible(true);
    m_lblUname->setVisible(false);
    m_txtUname->setVisible(false);
    m_lblPwd->setVisible(false);
    m_txtPwd->setVisible(false);
    m_cmdAdmin->setVisible(false);
    m_cmdNewUser->setVisible(true);
    if (!tickMenus) return;
    menu_.user->setChecked(true);
    menu_.adminConfig->setChecked(false);
}

void TfrmLogin::adminLayout() {
    m_lblUname->setVisible(true);
    m_txtUname->setVisible(true);
    m_lblPwd->setVisible(true);
    m_txtPwd->setVisible(true);
    m_cmdAdmin->setVisible(true);
    m_lblSelect->setVisible(false);
    m_cboUname->setVisible(false);
    menu_.adminConfig->setChecked(true);
    menu_.user->setChecked(false);
}

void TfrmLogin::optUser_Click() { userLayout(true); }

void TfrmLogin::optSUser_Click() {
    adminLayout();
    m_txtUname->setFocus();
}

void TfrmLogin::mnuUser_Click() {
    optUser()->SetValue(true);
    menu_.user->setChecked(true);
    menu_.adminConfig->setChecked(false);
}

void TfrmLogin::mnuAdminConfig_Click() {
    optSUser()->SetValue(true);
    menu_.user->setChecked(false);
    menu_.adminConfig->setChecked(true);
}

void TfrmLogin::cmdEnter_Click() {
    gblnFromResults = false;
    gblnAdminMode = false;

    if (m_optSUser->Value()) {
        if (m_txtUname->text().isEmpty()) {
            MsgBox("Enter the User Name", vbInformation, "User Name");
            m_txtUname->setFocus();
            return;
        }
        if (m_txtPwd->text().isEmpty()) {
            MsgBox("Enter the Password", vbInformation, "Password");
            m_txtPwd->setFocus();
            return;
        }
        const QString u = m_txtUname->text();
        const QString p = m_txtPwd->text();
        if (RefuseControlChars(m_txtUname, u, "User Name", "User Name")) return;
        if (RefuseControlChars(m_txtPwd, p, "Password", "Password")) return;
        Recordset rs = gcnExam->OpenRecordset("SELECT count(*) FROM AdminLogin where Uname = ? and Pwd = ?  ",
                                              {u.toStdString(), p.toStdString()});
        if (rs.Fields(0).toInt() == 0) {
            MsgBox("Invalid User", vbInformation, "User Name");
            rs.Close();
            m_txtUname->clear();
            m_txtPwd->clear();
            m_txtUname->setFocus();
            return;
        }
        gstrCandName = Module1::kAdminName;
        gstrUserName = u;
        gblnAdminSignedIn = true;
        frmMode.ShowAfterSignIn(true);
    } else if (m_optUser->Value()) {
        const QString u = m_cboUname->currentText();
        if (u == "[SELECT]" || u.isEmpty()) {
            MsgBox("Select the User Name", vbInformation, "User Name");
            m_cboUname->setFocus();
            return;
        }
        if (RefuseControlChars(m_cboUname, u, "User Name", "User Name")) return;
        Recordset rs = gcnExam->OpenRecordset("SELECT count(*) FROM User where Uname = ? ", {u.toStdString()});
        if (rs.Fields(0).toInt() == 0) {
            MsgBox("Invalid UserName, Please Sign up if you are a New User", vbInformation, "User Name");
            rs.Close();
            m_txtUname->clear();
            m_cboUname->setFocus();
            return;
        }
        rs = gcnExam->OpenRecordset("SELECT Name FROM User where Uname = ? ", {u.toStdString()});
        gstrUserName = u;
        gstrCandName = QString::fromStdString(rs.Fields("Name").toString());
        gblnAdminSignedIn = false;
        rs.Close();
        // The administrator's mode window may still be up under this one, its
        // configuration option shown: the candidate's loads afresh.
        frmMode.Unload();
        frmMode.ShowAfterSignIn(false);
        Unload();
    }
}

void TfrmLogin::cmdNewUser_Click() { frmSignUp.Show(true); }

void TfrmLogin::cmdAdmin_Click() { frmChgPwd.Show(true); }

void TfrmLogin::cmdExit_Click() {
    if (MsgBox("Do you want to exit?", vbYesNo, "Exit") == vbYes) Unload();
}

void TfrmLogin::mnuExit_Click() { Unload(); }
