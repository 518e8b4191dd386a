// The countdown on a clock the test moves, and every way a run ends: End
// Exam, the time running out with or without a side window up, during a
// question of the window, and an exam time of nothing at all.
#include "exam/examclock.h"
#include "exam/frmDrag.h"
#include "exam/frmExhibit.h"
#include "exam/frmFlashCard.h"
#include "exam/frmMode.h"
#include "exam_fixture.h"
#include "results/frmGrade.h"
#include "results/frmReview.h"
#include "signin/frmLogin.h"
#include "simulator/frmSimulator.h"
#include "startup/state.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

using namespace exam_test;
using namespace plat;
using namespace std::chrono_literals;

TEST(Countdown, ShowsTheTimeLeftAndEndsExactlyAtTheDeadline) {
    examclock::TimePoint now{100h};
    examclock::Countdown c([&] { return now; });
    for (auto [minutes, text] : {std::pair{90, "01:29:59"}, {60, "00:59:59"}, {30, "00:29:59"}}) {
        ASSERT_TRUE(c.Start(minutes));
        EXPECT_EQ(c.Text(), text);
    }
    // An hour crossed.
    ASSERT_TRUE(c.Start(61));
    EXPECT_EQ(c.Text(), "01:00:59");
    now += 59s;
    EXPECT_EQ(c.Text(), "01:00:00");
    now += 1s;
    EXPECT_EQ(c.Text(), "00:59:59");
    // A tick ten seconds late shows ten seconds gone, not one.
    now += 10s;
    EXPECT_EQ(c.Text(), "00:59:49");

    const examclock::TimePoint start = now;
    ASSERT_TRUE(c.Start(90));
    now = start + 90min - 1ms;
    EXPECT_FALSE(c.IsUp());
    EXPECT_EQ(c.Text(), "00:00:00");
    now = start + 90min;
    EXPECT_TRUE(c.IsUp());

    EXPECT_FALSE(c.Start(0));
    EXPECT_TRUE(c.IsUp());
    EXPECT_FALSE(c.Start(-30));
    EXPECT_TRUE(c.IsUp());
    EXPECT_EQ(examclock::TimeText(2 * 3600 + 5 * 60 + 9), "02:05:09");
    EXPECT_EQ(examclock::TimeText(100 * 3600 + 59), "100:00:59");
}

TEST(Countdown, PauseKeepsTheTimeLeftAndRestartSetsANewDeadline) {
    examclock::TimePoint now{100h};
    examclock::Countdown c([&] { return now; });
    c.Start(30);
    now += 5min;
    c.Pause();
    const QString shown = c.Text();
    now += 2h;  // longer than the whole run
    EXPECT_FALSE(c.IsUp());
    EXPECT_EQ(c.Text(), shown);
    c.Resume();
    now += 25min - 1s;
    EXPECT_FALSE(c.IsUp());
    now += 1s;
    EXPECT_TRUE(c.IsUp());
}

namespace {

class ExamTimerTest : public ExamTest {
protected:
    void SetUp() override {
        ExamTest::SetUp();
        // A learn bookmark marked deleted, of a question outside the run: ending the run removes it.
        gcnExam->Execute("INSERT INTO BookMark (QId,Deleted) VALUES (?,1)", {ofType("S", 1, "E").front()});
    }
    // The run ended as End Exam ends it: the answer on screen saved, the
    // run's bookmarks gone, the grade report up and every window of the run closed.
    void expectEndedByTime() {
        Settle();
        int sorry = 0;
        for (const MsgBoxCall& b : boxes) {
            if (b.text != "Sorry! You have exceeded the given time. The exam will end now") continue;
            ++sorry;
            EXPECT_EQ(b.icon(), vbInformation);
            EXPECT_EQ(b.title, "Exam Time...");
        }
        EXPECT_EQ(sorry, 1);
        EXPECT_TRUE(frmGrade.Visible());
        for (Form* f : std::initializer_list<Form*>{&frmExam, &frmDrag, &frmExhibit, &frmFlashCard, &frmSimulator,
                                                    &frmReview})
            EXPECT_FALSE(f->IsLoaded()) << f->Name().toStdString() << " is still loaded";
        EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM BookMarkExam").toInt(), 0);
        EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM BookMark where Deleted = 1").toInt(), 0);
    }
    void timeRunsOut() {
        advance(90min);
        frmExam.tmrExamTime_Timer();
    }
};

}  // namespace

TEST_F(ExamTimerTest, TheTickRedrawsFromTheDeadlineInThisWindowAndTheSideWindowUp) {
    const long long d = ofType("D").front();
    startRun({{d}}, Mode::Linear);
    EXPECT_EQ(frmExam.lblTime()->text(), "01:29:59");
    tick1s();
    EXPECT_EQ(frmExam.lblTime()->text(), "01:29:58");
    advance(10s);
    frmExam.tmrExamTime_Timer();
    EXPECT_EQ(frmExam.lblTime()->text(), "01:29:48");

    ASSERT_TRUE(WhileModal(frmDrag, [&] { Click(frmExam.cmdDND()); }, [&] {
        tick1s();
        EXPECT_EQ(frmDrag.lblTime()->text(), "01:29:47");
    }));
    ASSERT_TRUE(WhileModal(frmReview, [&] { Click(frmExam.cmdReview()); }, [&] {
        tick1s();
        EXPECT_EQ(frmReview.lblTime()->text(), "01:29:46");
    }));
    tick1s();
    EXPECT_EQ(frmExam.lblTime()->text(), "01:29:45");
    EXPECT_FALSE(frmDrag.IsLoaded()) << "a closed side window is not loaded again for the time";
    EXPECT_FALSE(frmReview.IsLoaded());
    // Exactly the exam time after the load, whatever the ticks did meanwhile.
    advance(90min - 14s - 1ms);
    frmExam.tmrExamTime_Timer();
    EXPECT_TRUE(frmExam.IsLoaded());
    advance(1ms);
    frmExam.tmrExamTime_Timer();
    expectEndedByTime();
}

TEST_F(ExamTimerTest, PauseStopsTheCountdownAndRestartGoesOnFromTheTimeLeft) {
    const long long s = ofType("S").front();
    startRun({{s}}, Mode::Learn, 30);
    Click(frmExam.cmdPauseTim());
    EXPECT_EQ(frmExam.cmdPauseTim()->text(), "Restart Timer");
    EXPECT_FALSE(frmExam.tmrExamTime()->isActive());
    advance(45min);
    Click(frmExam.cmdPauseTim());
    EXPECT_EQ(frmExam.cmdPauseTim()->text(), "Pause Timer");
    EXPECT_TRUE(frmExam.tmrExamTime()->isActive());
    tick1s();
    EXPECT_EQ(frmExam.lblTime()->text(), "00:29:58");
}

TEST_F(ExamTimerTest, TimeUpWithNoSideWindowSavesTheAnswerOnScreen) {
    const long long s = ofType("S").front();
    startRun({{s}}, Mode::Linear);
    Click(frmExam.BookMark());
    answerCorrectly(s);
    timeRunsOut();
    expectEndedByTime();
    EXPECT_EQ(chosen(s), std::vector<long long>{options(s, 1).front()});
}

TEST_F(ExamTimerTest, TimeUpClosesTheExhibitAndStillSavesTheTicksUnderIt) {
    const long long s = 10;  // has an exhibit
    startRun({{s}}, Mode::Linear);
    Click(frmExam.BookMark());
    answerWrongly(s);
    ASSERT_TRUE(WhileModal(frmExhibit, [&] { Click(frmExam.cmdExhibit()); }, [&] { timeRunsOut(); }));
    expectEndedByTime();
    EXPECT_EQ(chosen(s), std::vector<long long>{options(s, 0).front()});
}

TEST_F(ExamTimerTest, TimeUpClosesTheFlashCardToo) {
    const long long s = ofType("S").front();
    startRun({{s}}, Mode::Learn);
    answerCorrectly(s);
    ASSERT_TRUE(WhileModal(frmFlashCard, [&] { Click(frmExam.cmdFlash()); }, [&] { timeRunsOut(); }));
    expectEndedByTime();
    EXPECT_EQ(chosen(s).size(), 1u);
}

TEST_F(ExamTimerTest, TimeUpClosesTheDragWindowAndTheSimulatorWithAnExhibitOverIt) {
    const long long d = ofType("D").front();
    startRun({{d}}, Mode::Linear);
    ASSERT_TRUE(WhileModal(frmDrag, [&] { Click(frmExam.cmdDND()); }, [&] { timeRunsOut(); }));
    expectEndedByTime();

    boxes.clear();
    frmGrade.Unload();
    const long long sim = ofType("SIM").front();
    startRun({{sim}}, Mode::Linear);
    ASSERT_TRUE(WhileModal(frmSimulator, [&] { Click(frmExam.cmdSimulator()); }, [&] {
        // The simulator's own exhibit button opens the viewer over it.
        ASSERT_TRUE(WhileModal(frmExhibit, [&] { frmExhibit.Show(true); }, [&] { timeRunsOut(); }));
    }));
    expectEndedByTime();
}

TEST_F(ExamTimerTest, TimeUpWithTheReviewListOpenEndsThroughIt) {
    const auto q = ofType("S", 2);
    startRun({{q[0]}, {q[1]}}, Mode::Linear);
    answerCorrectly(q[0]);
    Click(frmExam.BookMark());
    ASSERT_TRUE(WhileModal(frmReview, [&] { Click(frmExam.cmdReview()); }, [&] { timeRunsOut(); }));
    expectEndedByTime();
    EXPECT_EQ(chosen(q[0]).size(), 1u);
}

TEST_F(ExamTimerTest, TimeUpWhileEndExamAsksEndsTheRunOnceAndTheQuestionDoesNothingMore) {
    const long long s = ofType("S").front();
    const long long outside = ofType("M").front();
    startRun({{s}}, Mode::Linear);
    SetMsgBoxHook([&](const MsgBoxCall& c) {
        boxes.push_back(c);
        if (c.text != "Do you want to end the exam") return int(vbOK);
        timeRunsOut();
        // Marked after the run ended: an End Exam going on would remove it.
        gcnExam->Execute("INSERT INTO BookMark (QId,Deleted) VALUES (?,1)", {outside});
        return int(vbYes);
    });
    Click(frmExam.cmdEndExam());
    EXPECT_EQ(boxTexts(), (std::vector<std::string>{"Do you want to end the exam",
                                                    "Sorry! You have exceeded the given time. The exam will end now"}));
    EXPECT_TRUE(frmGrade.Visible());
    EXPECT_FALSE(frmExam.IsLoaded());
    EXPECT_EQ(marks("BookMark", outside), 1);
}

// The same with the program's real boxes: the question box closes, and the
// exam window going does not take it along while its handler still waits.
TEST_F(ExamTimerTest, TimeUpClosesARealBoxThatIsWaiting) {
    const long long s = ofType("S").front();
    startRun({{s}}, Mode::Linear);
    SetMsgBoxHook(nullptr);
    std::vector<QString> seen;
    auto answerBox = [&](const QString& startsWith) {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible() && b->text().startsWith(startsWith)) {
                seen.push_back(b->text());
                b->accept();
            }
    };
    // A box left waiting is closed after a while, so a fault fails here rather than hangs.
    QObject watchdog;
    QTimer::singleShot(3000, &watchdog, [] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) b->reject();
    });
    QTimer::singleShot(20, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* b = qobject_cast<QMessageBox*>(w); b && b->isVisible()) seen.push_back(b->text());
        QTimer::singleShot(20, [&] { answerBox("Sorry!"); });
        timeRunsOut();
    });
    Click(frmExam.cmdEndExam());
    Settle();
    EXPECT_EQ(seen, (std::vector<QString>{"Do you want to end the exam",
                                          "Sorry! You have exceeded the given time. The exam will end now"}));
    EXPECT_TRUE(frmGrade.Visible());
    EXPECT_FALSE(frmExam.IsLoaded());
}

TEST_F(ExamTimerTest, EndExamAnsweredNoGoesOnAndYesHandsOverToTheGradeReport) {
    const auto q = ofType("M", 2);
    startRun({{q[0]}, {q[1]}}, Mode::Linear);
    Click(frmExam.BookMark());
    answerCorrectly(q[0]);
    answers.push_back(vbNo);
    Click(frmExam.cmdEndExam());
    const MsgBoxCall ask = lastBox();
    EXPECT_EQ(ask.text, "Do you want to end the exam");
    EXPECT_EQ(ask.buttons(), vbYesNo);
    EXPECT_EQ(ask.icon(), 0);
    EXPECT_EQ(ask.title, "End Exam");
    EXPECT_TRUE(frmExam.Visible());
    EXPECT_TRUE(frmExam.tmrExamTime()->isActive());
    EXPECT_TRUE(chosen(q[0]).empty());
    EXPECT_EQ(marks("BookMarkExam", q[0]), 1);

    Click(frmExam.cmdEndExam());
    EXPECT_EQ(chosen(q[0]), options(q[0], 1));
    EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM BookMarkExam").toInt(), 0);
    EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM BookMark where Deleted = 1").toInt(), 0);
    EXPECT_TRUE(frmGrade.Visible());
    EXPECT_FALSE(frmExam.IsLoaded());
    // The grade report's Close goes back to the sign-in window.
    Click(frmGrade.cmdClose());
    EXPECT_TRUE(frmLogin.Visible());
    EXPECT_FALSE(gblnExamMode);
}

// An exam time of 0 ends the run inside the exam window's load: one box, the
// sign-in window, and the mode window neither touches nor shows the exam window.
TEST_F(ExamTimerTest, NoExamTimeEndsTheRunAtOnceFromTheModeWindow) {
    gcnExam->Execute("UPDATE AdminConfig SET MaxTime = 0, Etype = 'L' where Index = 1");
    frmMode.Show();
    ASSERT_TRUE(frmMode.optLinear()->Value());
    Click(frmMode.cmdNext());
    Settle();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "TIME UP");
    EXPECT_EQ(boxes[0].icon(), vbInformation);
    EXPECT_EQ(boxes[0].title, "Exam Time");
    EXPECT_TRUE(frmLogin.Visible());
    EXPECT_FALSE(frmExam.IsLoaded());
    EXPECT_FALSE(frmMode.IsLoaded());
    EXPECT_TRUE(endRequests.empty());
}

// The ticks of a multiple-answer question on screen when the time runs out are
// its answer, and the grade report counts them.
TEST_F(ExamTimerTest, TimeUpSavesTheTicksOnScreenBeforeTheRunIsGraded) {
    gcnExam->Execute("UPDATE AdminConfig SET MaxScore = 100, PassPercentage = 50 where Index = 1");
    const long long s = ofType("S").front(), m = ofType("M").front();
    startRun({{s}, {m}}, Mode::Linear);
    answerCorrectly(s);
    Click(frmExam.cmdNext());
    ASSERT_EQ(gintCurQId, m);
    answerCorrectly(m);
    ASSERT_GE(options(m, 1).size(), 2u);
    EXPECT_TRUE(chosen(m).empty()) << "ticks are saved when the question is left";
    timeRunsOut();
    expectEndedByTime();
    EXPECT_EQ(chosen(m), options(m, 1));
    EXPECT_EQ(gintAdapScore, 2) << "both questions graded as answered correctly";
    EXPECT_EQ(frmGrade.lblScoreObt()->text(), "Score Obtained : 1000");
}
