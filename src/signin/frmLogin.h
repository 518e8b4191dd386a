// The sign-in window: candidates pick their login name, the administrator gives
// name and password.
#pragma once

#include "platform/form.h"
#include "signin/menustrip.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

class TfrmLogin : public plat::Form {
public:
    TfrmLogin() : Form("frmLogin") {}

    PEMU_CONTROL(QLabel, lblLogin)
    PEMU_CONTROL(QLabel, Label1)
    PEMU_CONTROL(QPlainTextEdit, txtGuide)
    PEMU_CONTROL(plat::OptionButton, optUser)
    PEMU_CONTROL(plat::OptionButton, optSUser)
    PEMU_CONTROL(QLabel, lblSelect)
    PEMU_CONTROL(QComboBox, cboUname)
    PEMU_CONTROL(QLabel, lblUname)
    PEMU_CONTROL(QLineEdit, txtUname)
    PEMU_CONTROL(QLabel, lblPwd)
    PEMU_CONTROL(QLineEdit, txtPwd)
    PEMU_CONTROL(QPushButton, cmdEnter)
    PEMU_CONTROL(QPushButton, cmdNewUser)
    PEMU_CONTROL(QPushButton, cmdAdmin)
    PEMU_CONTROL(QPushButton, cmdExit)

public:
    MenuStrip& Menu() { EnsureLoaded(); return menu_; }

    void optUser_Click();
    void optSUser_Click();
    void mnuUser_Click();
    void mnuAdminConfig_Click();
    void cmdEnter_Click();
    void cmdNewUser_Click();
    void cmdAdmin_Click();
    void cmdExit_Click();
    void mnuExit_Click();

    static const QString kQuickHelp;

protected:
    void Build() override;
    void Form_Load() override;

private:
    void userLayout(bool tickMenus);
    void adminLayout();
    MenuStrip menu_;
};

extern TfrmLogin frmLogin;
