// The review list, opened modally by the exam window during a run: every
// question of the run with its bookmark and whether it has an answer, from
// which the candidate jumps to a question, to the first unanswered one, or
// ends the exam. It also owns the "answered" rule that the exam window's
// navigation asks.
#pragma once

#include "platform/form.h"
#include "signin/menustrip.h"

#include <QColor>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include <cstdint>

class TfrmReview : public plat::Form {
public:
    TfrmReview() : Form("frmReview") {}

    PEMU_CONTROL(QLabel, Label1)
    PEMU_CONTROL(QLabel, lblcandname)
    PEMU_CONTROL(QLabel, lblCandName1)
    PEMU_CONTROL(QLabel, lblExamName)
    PEMU_CONTROL(QLabel, lblExamName1)
    PEMU_CONTROL(QLabel, lblTime)
    PEMU_CONTROL(QLabel, lblColor)
    PEMU_CONTROL(QLabel, Label3)
    PEMU_CONTROL(QGroupBox, fraReview)
    PEMU_CONTROL(QTableWidget, msgReview)
    PEMU_CONTROL(QPushButton, cmdRevUnAns)
    PEMU_CONTROL(QPushButton, cmdGrade)
    PEMU_CONTROL(QPushButton, cmdClose)

public:
    MenuStrip& Menu() { EnsureLoaded(); return menu_; }

    // Whether the question has an answer recorded. Touches no control: it
    // neither loads nor needs the window.
    bool chkQuesAnswered(long long intQid);
    // Ends the run: the exam bookmarks go, the exam window closes, the grade
    // report shows and this window closes. The exam window calls it when the
    // time runs out while the list is open.
    void cmdGrade_Click();
    void cmdClose_Click();
    void cmdRevUnAns_Click();
    // Shows the question of the grid row (0 = the first data row) in the exam
    // window and closes the list; nothing for a row that is not a question's.
    void msgReview_DblClick(int row);
    void mnuprint_Click();
    void mnuExit_Click();
    // The remaining time, written by the exam window; nothing while not loaded.
    void ShowTime(const QString& text);

    // The background of a bookmarked question's row and of the legend's swatch
    // (8421631: red 255, green 128, blue 128).
    static inline const QColor kBookMarkColour = QColor(255, 128, 128);
    static inline const QString kRowTip = QStringLiteral("Please Double click to go to that question.");
    // The grid's columns: " S.No ", "QID ", "Question" (very wide), "Attempted".
    static const QString kFormat;

protected:
    void Build() override;
    void Form_Load() override;

private:
    void fill();

    MenuStrip menu_;
};

extern TfrmReview frmReview;
