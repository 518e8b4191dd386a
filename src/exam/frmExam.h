// The exam window, in which a run is taken (learn mode and exam mode, linear
// or adaptive) and a reopened saved result is looked through read-only.
//
// Its sources are split by concern: frmExam.cpp (controls, the load step,
// bookmark boxes, fonts, menus), frmExam_display.cpp (building and taking down
// a question, scrolling, Show Answer), frmExam_navigation.cpp (Next, Previous,
// adaptive issuing, the review list's jumps) and frmExam_timer.cpp (the
// countdown, time up, End Exam, the side windows).
#pragma once

#include "exam/adaptive.h"
#include "exam/examclock.h"
#include "platform/database.h"
#include "platform/form.h"
#include "signin/menustrip.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <vector>

// An option's text: clicking it chooses the option, as clicking the button does.
class AnswerLabel : public QLabel {
public:
    explicit AnswerLabel(QWidget* parent = nullptr);
    void OnClick(std::function<void()> handler) { click_ = std::move(handler); }

protected:
    void mouseReleaseEvent(QMouseEvent* e) override;

private:
    std::function<void()> click_;
};

class TfrmExam : public plat::Form {
public:
    TfrmExam() : Form("frmExam") {}

    PEMU_CONTROL(QGroupBox, fraQuestion)
    PEMU_CONTROL(QScrollBar, vsbQuestion)
    PEMU_CONTROL(QLabel, lblQuestNo)
    PEMU_CONTROL(QLabel, lblQno)
    PEMU_CONTROL(QLabel, lblOf)
    PEMU_CONTROL(QLabel, lblTot)
    PEMU_CONTROL(QLabel, lblQuestID)
    PEMU_CONTROL(QLabel, lblQId)
    PEMU_CONTROL(QLabel, lblTime)
    PEMU_CONTROL(QTimer, tmrExamTime)
    PEMU_CONTROL(plat::CheckBox, chkBookMark)
    PEMU_CONTROL(plat::CheckBox, BookMark)
    PEMU_CONTROL(QPushButton, cmdNext)
    PEMU_CONTROL(QPushButton, cmdPrev)
    PEMU_CONTROL(QPushButton, cmdReview)
    PEMU_CONTROL(QPushButton, cmdEndExam)
    PEMU_CONTROL(QPushButton, cmdShowAns)
    PEMU_CONTROL(QPushButton, cmdPauseTim)
    PEMU_CONTROL(QPushButton, cmdFlash)
    PEMU_CONTROL(QPushButton, cmdExhibit)
    PEMU_CONTROL(QPushButton, cmdDND)
    PEMU_CONTROL(QPushButton, cmdSimulator)

public:
    // Element 0 of each array is the hidden template; 1..n belong to the
    // question on screen.
    plat::ControlArray<QLabel>& lblQuest() { EnsureLoaded(); return m_lblQuest; }
    plat::ControlArray<AnswerLabel>& lblAnswers() { EnsureLoaded(); return m_lblAnswers; }
    plat::ControlArray<plat::OptionButton>& optAnswer() { EnsureLoaded(); return m_optAnswer; }
    plat::ControlArray<plat::CheckBox>& chkAnswer() { EnsureLoaded(); return m_chkAnswer; }
    MenuStrip& Menu() { EnsureLoaded(); return menu_; }

    // ---- the window's members that other windows read and set
    QString strQuestType;        // QType on screen; "UA" while a question is built
    int intAnsLbls = 0;            // answer rows loaded
    int16_t intQuestLbls = 0;      // question labels loaded (1 while a question is shown)
    long long mintCurQuesInd = 0;  // QuestIds.Index of the question on screen
    bool mblnFromShAns = false;  // the drag or simulator window opens for Show Answer

    // ---- public procedures
    void DispQuestNOpts(long long intCurQId);
    void RemControls();
    // Moves the cursor to the next question by Index and shows question qdd.
    void FetchNormQues1(long long qdd);
    void FetchNormQues();
    void FetchAdapQues();
    // The question last shown, judged by its saved answers.
    bool ChkAnsCor();

    // ---- what the review list and the grade report call
    // Shows the question at this place of the run with both bookmark boxes
    // from the tables (the review list's jump).
    void ShowQuestionAt(long long index);
    // Shows the first question without an answer and switches Next and
    // Previous to unanswered questions; false, changing nothing, when every
    // question is answered.
    bool ReviewUnanswered();
    // Loads the window over a reopened result read-only, its end button
    // captioned "Close" and Review off, and shows it modally.
    void ReviewSavedResult();
    // The set-up window's run of bookmarked questions: the learn bookmark box
    // ticked. Loads the window first (its load step starts the run); nothing
    // when that load has already ended the run.
    void TickLearnBookMark();
    // Whether the question on screen has an exhibit (the simulator offers it too).
    bool ExhibitOffered();

    // ---- handlers
    void cmdNext_Click();
    void cmdPrev_Click();
    void BookMark_Click();
    void chkBookMark_Click();
    void cmdDND_Click();
    void cmdExhibit_Click();
    void cmdFlash_Click();
    void cmdSimulator_Click();
    void cmdShowAns_Click();
    void cmdPauseTim_Click();
    void cmdReview_Click();
    void cmdEndExam_Click();
    void tmrExamTime_Timer();
    void lblAnswers_Click(int Index);
    void mnuIncFont_Click();
    void mnuDecFont_Click();
    void vsbQuestion_Change();
    void vsbQuestion_Scroll();
    void exit_Click();

    // Tests and the benchmark drive the countdown with their own clock; it
    // takes effect at the next load.
    void SetClockForTesting(examclock::Clock clock);

    // The design size of the question and answer text.
    static constexpr double kDesignFontSize = 11.25;

protected:
    void Build() override;
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    // frmExam.cpp
    void resetRun();
    void showBookMarks();
    bool questionShown() const { return intQuestLbls > 0; }
    void setFontSize(double delta);
    bool adaptiveRun() const;
    adaptive::Weights weights() const;

    // frmExam_display.cpp
    void layoutQuestion();
    void placeScrollBar(int bottomTwips);
    void scrollStep();
    void saveAnswers();
    void keepLearnMark();
    void colourCorrectOptions();

    // frmExam_navigation.cpp
    // Next and Previous write as one transaction (the answer left and the
    // question issued), finished before any message box, so a box never
    // holds it open.
    struct StepScope;
    void finishStep();
    void countWeight();
    void showRunQuestion(const examnav::RunQuestion& q);
    void issue(const examnav::RunQuestion& q);
    void followIssuePosition(const examnav::RunQuestion& q);
    void enablePrevious();
    void atEnd(const QString& text, const QString& title, QPushButton* button);

    // frmExam_timer.cpp
    void timeUp();
    void endExam();
    void openSide(plat::Form& side, bool& flag, bool flagFirst);
    void rejudgeOnScreen();

    // A handler that waited (a message box, a side window) goes on only while
    // the run it began in is still on.
    int runId() const { return runId_; }
    bool stillRunning(int id) const { return IsLoaded() && runId_ == id; }

    plat::ControlArray<QLabel> m_lblQuest;
    plat::ControlArray<AnswerLabel> m_lblAnswers;
    plat::ControlArray<plat::OptionButton> m_optAnswer;
    plat::ControlArray<plat::CheckBox> m_chkAnswer;
    MenuStrip menu_;

    // remaining time
    examclock::Clock clock_ = examclock::SteadyClock();
    examclock::Countdown countdown_;

    // the side window shown modally from this window
    bool mblnSimOpen = false;
    bool mblnDragOpen = false;
    bool mblnExhibitOpen = false;
    bool mblnReviewOpen = false;
    bool mblnFlashOpen = false;

    // the question on screen: unscrolled Tops (twips; element 0 the template
    // question label's) and the option of each answer row
    std::vector<int> mintCtlTop;
    std::vector<long long> mintAnsIndex;

    // adaptive state: the level and issue number of the question at the issue
    // position, the weights counted, the questions issued, whether the newest
    // question's weight is still to be counted, and whether a review jump left
    // the issued questions
    QString mstrCurDiffLvl;
    int16_t mintAdapWeight = 0;
    long long mintAdapIssued = 0;
    long long mintAdapPos = 0;
    bool mblnAdapFrontier = false;
    bool mblnOffIssued = false;
    adaptive::ScoreBook score_;

    plat::Transaction* step_ = nullptr;
    bool mblnPrevOffered = true;  // the configuration offers Previous
    int runId_ = 0;
};

extern TfrmExam frmExam;
