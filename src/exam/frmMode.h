// The mode window: the hub after signing in. It offers learn mode, the exams of
// the configuration (linear or adaptive, numbered or full), the saved results
// and, for the administrator, the exam configuration.
#pragma once

#include "platform/form.h"
#include "platform/database.h"
#include "signin/menustrip.h"
#include "startup/adminconfig.h"

#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include <cstdint>
#include <optional>

class TfrmMode : public plat::Form {
public:
    TfrmMode() : Form("frmMode") {}

    PEMU_CONTROL(QGroupBox, fraMode)
    PEMU_CONTROL(plat::OptionButton, optLearn)
    PEMU_CONTROL(plat::OptionButton, optExam)
    PEMU_CONTROL(QGroupBox, frmExamType)
    PEMU_CONTROL(plat::OptionButton, optLinear)
    PEMU_CONTROL(plat::OptionButton, optAdaptive)
    PEMU_CONTROL(QGroupBox, frmExams)
    PEMU_CONTROL(plat::OptionButton, optResults)
    PEMU_CONTROL(plat::OptionButton, optConfig)
    PEMU_CONTROL(QProgressBar, prgMode)
    PEMU_CONTROL(QLabel, lblMode)
    PEMU_CONTROL(QLabel, Label1)
    PEMU_CONTROL(QPlainTextEdit, txtGuide)
    PEMU_CONTROL(QPushButton, cmdNext)
    PEMU_CONTROL(QPushButton, cmdBack)

public:
    // The numbered exams: element 0 is the template, 1..mintExams the exams and
    // mintExams + 1 the full exam.
    plat::ControlArray<plat::OptionButton>& optExamNum() { EnsureLoaded(); return m_optExamNum; }
    MenuStrip& Menu() { EnsureLoaded(); return menu_; }
    // The number of numbered exams as the last load read it.
    int16_t Exams() const { return mintExams; }

    // Shows the window after a sign-in; the administrator also gets the exam
    // configuration option.
    void ShowAfterSignIn(bool administrator);
    // The selection's progress; nothing while the window is not loaded.
    void SetProgress(int value);

    void cmdNext_Click();
    void cmdBack_Click();
    void optLearn_Click();
    void optExam_Click();
    void optLinear_Click();
    void optAdaptive_Click();
    void optResults_Click();
    void mnuLM_Click();
    void mnuSavRes_Click();
    void mnuExamLin_Click(int16_t Index);
    void mnuExamAdap_Click(int16_t Index);
    void mnuExit_Click();

    static const QString kQuickHelp;

protected:
    void Build() override;
    void Form_Load() override;

private:
    bool ExamStart(const std::optional<AdminConfigRow>& cfg);

    plat::ControlArray<plat::OptionButton> m_optExamNum;
    MenuStrip menu_;
    int16_t mintExams = 0;
    QElapsedTimer progressPainted_;
};

extern TfrmMode frmMode;
