// The grade report, shown modeless when a run ends (it grades the run) and
// for a reopened result (it shows the result's saved figures). It saves and
// prints the result; for a reopened result its save button reviews the run.
//
// Sources: frmGrade.cpp (controls, the report's load, closing),
// frmGrade_save.cpp (saving, the read-only review) and frmGrade_print.cpp
// (printing).
#pragma once

#include "platform/form.h"
#include "results/message.h"
#include "results/scoring.h"
#include "signin/menustrip.h"

#include <QGroupBox>
#include <QLabel>
#include <QPageLayout>
#include <QPushButton>
#include <QTableWidget>
#include <QTextEdit>

#include <cstdint>
#include <utility>
#include <vector>

class TfrmGrade : public plat::Form {
public:
    TfrmGrade() : Form("frmGrade") {}

    PEMU_CONTROL(QGroupBox, fraScore)
    PEMU_CONTROL(QTableWidget, msgReview)
    PEMU_CONTROL(QLabel, lblScoreObt)
    PEMU_CONTROL(QLabel, lblPassScore)
    PEMU_CONTROL(QLabel, lblMaxScore)
    PEMU_CONTROL(QLabel, lblResult)
    PEMU_CONTROL(QLabel, lblResultDsip)
    PEMU_CONTROL(QLabel, lblcandname)
    PEMU_CONTROL(QLabel, lblCandName1)
    PEMU_CONTROL(QLabel, lblExamName)
    PEMU_CONTROL(QLabel, lblExamName1)
    PEMU_CONTROL(QLabel, lblDate)
    PEMU_CONTROL(QLabel, lblDate1)
    PEMU_CONTROL(QLabel, lblTime)
    PEMU_CONTROL(QLabel, lblTime1)
    PEMU_CONTROL(QTextEdit, rtfScale)
    PEMU_CONTROL(QTextEdit, rtfPass)
    PEMU_CONTROL(QTextEdit, rtfFail)
    PEMU_CONTROL(QTextEdit, RichTextBox1)
    PEMU_CONTROL(QGroupBox, Frame5)
    PEMU_CONTROL(QPushButton, cmdSave)
    PEMU_CONTROL(QPushButton, cmdPrint)
    PEMU_CONTROL(QPushButton, cmdClose)

public:
    MenuStrip& Menu() { EnsureLoaded(); return menu_; }

    // The scores as the report shows them: computed by the load of a fresh
    // run, or a reopened result's saved figures.
    int16_t mintScoreObt = 0;
    int16_t mintMaxScore = 0;
    int16_t mintPassScore = 0;

    // The saved-results list shows a reopened result with its saved figures
    // (gblnFromResults set and the run tables rebuilt beforehand): the report
    // and the list then agree; only the category grid comes from the answers.
    void ShowSavedResult(const scoring::SavedFigures& figures);

    // Fresh result: saves it; reopened result ("Review Questions"): looks
    // through its questions read-only in the exam window.
    void cmdSave_Click();
    // Prints the window without its buttons, once.
    void cmdPrint_Click();
    // Prints the window as it is, once per copy asked for.
    void mnuScreen_Click();
    void cmdClose_Click();
    void mnuExit_Click();
    // The text-size item (disabled): the font dialog, whose choice is not used.
    void mnuSize_Click();

    // The report laid out for paper while this lives: the category grid at
    // its full height with every row shown, unscrolled, the frame grown and
    // what lies below it moved down to make room; the buttons shown or not.
    // The window gets its own layout back at the end.
    class PrintLayout {
    public:
        PrintLayout(TfrmGrade& report, bool withButtons);
        ~PrintLayout();
        PrintLayout(const PrintLayout&) = delete;
        PrintLayout& operator=(const PrintLayout&) = delete;
        // The window's image as laid out.
        QImage Image() const;

    private:
        TfrmGrade& report_;
        std::vector<std::pair<QWidget*, QRect>> geometries_;
        QSize bodySize_;
        int scrollValue_ = 0;
        Qt::ScrollBarPolicy scrollPolicy_ = Qt::ScrollBarAsNeeded;
        bool buttonsShown_ = true;
    };

    // The chart's bars and ruler stand at this height (twips).
    static constexpr int kBarTop = 4260;
    static constexpr int kBarHeight = 300;
    static constexpr int kMarkerHeight = 300;
    // The grid's columns: " S.No ", "Category" (wide), "Score obtained".
    static const QString kFormat;

protected:
    void Build() override;
    void Form_Load() override;
    // The title bar's close button leaves the report as its Close button does:
    // to the saved-results list or the sign-in window, never by unloading the
    // last window (which would end a candidate's program).
    void TitleBarClose() override { cmdClose_Click(); }

private:
    void showGrid();
    void showChart();

    MenuStrip menu_;
    int16_t mintPercentage = 0;
    QString mstrResult;
    scoring::Report report_;
    std::optional<scoring::SavedFigures> reopened_;  // set by ShowSavedResult
    bool mblnSaved = false;                           // this report has been saved
    // The printer's orientation: set by the Print button's dialog, kept by
    // Print Screen.
    QPageLayout::Orientation printOrientation_ = QPageLayout::Portrait;
};

extern TfrmGrade frmGrade;

namespace results {
// Shows a results message box; returns the button pressed.
int Show(const Message& m);
}  // namespace results
