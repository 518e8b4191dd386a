// The exhibit viewer: the picture of the question on screen (gintCurQId) in a
// fixed viewport with scroll bars, opened modally by the exam window and by
// the simulator.
#pragma once

#include "platform/form.h"

#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>

class TfrmExhibit : public plat::Form {
public:
    TfrmExhibit() : Form("frmExhibit") {}

    PEMU_CONTROL(QFrame, picOut)
    PEMU_CONTROL(QLabel, picExhibitImg)
    PEMU_CONTROL(QScrollBar, HScroll1)
    PEMU_CONTROL(QScrollBar, VScroll1)
    PEMU_CONTROL(QLabel, lblQuestID)
    PEMU_CONTROL(QLabel, lblQId)
    PEMU_CONTROL(QLabel, lblTime)
    PEMU_CONTROL(QPushButton, cmdClose)

public:
    // Closes the window; the exam window calls it when the time runs out.
    void cmdClose_Click();
    // The remaining time, written by the exam window; nothing while not loaded.
    void ShowTime(const QString& text);
    // Opened over the simulator, whose own label shows the time: this one is
    // hidden. Nothing while not loaded.
    void HideTime();

protected:
    void Build() override;
    void Form_Load() override;

private:
    void HScroll1_Change();
    void VScroll1_Change();
    void showPicture(const QString& exhibitPath);

    // The part of the viewport the picture shows through (the viewport less
    // its bars); it clips the picture.
    QWidget* shown_ = nullptr;
};

extern TfrmExhibit frmExhibit;
