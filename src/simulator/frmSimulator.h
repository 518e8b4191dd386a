// The simulator window of a "SIM" question: the router console, opened
// modally by the exam window for the question on screen (gintCurQId), for
// Show Answer too.
#pragma once

#include "platform/form.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

class TfrmSimulator : public plat::Form {
public:
    TfrmSimulator() : Form("frmSimulator") {}

    PEMU_CONTROL(QPlainTextEdit, txtQues)
    PEMU_CONTROL(QPlainTextEdit, Guidetxt)
    PEMU_CONTROL(QLabel, lblQuestID)
    PEMU_CONTROL(QLabel, lblQId)
    PEMU_CONTROL(QLabel, lblTime)
    PEMU_CONTROL(QPlainTextEdit, txtSimCon)
    PEMU_CONTROL(QGroupBox, Frame2)
    PEMU_CONTROL(QPushButton, cmdReset)
    PEMU_CONTROL(QPushButton, cmdShwExh)
    PEMU_CONTROL(QPushButton, cmdClose)

public:
    // Closes the window (its unload step runs); the exam window calls it when
    // the time runs out.
    void cmdClose_Click();
    // The remaining time, written by the exam window; nothing while not loaded.
    void ShowTime(const QString& text);

    static const QString kGuide;

protected:
    void Build() override;
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
};

extern TfrmSimulator frmSimulator;
