// The drag-and-drop window of a "D" question, opened modally by the exam
// window for the question on screen (gintCurQId), for Show Answer too.
#pragma once

#include "platform/form.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

class TfrmDrag : public plat::Form {
public:
    TfrmDrag() : Form("frmDrag") {}

    PEMU_CONTROL(QGroupBox, Frame2)
    PEMU_CONTROL(QLabel, lblQuestID)
    PEMU_CONTROL(QLabel, lblQId)
    PEMU_CONTROL(QLabel, lblTime)
    PEMU_CONTROL(QGroupBox, fraDragNDrop)
    PEMU_CONTROL(QScrollBar, vsbQuestion)
    PEMU_CONTROL(QTimer, Timer1)
    PEMU_CONTROL(QPushButton, cmdClose)

public:
    // Closes the window (its closing step runs); the exam window calls it when
    // the time runs out.
    void cmdClose_Click();
    // The exam window writes the remaining time here every second; nothing
    // while the window is not loaded.
    void ShowTime(const QString& text);

protected:
    void Build() override;
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;
};

extern TfrmDrag frmDrag;
