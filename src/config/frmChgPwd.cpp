#include "frmChgPwd.h"

#include "platform/runtime.h"
#include "startup/state.h"

using namespace plat;

TfrmChgPwd frmChgPwd;

void TfrmChgPwd::Build() {
    SetCaption("Norvi Change Password");
    SetClientSize(6000, 3360);
    m_fraChgPwd = Make<QGroupBox>(Body(), "fraChgPwd", "Change Password");
    Place(m_fraChgPwd, 240, 120, 5520, 2220);
    QWidget* f = m_fraChgPwd;

    m_lblUname = Make<QLabel>(f, "lblUname", "User Name");
    Place(m_lblUname, 240, 420, 2400, 330);
    m_txtUname = Make<QLineEdit>(f, "txtUname");
    Place(m_txtUname, 2700, 420, 2520, 360);
    m_txtUname->setText(Module1::kAdminLogin);
    m_txtUname->setEnabled(false);
    m_lblNewPwd = Make<QLabel>(f, "lblNewPwd", "New Password");
    Place(m_lblNewPwd, 240, 960, 2400, 330);
    m_txtNewPwd = Make<QLineEdit>(f, "txtNewPwd");
    Place(m_txtNewPwd, 2700, 960, 2520, 360);
    MaskPassword(m_txtNewPwd);
    m_lblConNewPwd = Make<QLabel>(f, "lblConNewPwd", "Confirm New Password");
    Place(m_lblConNewPwd, 240, 1500, 2400, 330);
    m_txtConNewPwd = Make<QLineEdit>(f, "txtConNewPwd");
    Place(m_txtConNewPwd, 2700, 1500, 2520, 360);
    MaskPassword(m_txtConNewPwd);

    m_cmdOk = Make<QPushButton>(Body(), "cmdOk", "&Ok");
    Place(m_cmdOk, 240, 2580, 1680, 420);
    m_cmdDef = Make<QPushButton>(Body(), "cmdDef", "Set Default");
    Place(m_cmdDef, 2160, 2580, 1680, 420);
    m_cmdDef->setToolTip("Set's Default Username and Password");
    m_CmdCancel = Make<QPushButton>(Body(), "CmdCancel", "&Close");
    Place(m_CmdCancel, 4080, 2580, 1680, 420);

    QWidget::setTabOrder(m_txtUname, m_txtNewPwd);
    QWidget::setTabOrder(m_txtNewPwd, m_txtConNewPwd);

    OnClicked(m_cmdOk, [this] { cmdOk_Click(); });
    OnClicked(m_cmdDef, [this] { cmdDef_Click(); });
    OnClicked(m_CmdCancel, [this] { CmdCancel_Click(); });
}

void TfrmChgPwd::cmdOk_Click() {
    if (m_txtNewPwd->text().isEmpty()) {
        MsgBox("Enter the New Password", vbInformation, "Password");
        m_txtNewPwd->setFocus();
        return;
    }
    if (m_txtConNewPwd->text().isEmpty()) {
        MsgBox("Confirm Password", vbInformation, "Password Confirmation");
        m_txtConNewPwd->setFocus();
        return;
    }
    if (RefuseControlChars(m_txtNewPwd, m_txtNewPwd->text(), "Password", "Password")) return;
    if (RefuseControlChars(m_txtConNewPwd, m_txtConNewPwd->text(), "Password", "Password Confirmation")) return;
    const std::string name = m_txtUname->text().toStdString();
    if (gcnExam->Scalar("SELECT count(*) FROM AdminLogin where Uname = ?", {name}).toInt() == 0) {
        MsgBox("Invalid UserName or Password", vbInformation, "Login");
        return;
    }
    if (m_txtConNewPwd->text() != m_txtNewPwd->text()) {
        MsgBox("New Password and Confirm Password does not Matches, Please try Again", vbExclamation,
               "Change Password");
        return;
    }
    gcnExam->Execute("UPDATE AdminLogin SET Pwd =? where Uname = ?", {m_txtNewPwd->text().toStdString(), name});
    MsgBox("Password Changed", vbInformation, "Change Password");
    m_txtNewPwd->clear();
    m_txtConNewPwd->clear();
    m_txtNewPwd->setFocus();
}

void TfrmChgPwd::cmdDef_Click() {
    const std::string login = Module1::kAdminLogin.toStdString();
    gcnExam->Execute("UPDATE AdminLogin SET Pwd =?,Uname =? where Uname = ?",
                     {kDefaultPassword.toStdString(), login, login});
    // Only a row already named "norvi" is reset; without one nothing was written.
    if (gcnExam->RecordsAffected() == 0) {
        MsgBox("The administrator's account \"" + Module1::kAdminLogin +
                   "\" was not found, so the default Username and Password could not be set.",
               vbExclamation, "User Name");
        return;
    }
    MsgBox("Default Username and Password are set\r\nUserName : " + Module1::kAdminLogin +
               "\r\nPassword : " + kDefaultPassword,
           vbInformation, "User Name");
}

void TfrmChgPwd::CmdCancel_Click() { Unload(); }
