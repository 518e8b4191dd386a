// The exam window in each of its states, and the side windows it opens, laid
// out as a person sees them: captions fit, question and option texts are as
// tall as their lines, nothing overlaps or is cut by a frame.
#include "exam/frmDrag.h"
#include "exam/frmExam.h"
#include "exam/frmExhibit.h"
#include "exam/frmFlashCard.h"
#include "results/frmGrade.h"
#include "results/frmReview.h"
#include "simulator/frmSimulator.h"
#include "startup/state.h"
#include "support/fixture.h"
#include "support/layout.h"

#include <QApplication>

using namespace plat;
using pemu_test::LayoutProblems;

namespace {

class ExamLayoutTest : public pemu_test::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        desktopFont_ = QApplication::font();
        QApplication::setFont(QFont("DejaVu Sans", 11));
    }
    void TearDown() override {
        ProgramTest::TearDown();
        QApplication::setFont(desktopFont_);
    }
    void expectClean(Form& form, const std::string& state) {
        std::string text;
        for (const auto& line : LayoutProblems(form.Window())) text += "\n  " + line;
        EXPECT_TRUE(text.empty()) << form.Name().toStdString() << " (" << state << "):" << text;
    }
    long long first(const std::string& type) {
        return gcnExam->Scalar("SELECT min(QId) FROM Questions where QType = ?", {type}).toInt();
    }
    // A run of one question of each type, options in stored order.
    void fillRun() {
        long long i = 1, a = 1;
        for (const char* t : {"M", "S", "D", "SIM"}) {
            const long long q = first(t);
            gcnExam->Execute("INSERT INTO QuestIds (Index,QId,DiffLvl) VALUES (?,?,'B')", {i++, q});
            Recordset rs = gcnExam->OpenRecordset("SELECT Index FROM Answers where QId = ? ORDER BY Index", {q});
            for (; !rs.Eof(); rs.MoveNext())
                gcnExam->Execute("INSERT INTO AnsIds (Index,AnsId,Qid) VALUES (?,?,?)", {a++, rs.Fields(0), q});
        }
    }
    void everyQuestion(const std::string& mode) {
        for (int n = 0; n < 4; ++n) {
            expectClean(frmExam, mode + ", " + frmExam.strQuestType.toStdString() + " question");
            frmExam.cmdNext()->click();
        }
    }

private:
    QFont desktopFont_;
};

}  // namespace

TEST_F(ExamLayoutTest, ExamWindowInLearnAndExamModeAndForAReopenedResult) {
    fillRun();
    gintExamTime = 90;
    frmExam.Show();
    everyQuestion("learn mode");
    frmExam.cmdPauseTim()->click();
    expectClean(frmExam, "paused");
    frmExam.Unload();

    gblnExamMode = true;
    frmExam.Show();
    everyQuestion("exam mode");
    frmExam.Unload();

    gblnExamMode = false;
    gblnFromResults = true;
    frmExam.Show();
    expectClean(frmExam, "reopened result");
}

TEST_F(ExamLayoutTest, TheSideWindowsTheReviewListAndTheGradeReport) {
    for (Form* f : std::initializer_list<Form*>{&frmDrag, &frmExhibit, &frmFlashCard, &frmSimulator, &frmReview}) {
        f->Show();
        expectClean(*f, "opened");
    }
    frmDrag.ShowTime("01:29:59");
    frmExhibit.ShowTime("01:29:59");
    frmFlashCard.ShowTime("01:29:59");
    frmSimulator.ShowTime("01:29:59");
    frmReview.ShowTime("01:29:59");
    for (Form* f : std::initializer_list<Form*>{&frmDrag, &frmExhibit, &frmFlashCard, &frmSimulator, &frmReview})
        expectClean(*f, "time shown");
    frmGrade.Show();
    expectClean(frmGrade, "a run ended");
    frmGrade.Unload();
    gblnFromResults = true;
    frmGrade.Show();
    expectClean(frmGrade, "a reopened result");
}
