// The grade report, shown modeless when a run ends and for a reopened result.
#pragma once

#include "platform/form.h"
#include "signin/menustrip.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <cstdint>

class TfrmGrade : public plat::Form {
public:
    TfrmGrade() : Form("frmGrade") {}

    PEMU_CONTROL(QLabel, lblcandname)
    PEMU_CONTROL(QLabel, lblCandName1)
    PEMU_CONTROL(QLabel, lblExamName)
    PEMU_CONTROL(QLabel, lblExamName1)
    PEMU_CONTROL(QLabel, lblTime)
    PEMU_CONTROL(QLabel, lblTime1)
    PEMU_CONTROL(QGroupBox, Frame5)
    PEMU_CONTROL(QPushButton, cmdSave)
    PEMU_CONTROL(QPushButton, cmdClose)

public:
    MenuStrip& Menu() { EnsureLoaded(); return menu_; }

    // The scores: set by the saved-results list before it shows a reopened result.
    int16_t mintScoreObt = 0;
    int16_t mintMaxScore = 0;
    int16_t mintPassScore = 0;

    // A reopened result: "Review Questions" opens the exam window read-only.
    void cmdSave_Click();
    void cmdClose_Click();
    void mnuExit_Click();

protected:
    void Build() override;
    void Form_Load() override;

private:
    MenuStrip menu_;
};

extern TfrmGrade frmGrade;
