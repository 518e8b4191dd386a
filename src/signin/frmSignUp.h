// The sign-up window: registers a new candidate.
#pragma once

#include "platform/form.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

class TfrmSignUp : public plat::Form {
public:
    TfrmSignUp() : Form("frmSignUp") {}

    PEMU_CONTROL(QGroupBox, fraSignUp)
    PEMU_CONTROL(QLabel, lblUserName)
    PEMU_CONTROL(QLineEdit, txtUserName)
    PEMU_CONTROL(QLabel, lblName)
    PEMU_CONTROL(QLineEdit, txtName)
    PEMU_CONTROL(QLabel, lblQuali)
    PEMU_CONTROL(QLineEdit, txtEmail)
    PEMU_CONTROL(QLabel, lblAddr)
    PEMU_CONTROL(QLineEdit, txtPhone)
    PEMU_CONTROL(QLabel, Label3)
    PEMU_CONTROL(QPushButton, cmdSubmit)
    PEMU_CONTROL(QPushButton, CmdCancel)

public:
    void cmdSubmit_Click();
    void CmdCancel_Click();

protected:
    void Build() override;
};

extern TfrmSignUp frmSignUp;
