// The review list through the exam window, as a candidate uses it: the rows
// with their bookmarks and answer marks, the time, jumping to a question or
// to the first unanswered one, and ending the exam from the list.
#include "exam/frmExam.h"
#include "results/frmGrade.h"
#include "results/frmReview.h"
#include "run.h"
#include "startup/state.h"
#include "support/pipewatch.h"
#include "window_fixture.h"

#include <QHeaderView>
#include <QLabel>
#include <QTest>

using namespace plat;
using namespace results_test;
namespace fs = std::filesystem;

namespace {

class ReviewWindowTest : public WindowTest {
protected:
    // The mark a row shows: "correct", "incorrect" or "" (no picture).
    std::string mark(int row) {
        auto* label = qobject_cast<QLabel*>(frmReview.msgReview()->cellWidget(row, 3));
        if (!label || label->pixmap().isNull()) return "";
        const QImage shown = label->pixmap().toImage();
        for (const char* name : {"correct", "incorrect"}) {
            const QPixmap file(QString::fromStdString((folder() / (std::string(name) + ".gif")).string()));
            if (shown == file.toImage()) return name;
        }
        return "some other picture";
    }
    bool highlighted(int row) {
        bool all = true, any = false;
        for (int c = 0; c < 4; ++c) {
            const QTableWidgetItem* item = frmReview.msgReview()->item(row, c);
            EXPECT_NE(item, nullptr) << "row " << row << " has no cell " << c;
            const bool on = item && item->background().color() == QColor(255, 128, 128);
            all = all && on;
            any = any || on;
        }
        EXPECT_EQ(all, any) << "row " << row << " is highlighted in part";
        return all;
    }
    // A double-click as the mouse makes it: press, release, double-click, release.
    static void doubleClick(QTableWidget* g, QPoint at) {
        QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseRelease(g->viewport(), Qt::LeftButton, {}, at);
    }
    ::testing::AssertionResult review(const std::function<void()>& inside) {
        return WhileModal(frmReview, [] { Click(frmExam.cmdReview()); }, inside);
    }
    // Chooses the correct option of the "S" question on screen.
    void answerOnScreen() {
        const long long right = gcnExam->Scalar("SELECT min(Index) FROM Answers where QId = ? and CorrectAns = 1",
                                                {static_cast<long long>(gintCurQId)})
                                    .toInt();
        const long long row = count("SELECT count(*) FROM AnsIds where Qid = " + std::to_string(gintCurQId) +
                                    " and AnsId <= " + std::to_string(right));
        Click(frmExam.optAnswer()(static_cast<int>(row)));
    }
};

}  // namespace

TEST_F(ReviewWindowTest, EveryQuestionWithItsBookmarkAndWhetherItIsAnswered) {
    gcnExam->Execute("INSERT INTO Questions (QId,QName,DiffLevel,QType,CatInd,ExhibitPath,Expln) "
                     "VALUES (9001,'Odd one out','B','X',1,'NA','NA')");
    gcnExam->Execute("INSERT INTO Questions (QId,QName,DiffLevel,QType,CatInd,ExhibitPath,Expln) "
                     "VALUES (9002,'Category gone','B','S',999,'NA','NA')");
    const long long m = Pick(*gcnExam, "M"), s = Pick(*gcnExam, "S"), d = Pick(*gcnExam, "D"),
                    sim = Pick(*gcnExam, "SIM"), s2 = Pick(*gcnExam, "S", 1);
    run({m, s, d, sim, 9002, s2, 9001});
    gcnExam->Execute("INSERT INTO BookMark (QId) VALUES (?)", {m});
    gcnExam->Execute("INSERT INTO BookMark (QId) VALUES (?)", {s2});
    gcnExam->Execute("INSERT INTO BookMark (QId) VALUES (?)", {s2});  // twice is no bookmark
    gstrCandName = "Ann O'Neil";
    gstrExamName = "Network Associate Practice Exam";
    showExam(false, 7);
    ASSERT_EQ(gintCurQId, m);
    // Answers the other windows record: a choice, one drop, one command typed.
    Answer(*gcnExam, s, false);
    gcnExam->Execute("UPDATE DragNDrop SET AnsSel = Index where Index = (SELECT min(Index) FROM DragNDrop where QId = ?)",
                     {d});
    gcnExam->Execute("UPDATE SimCommands SET CmdTyped = 1 where Index = (SELECT min(Index) FROM SimCommands "
                     "where QId = ?)",
                     {sim});
    gcnExam->Execute("INSERT INTO BookMarkExam (QId) VALUES (?)", {d});

    ASSERT_TRUE(review([&] {
        EXPECT_EQ(frmReview.Caption(), "Review ");
        QTableWidget* g = frmReview.msgReview();
        std::vector<QString> headers;
        for (int c = 0; c < g->columnCount(); ++c) headers.push_back(header(g, c));
        EXPECT_EQ(headers, (std::vector<QString>{"S.No", "QID", "Question", "Attempted"}));
        EXPECT_GT(g->columnWidth(2), 3 * (g->columnWidth(0) + g->columnWidth(1) + g->columnWidth(3)));

        // The question whose category is gone is left out; the others in run order.
        ASSERT_EQ(g->rowCount(), 6);
        const std::vector<long long> index = {1, 2, 3, 4, 6, 7}, qid = {m, s, d, sim, s2, 9001};
        for (int r = 0; r < 6; ++r) {
            EXPECT_EQ(cell(g, r, 0), QString::number(index[r]));
            EXPECT_EQ(cell(g, r, 1), QString::number(qid[r]));
            EXPECT_EQ(cell(g, r, 2).toStdString(),
                      gcnExam->Scalar("SELECT QName FROM Questions where QId = ?", {qid[r]}).toString());
            for (int c = 0; c < 4; ++c) {
                const QTableWidgetItem* item = g->item(r, c);
                ASSERT_NE(item, nullptr) << "row " << r << " has no cell " << c;
                EXPECT_EQ(item->toolTip(), "Please Double click to go to that question.");
            }
        }
        ASSERT_NE(g->horizontalHeaderItem(0), nullptr);
        EXPECT_TRUE(g->horizontalHeaderItem(0)->toolTip().isEmpty());
        EXPECT_EQ(g->toolTip(), "") << "the header row and the margins have no tooltip";

        // Answered says nothing of right or wrong; a type without answers gets no picture.
        EXPECT_EQ(mark(0), "incorrect");
        EXPECT_EQ(mark(1), "correct");
        EXPECT_EQ(mark(2), "correct") << "one drop answers a drag-and-drop question";
        EXPECT_EQ(mark(3), "correct") << "one command answers a simulation";
        EXPECT_EQ(mark(4), "incorrect");
        EXPECT_EQ(mark(5), "");

        EXPECT_TRUE(highlighted(0)) << "a learn-mode bookmark in learn mode";
        EXPECT_FALSE(highlighted(1));
        EXPECT_TRUE(highlighted(2)) << "an exam bookmark";
        EXPECT_FALSE(highlighted(4)) << "two bookmark rows are no bookmark";
        EXPECT_EQ(frmReview.lblColor()->palette().color(QPalette::Window), QColor(255, 128, 128));

        EXPECT_EQ(frmReview.lblCandName1()->text(), "Ann O'Neil");
        EXPECT_EQ(frmReview.lblExamName1()->text(), "Network Associate Practice Exam");
        now_ += std::chrono::seconds(2);
        frmExam.tmrExamTime_Timer();
        EXPECT_EQ(frmExam.lblTime()->text(), "00:59:57");
        EXPECT_EQ(frmReview.lblTime()->text(), "00:59:57");
        EXPECT_FALSE(frmReview.Menu().print->isEnabled());
    }));
    frmExam.Unload();

    // Exam mode: the learn-mode bookmark does not count.
    showExam(true, 7);
    gcnExam->Execute("INSERT INTO BookMarkExam (QId) VALUES (?)", {d});
    ASSERT_TRUE(review([&] {
        EXPECT_FALSE(highlighted(0));
        EXPECT_TRUE(highlighted(2));
    }));
}

TEST_F(ReviewWindowTest, JumpsToAQuestionOrTheFirstUnansweredAndEndsTheExam) {
    const long long q1 = Pick(*gcnExam, "S"), q2 = Pick(*gcnExam, "S", 1), q3 = Pick(*gcnExam, "S", 2);
    run({q1, q2, q3});
    showExam(true, 3);
    answerOnScreen();
    gcnExam->Execute("INSERT INTO BookMarkExam (QId) VALUES (?)", {q3});

    // A double-click on the third row shows its question with its bookmark.
    ASSERT_TRUE(review([&] {
        QTableWidget* g = frmReview.msgReview();
        frmReview.msgReview_DblClick(-1);
        frmReview.msgReview_DblClick(g->rowCount());
        EXPECT_TRUE(frmReview.IsLoaded()) << "a double-click off the rows does nothing";
        const QRect r = g->visualItemRect(g->item(2, 2));
        doubleClick(g, r.center());
        EXPECT_FALSE(frmReview.IsLoaded());
    }));
    EXPECT_EQ(frmExam.mintCurQuesInd, 3);
    EXPECT_EQ(gintCurQId, q3);
    EXPECT_EQ(frmExam.BookMark()->Value(), 1);
    EXPECT_FALSE(gblnRevUnAns);

    // The first unanswered question, and from then on unanswered ones only.
    ASSERT_TRUE(review([&] { Click(frmReview.cmdRevUnAns()); }));
    EXPECT_EQ(gintCurQId, q2);
    EXPECT_TRUE(gblnRevUnAns);
    answerOnScreen();
    Click(frmExam.cmdNext());
    EXPECT_EQ(gintCurQId, q3);
    answerOnScreen();

    // None left: the list says so and stays; the exam window keeps its question.
    ASSERT_TRUE(review([&] {
        EXPECT_FALSE(gblnRevUnAns) << "every opening of the list starts normal navigation";
        EXPECT_EQ(mark(2), "correct") << "Review saved the answer on screen first";
        Click(frmReview.cmdRevUnAns());
        const MsgBoxCall said = lastBox();
        EXPECT_EQ(said.text, "No Unanswered Question");
        EXPECT_EQ(said.title, "Exam Questions");
        EXPECT_EQ(said.icon(), vbInformation);
        EXPECT_TRUE(frmReview.IsLoaded());
        EXPECT_EQ(gintCurQId, q3);
        Click(frmReview.cmdGrade());
    }));
    EXPECT_FALSE(frmExam.IsLoaded());
    EXPECT_FALSE(frmReview.IsLoaded());
    EXPECT_TRUE(frmGrade.Visible());
    EXPECT_EQ(count("SELECT count(*) FROM BookMarkExam"), 0);
    EXPECT_EQ(count("SELECT count(*) FROM AnsSelected"), 3) << "ending from the list keeps every answer";
    EXPECT_EQ(frmGrade.mintScoreObt, 10000);
}

// Without the two pictures the list still opens, showing no mark.
TEST_F(ReviewWindowTest, MissingMarksShowNothingAndAnAdaptiveExamListsWhatWasIssued) {
    fs::remove(folder() / "correct.gif");
    fs::remove(folder() / "incorrect.gif");
    const long long q1 = Pick(*gcnExam, "S"), q2 = Pick(*gcnExam, "S", 1), q3 = Pick(*gcnExam, "S", 2),
                    q4 = Pick(*gcnExam, "S", 3);
    run({q1, q2, q3, q4});
    gcnExam->Execute("UPDATE QuestIds SET Attempted = 1, ExamQIdsOrder = 1 where Index = 3");
    gcnExam->Execute("UPDATE QuestIds SET Attempted = 1, ExamQIdsOrder = 2 where Index = 1");
    Answer(*gcnExam, q3, true);
    // The answered rule asked from outside does not load the window.
    EXPECT_TRUE(frmReview.chkQuesAnswered(static_cast<int16_t>(q3)));
    EXPECT_FALSE(frmReview.chkQuesAnswered(static_cast<int16_t>(q1)));
    EXPECT_FALSE(frmReview.IsLoaded());
    gblnExamMode = true;
    gblnAdaptive = true;
    frmReview.Show();
    QTableWidget* g = frmReview.msgReview();
    // Questions never issued were never shown, are not graded and are not
    // saved: they are not offered either.
    ASSERT_EQ(g->rowCount(), 2);
    EXPECT_EQ(cell(g, 0, 1), QString::number(q3));
    EXPECT_EQ(cell(g, 1, 1), QString::number(q1));
    EXPECT_EQ(mark(0), "");
    EXPECT_EQ(mark(1), "");
    EXPECT_TRUE(boxes.empty());
}

// A pipe in place of the answered mark would hold the list's opening for
// good: the list opens at once, the answered row shows no mark and the other
// mark still shows.
TEST_F(ReviewWindowTest, APipeInPlaceOfAMarkOpensTheListWithoutThatMark) {
    const long long q1 = Pick(*gcnExam, "S"), q2 = Pick(*gcnExam, "S", 1);
    run({q1, q2});
    Answer(*gcnExam, q1, true);
    const QImage cross = QPixmap(QString::fromStdString((folder() / "incorrect.gif").string())).toImage();
    ASSERT_FALSE(cross.isNull());
    fs::remove(folder() / "correct.gif");
    {
        pemu_test::PipeWatch pipe(folder() / "correct.gif");
        frmReview.Show();
        EXPECT_FALSE(pipe.opened()) << "the list opened the pipe and waited on it";
    }
    ASSERT_EQ(frmReview.msgReview()->rowCount(), 2);
    auto shown = [](int row) {
        auto* l = qobject_cast<QLabel*>(frmReview.msgReview()->cellWidget(row, 3));
        return l ? l->pixmap().toImage() : QImage();
    };
    EXPECT_TRUE(shown(0).isNull());
    EXPECT_EQ(shown(1), cross);
    EXPECT_TRUE(boxes.empty());
}
