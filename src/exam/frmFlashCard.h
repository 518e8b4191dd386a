// The flash card: the explanation of the question on screen (gintCurQId),
// opened modally by the exam window in learn mode.
#pragma once

#include "platform/form.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

class TfrmFlashCard : public plat::Form {
public:
    TfrmFlashCard() : Form("frmFlashCard") {}

    PEMU_CONTROL(QPlainTextEdit, txtFC)
    PEMU_CONTROL(QPlainTextEdit, txtFlash)
    PEMU_CONTROL(QLabel, lblTime)
    PEMU_CONTROL(QPushButton, cmdClose)

public:
    // Closes the window; the exam window calls it when the time runs out.
    void cmdClose_Click();
    // The remaining time, written by the exam window; nothing while not loaded.
    void ShowTime(const QString& text);

protected:
    void Build() override;
    void Form_Load() override;
};

extern TfrmFlashCard frmFlashCard;
