// The exam configuration window of the administrator: edits the one row of
// AdminConfig within the factory limits of AdminDef, reloads the factory values
// and stores the edits.
#pragma once

#include "config/configcheck.h"
#include "platform/form.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

class TfrmAdminConfig : public plat::Form {
public:
    TfrmAdminConfig() : Form("frmAdminConfig") {}

    PEMU_CONTROL(QGroupBox, fraConfig)
    PEMU_CONTROL(QLabel, lblExamName)
    PEMU_CONTROL(QLineEdit, txtExamName)
    PEMU_CONTROL(QLabel, lblExamType)
    PEMU_CONTROL(plat::CheckBox, chkLinear)
    PEMU_CONTROL(plat::CheckBox, chkAdaptive)
    PEMU_CONTROL(QLabel, lblNumOfExams)
    PEMU_CONTROL(QLineEdit, txtNumOfExams)
    PEMU_CONTROL(QLabel, lblNoOfQues)
    PEMU_CONTROL(QLineEdit, txtNoOfQues)
    PEMU_CONTROL(QLabel, lblPassPer)
    PEMU_CONTROL(QLineEdit, txtPassPer)
    PEMU_CONTROL(QLabel, lblMaxTime)
    PEMU_CONTROL(QLineEdit, txtMaxTime)
    PEMU_CONTROL(QLabel, lblMaxScore)
    PEMU_CONTROL(QLineEdit, txtMaxScore)
    PEMU_CONTROL(QLabel, lblLearnMode)
    PEMU_CONTROL(plat::CheckBox, chkLearnMode)
    PEMU_CONTROL(QLabel, lblExamMode)
    PEMU_CONTROL(plat::CheckBox, chkExamMode)
    PEMU_CONTROL(QLabel, lblSimulatorMode)
    PEMU_CONTROL(plat::CheckBox, chkSimulatorMode)
    PEMU_CONTROL(QLabel, lblPrevious)
    PEMU_CONTROL(plat::CheckBox, chkPrevious)
    PEMU_CONTROL(QLabel, lblReview)
    PEMU_CONTROL(plat::CheckBox, chkReview)
    PEMU_CONTROL(QGroupBox, fraScore)
    PEMU_CONTROL(QLabel, lblBS)
    PEMU_CONTROL(QLineEdit, txtBS)
    PEMU_CONTROL(QLabel, lblIS)
    PEMU_CONTROL(QLineEdit, txtIS)
    PEMU_CONTROL(QLabel, lblES)
    PEMU_CONTROL(QLineEdit, txtES)
    PEMU_CONTROL(QPushButton, cmdDefault)
    PEMU_CONTROL(QPushButton, cmdUpdate)
    PEMU_CONTROL(QPushButton, CmdCancel)
    PEMU_CONTROL(QPushButton, cmdNext)

public:
    // True when the text holds only the characters '0' to '9' (the empty text too).
    bool NumberChk(const QString& strNumToChk);
    // True while the window still shows what is stored in AdminConfig.
    bool CheckForUpdate();

    void cmdDefault_Click();
    void cmdUpdate_Click();
    void cmdNext_Click();
    void CmdCancel_Click();

protected:
    void Build() override;
    void Form_Load() override;

private:
    configcheck::FormValues values();
    void show(const configcheck::FormValues& v);
    // Update: true once stored; a refusal has been shown and the focus put in
    // its box.
    bool storeConfig();
};

extern TfrmAdminConfig frmAdminConfig;
