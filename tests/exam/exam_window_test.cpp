// The exam window driven as a candidate drives it, on the real database: what
// a run starts with, each question type on screen, the answers and bookmarks
// it writes, Show Answer, fonts, scrolling and a reopened result.
#include "exam/answers.h"
#include "exam/frmDrag.h"
#include "exam/frmExam.h"
#include "exam/frmExhibit.h"
#include "exam/frmFlashCard.h"
#include "exam_fixture.h"
#include "results/frmGrade.h"
#include "results/frmReview.h"
#include "simulator/frmSimulator.h"
#include "startup/state.h"

#include <QTest>

#include <filesystem>
#include <fstream>

using namespace exam_test;
using namespace plat;

namespace {

class ExamWindowTest : public ExamTest {
protected:
    QString optionText(long long index) {
        return QString::fromStdString(
            gcnExam->Scalar("SELECT Answer FROM Answers where Index = ?", {index}).toString());
    }
    QColor background(QWidget* w) { return w->autoFillBackground() ? w->palette().color(QPalette::Window) : QColor(); }
    std::string consoleFile() {
        std::ifstream in(folder() / "SimCmds.txt", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
};

const QColor kGreen(0xC0, 0xFF, 0xC0);

}  // namespace

TEST_F(ExamWindowTest, ANewRunStartsWithNoAnswerAndShowsTheControlsOfItsMode) {
    const long long s = ofType("S").front(), d = ofType("D").front(), sim = ofType("SIM").front();
    // What a former run left behind.
    gcnExam->Execute("INSERT INTO AnsSelected (QId,Answer) VALUES (?,?)", {s, options(s, 1).front()});
    gcnExam->Execute("UPDATE DragNDrop SET AnsSel = Index, AnsRand = Index");
    gcnExam->Execute("UPDATE SimCommands SET CmdTyped = 1");
    gcnExam->Execute("INSERT INTO BookMarkExam (QId) VALUES (?)", {s});
    std::ofstream(folder() / "SimCmds.txt") << "[QID : 5]\r\nR1\r\n>\r\n[EOQ]\r\n";

    startRun({{s}, {d}, {sim}}, Mode::Learn);
    EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM AnsSelected").toInt(), 0);
    EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM DragNDrop where AnsSel <> 0 or AnsRand <> 0").toInt(), 0);
    EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM SimCommands where CmdTyped <> 0").toInt(), 0);
    EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM BookMarkExam").toInt(), 0) << "exam bookmarks of an unended run";
    EXPECT_TRUE(std::filesystem::exists(folder() / "SimCmds.txt"));
    EXPECT_EQ(consoleFile(), "");

    EXPECT_EQ(frmExam.Caption(), "EXAM");
    EXPECT_EQ(frmExam.lblTime()->text(), "01:29:59");
    EXPECT_TRUE(frmExam.lblTime()->font().bold());
    EXPECT_TRUE(frmExam.tmrExamTime()->isActive());
    EXPECT_EQ(frmExam.tmrExamTime()->interval(), 1000);
    EXPECT_EQ(frmExam.cmdDND()->text(), " &Drag && Drop");
    for (QWidget* w : std::initializer_list<QWidget*>{frmExam.chkBookMark(), frmExam.cmdShowAns(),
                                                      frmExam.cmdPauseTim(), frmExam.cmdFlash()})
        EXPECT_TRUE(w->isVisible()) << w->objectName().toStdString();
    EXPECT_FALSE(frmExam.BookMark()->isVisible());
    MenuStrip& m = frmExam.Menu();
    EXPECT_EQ(m.incFont->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_I));
    EXPECT_EQ(m.decFont->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    EXPECT_TRUE(m.print->isEnabled());
    frmExam.Unload();

    startRun({{s}, {d}}, Mode::Linear, 60);
    EXPECT_EQ(frmExam.lblTime()->text(), "00:59:59");
    for (QWidget* w : std::initializer_list<QWidget*>{frmExam.chkBookMark(), frmExam.cmdShowAns(),
                                                      frmExam.cmdPauseTim(), frmExam.cmdFlash()})
        EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
    EXPECT_TRUE(frmExam.BookMark()->isVisible());
    // Exit ends the program at once.
    frmExam.Menu().exit->trigger();
    EXPECT_EQ(endRequests, std::vector<int>{0});
}

TEST_F(ExamWindowTest, EachTypeShowsItsRowsInDisplayOrderAndRestoresTheChoices) {
    const long long s = 10;  // a single-answer question with an exhibit
    ASSERT_EQ(answers::TypeOf(*gcnExam, s), "S");
    const long long m = ofType("M").front(), d = ofType("D").front(), sim = ofType("SIM").front();
    // Stored text shows as stored: no access key, no markup.
    gcnExam->Execute("UPDATE Questions SET QName = 'Routers & switches: is <b>R1</b> up?' where QId = ?", {s});
    startRun({{s}, {m}, {d}, {sim}}, Mode::Learn);

    EXPECT_EQ(frmExam.lblQuest()(1)->text(), "Routers & switches: is <b>R1</b> up?");
    EXPECT_EQ(frmExam.lblQuest()(1)->textFormat(), Qt::PlainText);
    EXPECT_EQ(frmExam.strQuestType, "S");
    std::vector<long long> shown = options(s, 0);
    shown.push_back(options(s, 1).front());
    std::sort(shown.rbegin(), shown.rend());
    ASSERT_EQ(frmExam.intAnsLbls, static_cast<int>(shown.size()));
    for (int k = 1; k <= frmExam.intAnsLbls; ++k) {
        EXPECT_EQ(frmExam.lblAnswers()(k)->text(), optionText(shown[k - 1])) << "row " << k;
        EXPECT_TRUE(frmExam.optAnswer()(k)->isVisible());
        EXPECT_FALSE(frmExam.optAnswer()(k)->Value());
    }
    EXPECT_TRUE(frmExam.cmdExhibit()->isEnabled());
    EXPECT_FALSE(frmExam.cmdDND()->isEnabled());
    EXPECT_EQ(frmExam.lblQId()->text(), QString::number(s));
    EXPECT_EQ(frmExam.lblQno()->text(), "1");
    EXPECT_EQ(frmExam.lblTot()->text(), "4");
    // The option's text is clicked: the option is chosen.
    QTest::mouseClick(frmExam.lblAnswers()(2), Qt::LeftButton);
    EXPECT_TRUE(frmExam.optAnswer()(2)->Value());

    Click(frmExam.cmdNext());
    EXPECT_EQ(frmExam.strQuestType, "M");
    EXPECT_EQ(frmExam.lblQno()->text(), "2");
    EXPECT_FALSE(frmExam.cmdExhibit()->isEnabled());
    const auto right = options(m, 1);
    tick(right);
    QTest::mouseClick(frmExam.lblAnswers()(rowOf(options(m, 0).front())), Qt::LeftButton);
    QTest::mouseClick(frmExam.lblAnswers()(rowOf(options(m, 0).front())), Qt::LeftButton);  // and off again

    Click(frmExam.cmdNext());
    EXPECT_EQ(frmExam.strQuestType, "D");
    EXPECT_EQ(frmExam.intAnsLbls, 0);
    EXPECT_TRUE(frmExam.cmdDND()->isEnabled());
    EXPECT_FALSE(frmExam.cmdSimulator()->isEnabled());
    Click(frmExam.cmdNext());
    EXPECT_EQ(frmExam.strQuestType, "SIM");
    EXPECT_TRUE(frmExam.cmdSimulator()->isEnabled());
    EXPECT_FALSE(frmExam.cmdDND()->isEnabled());

    // Back at the earlier questions their choices are shown again.
    Click(frmExam.cmdPrev());
    Click(frmExam.cmdPrev());
    ASSERT_EQ(gintCurQId, m);
    for (int k = 1; k <= frmExam.intAnsLbls; ++k) {
        const bool isRight = std::count(right.begin(), right.end(), optionAt(k)) > 0;
        EXPECT_EQ(frmExam.chkAnswer()(k)->Value(), isRight ? 1 : 0) << "row " << k;
    }
    Click(frmExam.cmdPrev());
    EXPECT_TRUE(frmExam.optAnswer()(2)->Value());
    EXPECT_EQ(chosen(s), std::vector<long long>{shown[1]});
}

TEST_F(ExamWindowTest, LeavingAQuestionSavesItsTicksAndNothingForTheOtherTypes) {
    const long long m = ofType("M").front(), d = ofType("D").front(), s = ofType("S").front();
    startRun({{m}, {d}, {s}}, Mode::Linear);
    const auto right = options(m, 1);
    ASSERT_GE(right.size(), 2u);
    tick(right);
    EXPECT_TRUE(chosen(m).empty()) << "ticks are saved when the question is left";
    Click(frmExam.cmdNext());
    EXPECT_EQ(chosen(m), right);

    // Whatever stands for the drag-and-drop question is its own window's.
    gcnExam->Execute("INSERT INTO AnsSelected (QId,Answer) VALUES (?,?)", {d, 1});
    Click(frmExam.cmdNext());
    EXPECT_EQ(chosen(d), std::vector<long long>{1});

    Click(frmExam.cmdPrev());
    Click(frmExam.cmdPrev());
    tick(right);  // clears both
    Click(frmExam.cmdNext());
    EXPECT_TRUE(chosen(m).empty()) << "a question cleared again counts as unanswered";
}

TEST_F(ExamWindowTest, BookmarkBoxesKeepTheirListsAcrossLeavingAndTheReviewList) {
    const auto q = ofType("S", 3);
    startRun({{q[0]}, {q[1]}}, Mode::Learn);
    Click(frmExam.chkBookMark());
    EXPECT_EQ(marks("BookMark", q[0]), 1);
    frmExam.chkBookMark()->SetValue(0);
    EXPECT_EQ(marks("BookMark", q[0]), 0);
    Click(frmExam.chkBookMark());

    // The review list closed without a jump: the box still shows the mark.
    ASSERT_TRUE(WhileModal(frmReview, [&] { Click(frmExam.cmdReview()); }, [&] { Click(frmReview.cmdClose()); }));
    EXPECT_EQ(marks("BookMark", q[0]), 1);
    EXPECT_EQ(frmExam.chkBookMark()->Value(), 1);
    // Leaving and coming back: still one mark, shown.
    Click(frmExam.cmdNext());
    EXPECT_EQ(frmExam.chkBookMark()->Value(), 0);
    Click(frmExam.cmdPrev());
    EXPECT_EQ(frmExam.chkBookMark()->Value(), 1);
    Click(frmExam.cmdNext());
    Click(frmExam.cmdPrev());
    EXPECT_EQ(marks("BookMark", q[0]), 1);
    frmExam.Unload();

    // Exam mode: the run's own list, emptied when the run ends.
    gcnExam->Execute("INSERT INTO BookMark (QId,Deleted) VALUES (?,1)", {q[2]});
    startRun({{q[0]}, {q[1]}}, Mode::Linear);
    Click(frmExam.BookMark());
    EXPECT_EQ(marks("BookMarkExam", q[0]), 1);
    Click(frmExam.cmdNext());
    EXPECT_EQ(frmExam.BookMark()->Value(), 0);
    Click(frmExam.cmdPrev());
    EXPECT_EQ(frmExam.BookMark()->Value(), 1);
    Click(frmExam.cmdEndExam());
    EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM BookMarkExam").toInt(), 0);
    EXPECT_EQ(marks("BookMark", q[2]), 0) << "learn bookmarks marked deleted go at the end";
    EXPECT_EQ(marks("BookMark", q[0]), 1);
    EXPECT_TRUE(frmGrade.Visible());
    EXPECT_FALSE(frmExam.IsLoaded());
}

// Leaving a question clears the learn box and writes the mark again: a failure
// between the two must not cost the question its kept bookmark.
TEST_F(ExamWindowTest, AFailedRewriteOfTheLearnBookmarkKeepsIt) {
    const auto q = ofType("S", 2);
    startRun({{q[0]}, {q[1]}}, Mode::Learn);
    Click(frmExam.chkBookMark());
    ASSERT_EQ(marks("BookMark", q[0]), 1);
    gcnExam->ExecScript("CREATE TRIGGER refuse BEFORE INSERT ON BookMark BEGIN SELECT RAISE(ABORT, 'disk full'); END;");
    Click(frmExam.cmdReview());
    EXPECT_FALSE(endRequests.empty()) << "the failure ends the program as a run-time error";
    EXPECT_EQ(marks("BookMark", q[0]), 1);
}

// The set-up window starts a run of bookmarked questions with the box ticked.
TEST_F(ExamWindowTest, ABookmarkRunStartsWithTheLearnBoxTicked) {
    const auto q = ofType("S", 2);
    gcnExam->Execute("INSERT INTO BookMark (QId) VALUES (?)", {q[1]});
    fillRun({{q[0]}, {q[1]}});
    gintExamTime = 30;
    frmExam.TickLearnBookMark();
    ASSERT_TRUE(frmExam.IsLoaded());
    EXPECT_EQ(frmExam.chkBookMark()->Value(), 1);
    EXPECT_EQ(marks("BookMark", q[0]), 1);
    frmExam.Unload();

    gintExamTime = 0;  // the load ends the run: nothing is loaded again or ticked
    frmExam.TickLearnBookMark();
    EXPECT_FALSE(frmExam.IsLoaded());
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"TIME UP"});
}

TEST_F(ExamWindowTest, ShowAnswerColoursTheCorrectOptionsAndOpensTheModelAnswers) {
    const long long m = ofType("M").front(), s = ofType("S").front(), d = ofType("D").front();
    startRun({{m}, {s}, {d}}, Mode::Learn);
    Click(frmExam.cmdShowAns());
    const auto right = options(m, 1);
    for (int k = 1; k <= frmExam.intAnsLbls; ++k) {
        const bool isRight = std::count(right.begin(), right.end(), optionAt(k)) > 0;
        EXPECT_EQ(background(frmExam.lblAnswers()(k)), isRight ? kGreen : QColor()) << "row " << k;
        EXPECT_EQ(frmExam.chkAnswer()(k)->Value(), 0);
    }
    Click(frmExam.cmdNext());
    EXPECT_TRUE(chosen(m).empty());
    Click(frmExam.cmdShowAns());
    int green = 0;
    for (int k = 1; k <= frmExam.intAnsLbls; ++k) green += background(frmExam.lblAnswers()(k)) == kGreen;
    EXPECT_EQ(green, 1);
    EXPECT_EQ(background(frmExam.lblAnswers()(rowOf(options(s, 1).front()))), kGreen);

    Click(frmExam.cmdNext());
    bool readOnly = false;
    ASSERT_TRUE(WhileModal(frmDrag, [&] { Click(frmExam.cmdShowAns()); }, [&] {
        readOnly = frmExam.mblnFromShAns;
        EXPECT_EQ(frmDrag.lblQId()->text(), QString::number(d));
    }));
    EXPECT_TRUE(readOnly);
    EXPECT_FALSE(frmExam.mblnFromShAns);
    // The drag button afterwards opens the window for answering.
    ASSERT_TRUE(WhileModal(frmDrag, [&] { Click(frmExam.cmdDND()); }, [&] { readOnly = frmExam.mblnFromShAns; }));
    EXPECT_FALSE(readOnly);
}

TEST_F(ExamWindowTest, FontItemsStopAtTheirLimitsAndLaterQuestionsTakeTheSize) {
    const auto q = ofType("S", 2);
    startRun({{q[0]}, {q[1]}}, Mode::Learn);
    MenuStrip& m = frmExam.Menu();
    EXPECT_DOUBLE_EQ(frmExam.lblQuest()(1)->font().pointSizeF(), 11.25);
    int steps = 0;
    while (m.incFont->isEnabled() && steps < 10) {
        m.incFont->trigger();
        ++steps;
    }
    EXPECT_EQ(steps, 3);
    EXPECT_DOUBLE_EQ(frmExam.lblQuest()(1)->font().pointSizeF(), 14.25);
    EXPECT_DOUBLE_EQ(frmExam.lblAnswers()(1)->font().pointSizeF(), 14.25);
    EXPECT_DOUBLE_EQ(frmExam.optAnswer()(1)->font().pointSizeF(), 14.25);
    // The rows follow the larger text: none overlaps the next.
    for (int k = 2; k <= frmExam.intAnsLbls; ++k)
        EXPECT_LE(frmExam.lblAnswers()(k - 1)->geometry().bottom(), frmExam.lblAnswers()(k)->y());
    Click(frmExam.cmdNext());
    EXPECT_DOUBLE_EQ(frmExam.lblQuest()(1)->font().pointSizeF(), 14.25);
    EXPECT_DOUBLE_EQ(frmExam.lblAnswers()(1)->font().pointSizeF(), 14.25);
    steps = 0;
    while (m.decFont->isEnabled() && steps < 10) {
        m.decFont->trigger();
        ++steps;
    }
    EXPECT_EQ(steps, 3);
    EXPECT_DOUBLE_EQ(frmExam.lblQuest()(1)->font().pointSizeF(), 11.25);
    EXPECT_TRUE(m.incFont->isEnabled());
}

TEST_F(ExamWindowTest, AQuestionTallerThanTheFrameScrolls) {
    const auto q = ofType("S", 2);
    std::string words;
    for (int i = 0; i < 120; ++i) words += "segment ";
    gcnExam->Execute("UPDATE Answers SET Answer = ? where QId = ?", {words, q[0]});
    startRun({{q[0]}, {q[1]}}, Mode::Learn);
    QScrollBar* bar = frmExam.vsbQuestion();
    ASSERT_TRUE(bar->isVisible());
    const int last = frmExam.intAnsLbls;
    const int bottom = Twips(frmExam.lblAnswers()(last)->geometry().y() + frmExam.lblAnswers()(last)->height());
    EXPECT_NEAR(bar->maximum(), bottom, 15);
    std::vector<int> tops;
    for (int k = 1; k <= last; ++k) tops.push_back(frmExam.lblAnswers()(k)->y());
    const int questionTop = frmExam.lblQuest()(1)->y();
    bar->setValue(300);
    EXPECT_EQ(frmExam.lblQuest()(1)->y(), questionTop - 20);
    for (int k = 1; k <= last; ++k) {
        EXPECT_EQ(frmExam.lblAnswers()(k)->y(), tops[k - 1] - 20);
        EXPECT_EQ(frmExam.optAnswer()(k)->y(), tops[k - 1] - 20);
    }
    // The next question starts at its top, without a scroll bar.
    Click(frmExam.cmdNext());
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(bar->value(), 0);
}

// A run without questions (or a window whose former run left members behind):
// every control does nothing harmful.
TEST_F(ExamWindowTest, WithNoQuestionOnScreenEveryHandlerIsHarmless) {
    const long long m = ofType("M").front();
    startRun({{m}}, Mode::Learn);
    tick(options(m, 1));
    Click(frmExam.cmdShowAns());
    Click(frmExam.chkBookMark());
    Click(frmExam.cmdEndExam());
    ASSERT_FALSE(frmExam.IsLoaded());
    const long long markRows = gcnExam->Scalar("SELECT count(*) FROM BookMark").toInt();

    startRun({}, Mode::Learn);
    EXPECT_EQ(frmExam.intQuestLbls, 0);
    EXPECT_EQ(frmExam.lblTime()->text(), "01:29:59");
    Click(frmExam.cmdNext());
    Click(frmExam.cmdPrev());
    Click(frmExam.cmdShowAns());
    Click(frmExam.chkBookMark());
    frmExam.Menu().incFont->trigger();
    frmExam.vsbQuestion()->setValue(100);
    ASSERT_TRUE(WhileModal(frmReview, [&] { Click(frmExam.cmdReview()); }, [] {}));
    EXPECT_EQ(boxTexts(), std::vector<std::string>{"Do you want to end the exam"});
    EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM AnsSelected").toInt(), 0);
    EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM BookMark").toInt(), markRows);
    tick1s();
    EXPECT_EQ(frmExam.lblTime()->text(), "01:29:58");
}

// The grade report of a reopened result opens the window modally and read-only.
TEST_F(ExamWindowTest, AReopenedResultIsShownReadOnlyWithoutATimer) {
    const long long m = ofType("M").front(), s = ofType("S").front();
    fillRun({{m}, {s}});
    const auto right = options(m, 1);
    for (long long a : right) gcnExam->Execute("INSERT INTO AnsSelected (QId,Answer) VALUES (?,?)", {m, a});
    gcnExam->Execute("UPDATE DragNDrop SET AnsSel = Index");
    std::ofstream(folder() / "SimCmds.txt") << "kept";
    gblnFromResults = true;
    frmGrade.Show();
    ASSERT_EQ(frmGrade.cmdSave()->text(), "Review Questions");

    ASSERT_TRUE(WhileModal(frmExam, [&] { Click(frmGrade.cmdSave()); }, [&] {
        EXPECT_EQ(frmExam.cmdEndExam()->text(), "Close");
        EXPECT_FALSE(frmExam.cmdReview()->isEnabled());
        EXPECT_FALSE(frmExam.cmdPauseTim()->isVisible());
        EXPECT_FALSE(frmExam.BookMark()->isVisible());
        EXPECT_FALSE(frmExam.tmrExamTime()->isActive());
        EXPECT_EQ(frmExam.lblTime()->text(), "Time");
        EXPECT_FALSE(frmExam.lblQuest()(1)->isEnabled());
        for (int k = 1; k <= frmExam.intAnsLbls; ++k) {
            const bool isRight = std::count(right.begin(), right.end(), optionAt(k)) > 0;
            EXPECT_FALSE(frmExam.chkAnswer()(k)->isEnabled());
            EXPECT_FALSE(frmExam.lblAnswers()(k)->isEnabled());
            EXPECT_EQ(frmExam.chkAnswer()(k)->Value(), isRight ? 1 : 0);
        }
        frmExam.chkAnswer()(1)->SetValue(frmExam.chkAnswer()(1)->Value() ? 0 : 1);
        Click(frmExam.cmdNext());
        Click(frmExam.cmdPrev());
        frmExam.tmrExamTime_Timer();
        EXPECT_EQ(frmExam.lblTime()->text(), "Time");
        Click(frmExam.cmdEndExam());
    }));
    EXPECT_FALSE(frmExam.IsLoaded());
    EXPECT_EQ(chosen(m), right) << "looking through a result writes nothing";
    EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM DragNDrop where AnsSel <> Index").toInt(), 0);
    EXPECT_EQ(consoleFile(), "kept");
    EXPECT_TRUE(frmGrade.IsLoaded());
}

// Each side window opens over the window whose button opened it and
// is owned by it while it is up, so the window manager keeps it there; the
// exhibit opened from the simulator belongs to the simulator.
TEST_F(ExamWindowTest, SideWindowsOpenOverTheWindowThatOpenedThem) {
    const long long s = 10;  // has an exhibit and an explanation
    const long long d = ofType("D").front();
    const long long sim = gcnExam->Scalar("SELECT min(QId) FROM Questions where QType = 'SIM' and ExhibitPath <> 'NA'").toInt();
    startRun({{s}, {d}, {sim}}, Mode::Learn);
    frmExam.Window()->move(150, 100);
    auto expectOver = [](Form& side, Form& opener, const std::string& what) {
        QWidget* w = side.Window();
        EXPECT_EQ(w->parentWidget(), opener.Window()) << what;
        EXPECT_TRUE(w->isWindow()) << what;
        // Over its opener (centred as far as the screen allows).
        EXPECT_TRUE(opener.Window()->frameGeometry().contains(w->frameGeometry().center()))
            << what << " is not over " << opener.Name().toStdString();
    };
    ASSERT_TRUE(WhileModal(frmFlashCard, [&] { Click(frmExam.cmdFlash()); },
                           [&] { expectOver(frmFlashCard, frmExam, "flash card"); }));
    ASSERT_TRUE(WhileModal(frmExhibit, [&] { Click(frmExam.cmdExhibit()); },
                           [&] { expectOver(frmExhibit, frmExam, "exhibit"); }));
    ASSERT_TRUE(WhileModal(frmReview, [&] { Click(frmExam.cmdReview()); },
                           [&] { expectOver(frmReview, frmExam, "review list"); }));
    Click(frmExam.cmdNext());
    ASSERT_EQ(gintCurQId, d);
    ASSERT_TRUE(WhileModal(frmDrag, [&] { Click(frmExam.cmdDND()); },
                           [&] { expectOver(frmDrag, frmExam, "drag and drop"); }));
    Click(frmExam.cmdNext());
    ASSERT_EQ(gintCurQId, sim);
    ASSERT_TRUE(WhileModal(frmSimulator, [&] { Click(frmExam.cmdSimulator()); }, [&] {
        expectOver(frmSimulator, frmExam, "simulator");
        frmSimulator.Window()->move(frmSimulator.Window()->pos() + QPoint(40, 30));
        ASSERT_TRUE(WhileModal(frmExhibit, [&] { Click(frmSimulator.cmdShwExh()); },
                               [&] { expectOver(frmExhibit, frmSimulator, "the simulator's exhibit"); }));
    }));
}
