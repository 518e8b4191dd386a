#include "frmSignUp.h"

#include "platform/convert.h"
#include "platform/runtime.h"
#include "signin/frmLogin.h"
#include "startup/state.h"


using namespace plat;

TfrmSignUp frmSignUp;

void TfrmSignUp::Build() {
    SetCaption("User Sign Up");
    SetClientSize(6000, 3840);
    m_fraSignUp = Make<QGroupBox>(Body(), "fraSignUp", "Sign Up");
    Place(m_fraSignUp, 240, 120, 5520, 2760);
    QWidget* f = m_fraSignUp;

    auto row = [&](QLabel*& label, const char* labelName, const char* caption, QLineEdit*& box,
                   const char* boxName, int top) {
        label = Make<QLabel>(f, labelName, caption);
        Place(label, 240, top, 2400, 330);
        box = Make<QLineEdit>(f, boxName);
        Place(box, 2700, top, 2520, 360);
    };
    row(m_lblUserName, "lblUserName", "Enter a User Name", m_txtUserName, "txtUserName", 420);
    row(m_lblName, "lblName", "Candidate Name", m_txtName, "txtName", 960);
    row(m_lblQuali, "lblQuali", "E-Mail Address", m_txtEmail, "txtEmail", 1500);
    row(m_lblAddr, "lblAddr", "Phone Number", m_txtPhone, "txtPhone", 2040);
    // The mandatory marks.
    for (QLabel* l : {m_lblUserName, m_lblName}) {
        auto* star = new QLabel("*", f);
        star->setGeometry(l->x() + l->width() - Px(200), l->y(), Px(200), l->height());
        star->setStyleSheet("color: red");
    }

    m_Label3 = Make<QLabel>(Body(), "Label3", "*   Mandatory Fields");
    Place(m_Label3, 240, 3000, 2400, 300);
    m_cmdSubmit = Make<QPushButton>(Body(), "cmdSubmit", "&Submit");
    Place(m_cmdSubmit, 2760, 3000, 1380, 420);
    m_CmdCancel = Make<QPushButton>(Body(), "CmdCancel", "&Close");
    Place(m_CmdCancel, 4380, 3000, 1380, 420);

    QWidget::setTabOrder(m_txtUserName, m_txtName);
    QWidget::setTabOrder(m_txtName, m_txtEmail);
    QWidget::setTabOrder(m_txtEmail, m_txtPhone);
    QWidget::setTabOrder(m_txtPhone, m_cmdSubmit);
    QWidget::setTabOrder(m_cmdSubmit, m_CmdCancel);

    OnClicked(m_cmdSubmit, [this] { cmdSubmit_Click(); });
    OnClicked(m_CmdCancel, [this] { CmdCancel_Click(); });
}

void TfrmSignUp::cmdSubmit_Click() {
    QString email = "NA";
    QString phone = "NA";
    if (m_txtName->text().isEmpty()) {
        MsgBox("Please Enter the Name", vbInformation, "Name");
        m_txtName->setFocus();
        return;
    }
    if (m_txtUserName->text().isEmpty()) {
        MsgBox("Please Enter the User Name ", vbInformation, "User Name");
        m_txtUserName->setFocus();
        return;
    }
    const QString name = m_txtName->text();
    if (RefuseControlChars(m_txtUserName, m_txtUserName->text(), "User Name", "User Name")) return;
    if (RefuseControlChars(m_txtName, name, "Name", "Name")) return;
    if (RefuseControlChars(m_txtEmail, m_txtEmail->text(), "E-Mail Address", "E-Mail")) return;
    if (!m_txtEmail->text().isEmpty()) email = m_txtEmail->text();
    if (!m_txtPhone->text().isEmpty()) {
        if (!IsNumeric(m_txtPhone->text())) {
            MsgBox("Enter a Numeric Value", vbInformation, "Phone");
            m_txtPhone->clear();
            m_txtPhone->setFocus();
            return;
        }
        phone = m_txtPhone->text();
    }
    const QString u = m_txtUserName->text();
    Recordset rs = gcnExam->OpenRecordset("SELECT count(*) FROM User where Uname = ? ", {u.toStdString()});
    if (rs.Fields(0).toInt() != 0) {
        MsgBox("UserName alreay exists, Please Enter another UserName", vbInformation, "User Name");
        rs.Close();
        m_txtUserName->clear();
        return;
    }
    gcnExam->Execute("INSERT into User (Uname,Name,Email,Phone) values(?,?,?,?)  ",
                     {u.toStdString(), name.toStdString(), email.toStdString(), phone.toStdString()});
    MsgBox("UserName " + u + " has been Added", vbInformation, "User Name Added");
    m_txtName->clear();
    m_txtEmail->clear();
    m_txtPhone->clear();
    m_txtUserName->clear();
}

void TfrmSignUp::CmdCancel_Click() {
    Unload();
    // Loaded afresh so that the names just added are listed.
    frmLogin.Unload();
    frmLogin.Load();
    frmLogin.Show();
}
