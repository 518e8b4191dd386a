// The administrator password window.
#pragma once

#include "platform/form.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

class TfrmChgPwd : public plat::Form {
public:
    TfrmChgPwd() : Form("frmChgPwd") {}

    PEMU_CONTROL(QGroupBox, fraChgPwd)
    PEMU_CONTROL(QLabel, lblUname)
    PEMU_CONTROL(QLineEdit, txtUname)
    PEMU_CONTROL(QLabel, lblNewPwd)
    PEMU_CONTROL(QLineEdit, txtNewPwd)
    PEMU_CONTROL(QLabel, lblConNewPwd)
    PEMU_CONTROL(QLineEdit, txtConNewPwd)
    PEMU_CONTROL(QPushButton, cmdOk)
    PEMU_CONTROL(QPushButton, CmdCancel)
    PEMU_CONTROL(QPushButton, cmdDef)

public:
    void cmdOk_Click();
    void cmdDef_Click();
    void CmdCancel_Click();

    static inline const QString kDefaultPassword = QStringLiteral("kelm");

protected:
    void Build() override;
};

extern TfrmChgPwd frmChgPwd;
