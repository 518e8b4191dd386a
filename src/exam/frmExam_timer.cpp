// The countdown and how a run ends (End Exam, time up), and the side windows
// this window opens modally: drag and drop, exhibit, flash card, simulator
// and the review list.
#include "frmExam.h"

#include "exam/examrun.h"
#include "exam/frmDrag.h"
#include "exam/frmExhibit.h"
#include "exam/frmFlashCard.h"
#include "platform/runtime.h"
#include "results/frmGrade.h"
#include "results/frmReview.h"
#include "simulator/frmSimulator.h"
#include "startup/state.h"

#include <QApplication>
#include <QMessageBox>

using namespace plat;

// ---------------------------------------------------------------- the countdown

// The tick only redraws: the time left comes from the deadline, however late
// the tick is. The time shows in this window and in the side window that is up.
void TfrmExam::tmrExamTime_Timer() {
    if (!IsLoaded() || !countdown_.Started() || countdown_.Paused()) return;
    if (countdown_.IsUp()) {
        timeUp();
        return;
    }
    const QString text = countdown_.Text();
    m_lblTime->setText(text);
    if (mblnSimOpen) frmSimulator.ShowTime(text);
    else if (mblnDragOpen) frmDrag.ShowTime(text);
    else if (mblnExhibitOpen) frmExhibit.ShowTime(text);
    else if (mblnReviewOpen) frmReview.ShowTime(text);
    else if (mblnFlashOpen) frmFlashCard.ShowTime(text);
}

void TfrmExam::cmdPauseTim_Click() {
    if (!countdown_.Started()) return;
    if (m_tmrExamTime->isActive()) {
        m_tmrExamTime->stop();
        countdown_.Pause();
        m_cmdPauseTim->setText(QStringLiteral("Restart Timer"));
    } else {
        countdown_.Resume();
        m_tmrExamTime->start();
        m_cmdPauseTim->setText(QStringLiteral("Pause Timer"));
    }
}

namespace {
// A question asked by a handler of the run (End Exam's, a navigation message,
// a side window's) has no answer to wait for once the time is up.
void closeWaitingBoxes() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(w);
        if (!box || !box->isVisible()) continue;
        // The box belongs to the handler that waits in it, not to the window
        // about to close: that window must not take the box with it.
        box->setParent(nullptr, box->windowFlags());
        box->done(0);
    }
}
}  // namespace

// Time up: every side window closes, the innermost first (one opened over
// the simulator before the simulator), each saving what it saves on closing;
// then the run ends as End Exam ends it, without the question.
void TfrmExam::timeUp() {
    const int id = runId();
    m_tmrExamTime->stop();
    countdown_.Stop();
    closeWaitingBoxes();
    MsgBox("Sorry! You have exceeded the given time. The exam will end now", vbInformation, "Exam Time...");
    if (!stillRunning(id)) return;
    if (frmFlashCard.IsLoaded()) {
        mblnFlashOpen = false;
        frmFlashCard.cmdClose_Click();
    }
    if (frmExhibit.IsLoaded()) {
        mblnExhibitOpen = false;
        frmExhibit.cmdClose_Click();
    }
    if (frmSimulator.IsLoaded()) {
        mblnSimOpen = false;
        frmSimulator.cmdClose_Click();
    }
    if (frmDrag.IsLoaded()) {
        mblnDragOpen = false;
        frmDrag.cmdClose_Click();
    }
    if (!stillRunning(id)) return;
    // What the drag window or the simulator stored on closing counts.
    rejudgeOnScreen();
    endExam();
}

// ---------------------------------------------------------------- ending

void TfrmExam::cmdEndExam_Click() {
    const int id = runId();
    if (MsgBox("Do you want to end the exam", vbYesNo, "End Exam") != vbYes) return;
    // The time may have run out while the question waited.
    if (!stillRunning(id)) return;
    endExam();
}

// End Exam after its question: the answer on screen is saved, the run's
// bookmarks go and the grade report takes over.
void TfrmExam::endExam() {
    m_tmrExamTime->stop();
    countdown_.Stop();
    if (gblnFromResults) {
        Unload();
        return;
    }
    saveAnswers();
    examrun::PurgeAtEnd(*gcnExam);
    gblnRevUnAns = false;
    if (mblnReviewOpen) {
        // The review list ends the run itself: it shows the grade report and
        // closes this window and itself.
        mblnReviewOpen = false;
        frmReview.cmdGrade_Click();
        return;
    }
    frmGrade.Show();
    Unload();
}

// ---------------------------------------------------------------- side windows

// Loads the side window, shows it modally and waits; `flag` is set while it
// is up (before its load, or after it when the load itself may speak).
void TfrmExam::openSide(Form& side, bool& flag, bool flagFirst) {
    const int id = runId();
    if (flagFirst) flag = true;
    side.Load();
    if (!stillRunning(id)) {
        flag = false;
        return;
    }
    if (!side.IsLoaded()) {
        flag = false;
        return;
    }
    flag = true;
    side.Show(true);
    flag = false;
    if (!stillRunning(id)) return;
    // The drag window and the simulator store the answer themselves.
    rejudgeOnScreen();
}

void TfrmExam::cmdDND_Click() { openSide(frmDrag, mblnDragOpen, true); }
void TfrmExam::cmdExhibit_Click() { openSide(frmExhibit, mblnExhibitOpen, false); }
void TfrmExam::cmdFlash_Click() { openSide(frmFlashCard, mblnFlashOpen, true); }
void TfrmExam::cmdSimulator_Click() { openSide(frmSimulator, mblnSimOpen, true); }

void TfrmExam::cmdShowAns_Click() {
    if (strQuestType == u"D" || strQuestType == u"SIM") {
        // The side window shows the model answer read-only and clears the
        // flag when it closes; it is cleared here too, so no later opening
        // can find it left over.
        mblnFromShAns = true;
        if (strQuestType == u"D") openSide(frmDrag, mblnDragOpen, true);
        else openSide(frmSimulator, mblnSimOpen, true);
        mblnFromShAns = false;
        return;
    }
    colourCorrectOptions();
}

void TfrmExam::cmdReview_Click() {
    const int id = runId();
    enablePrevious();
    m_cmdNext->setEnabled(true);
    keepLearnMark();
    saveAnswers();
    mblnReviewOpen = true;
    gblnRevUnAns = false;
    frmReview.Load();
    if (stillRunning(id) && frmReview.IsLoaded()) frmReview.Show(true);
    mblnReviewOpen = false;
    if (!stillRunning(id)) return;
    // Closed without a jump, the question on screen keeps its bookmarks shown.
    showBookMarks();
}
