// The mode window driven as a person would, against the real database: what it
// offers from the configuration, the option chains, and what each mode hands on.
#include "bank.h"
#include "config/frmAdminConfig.h"
#include "exam/FrmSettings.h"
#include "exam/frmExam.h"
#include "exam/frmMode.h"
#include "results/frmResBrief.h"
#include "signin/frmLogin.h"
#include "startup/module1.h"
#include "support/fixture.h"

#include <QDate>
#include <QTest>
#include <QTime>

#include <algorithm>
#include <set>

using namespace exam_test;
using namespace plat;

namespace {

class ModeTest : public pemu_test::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        bank = GappedBank(80);
        ReplaceBank(*gcnExam, bank);
        FrmSettings.SetSeedForTesting(99);
    }
    void TearDown() override {
        FrmSettings.SetSeedForTesting(std::nullopt);
        ProgramTest::TearDown();
    }
    void config(const std::string& column, const Value& v) {
        gcnExam->Execute("UPDATE AdminConfig SET " + column + " = ? where Index = 1", {v});
    }
    std::vector<long long> block(int start, int n) const {
        std::vector<long long> q;
        for (int p = start; p < start + n; ++p) q.push_back(bank[p - 1].qid);
        return q;
    }
    static std::vector<long long> sorted(std::vector<long long> v) {
        std::sort(v.begin(), v.end());
        return v;
    }
    // Records the values the progress bar takes from now on.
    void watchProgress() {
        QObject::connect(frmMode.prgMode(), &QProgressBar::valueChanged, [this](int v) { progress.push_back(v); });
    }
    OptionButton* exam(int i) { return frmMode.optExamNum()(i); }

    std::vector<BankQuestion> bank;
    std::vector<int> progress;
};

}  // namespace

TEST_F(ModeTest, OpensWithItsControlsInLearnModeForTheFactoryConfiguration) {
    // The load step resets the run's mode whatever the last run left.
    gblnExamMode = gblnAdaptive = gblnFromResults = true;
    gintExamLimit = 40;
    gintAdapScore = 12;
    frmMode.Show();

    EXPECT_EQ(frmMode.Caption(), "Mode");
    EXPECT_EQ(frmMode.optLearn()->text(), " &LEARN MODE");
    EXPECT_EQ(frmMode.optExam()->text(), " &EXAM MODE");
    EXPECT_EQ(frmMode.frmExamType()->title(), "Select the Exam Type");
    EXPECT_EQ(frmMode.optLinear()->text(), "Linear");
    EXPECT_EQ(frmMode.optAdaptive()->text(), "Adaptive");
    EXPECT_EQ(frmMode.frmExams()->title(), "Select The Exam");
    EXPECT_EQ(frmMode.optResults()->text(), "OPEN RESULTS");
    EXPECT_EQ(frmMode.optConfig()->text(), "EXAM CONFIGURATION");
    EXPECT_EQ(frmMode.lblMode()->text(), "SELECT A MODE");
    EXPECT_EQ(frmMode.Label1()->text(), "Quick Help");
    EXPECT_EQ(frmMode.cmdNext()->text(), " &NEXT");
    EXPECT_EQ(frmMode.cmdBack()->text(), "&BACK");
    EXPECT_TRUE(frmMode.txtGuide()->isReadOnly());
    EXPECT_FALSE(frmMode.optConfig()->isVisible());
    EXPECT_FALSE(frmMode.prgMode()->isVisible());
    EXPECT_EQ(frmMode.prgMode()->maximum(), 11);
    EXPECT_FALSE(frmMode.optAdaptive()->isEnabledTo(frmMode.frmExamType()));

    // Etype "B": learn mode, no exam type, the exam list disabled.
    EXPECT_TRUE(frmMode.optLearn()->Value());
    EXPECT_FALSE(frmMode.optExam()->Value());
    EXPECT_FALSE(frmMode.optLinear()->Value());
    EXPECT_FALSE(frmMode.optAdaptive()->Value());
    EXPECT_TRUE(frmMode.frmExamType()->isEnabled());
    EXPECT_FALSE(frmMode.frmExams()->isEnabled());

    EXPECT_FALSE(gblnExamMode);
    EXPECT_FALSE(gblnAdaptive);
    EXPECT_FALSE(gblnFromResults);
    EXPECT_EQ(gintExamLimit, 0);
    EXPECT_EQ(gintAdapScore, 0);

    MenuStrip& m = frmMode.Menu();
    EXPECT_TRUE(MenuEnabled(m.esim));
    EXPECT_TRUE(m.savRes->isEnabled());
    EXPECT_FALSE(m.user->isEnabled());
    EXPECT_TRUE(m.user->isChecked());
    EXPECT_FALSE(m.adminConfig->isEnabled());
    EXPECT_FALSE(m.adminConfig->isChecked());
}

TEST_F(ModeTest, QuickHelpTextToTheCharacter) {
    const QStringList lines = {
        "",
        "1. Learn Mode allows you to create your own exam on ",
        "    editing various parameters like Number of ",
        "    Questions,Time Limit, Selecting Book Marked ",
        "    Questions, Customizing the Questions according to ",
        "    Difficulty Level, Randomizing the Question and ",
        "    Answers etc",
        "",
        "2. Exam Mode gives you mock exams based on the ",
        "    given certification exam pattern. It has two types, ",
        "    Linear and Adaptive type. Linear Type exam ",
        "    displays the questions randomly and Adaptive type ",
        "    displays question in the order of Difficulty Level. ",
        "    Each type is futher splited into as many exams ",
        "    according to the number of questions available.",
        "",
        "3. Open Results displays the previously saved result",
        "",
    };
    EXPECT_EQ(TfrmMode::kQuickHelp, lines.join("\r\n"));
    // The box shows the same lines.
    EXPECT_EQ(frmMode.txtGuide()->toPlainText().split('\n'), lines);
}

TEST_F(ModeTest, NumberedExamsFollowTheConfiguration) {
    config("Exams", 3);
    frmMode.Show();
    auto& exams = frmMode.optExamNum();
    ASSERT_EQ(exams.UBound(), 4);
    EXPECT_EQ(frmMode.Exams(), 3);
    const QStringList captions = {"Exam1", "Exam2", "Exam3", "Full Exam"};
    MenuStrip& m = frmMode.Menu();
    for (int i = 1; i <= 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(exams(i)->text(), captions[i - 1]);
        EXPECT_EQ(exams(i)->objectName(), QString("optExamNum(%1)").arg(i));
        EXPECT_EQ(exams(i)->y(), Px(330 + 300 * (i - 1)));
        EXPECT_EQ(exams(i)->x(), exams(0)->x());
        EXPECT_EQ(exams(i)->x(), Px(120));
        EXPECT_TRUE(exams(i)->isVisibleTo(frmMode.frmExams()));
        EXPECT_EQ(exams(i)->Value(), i == 1);
        EXPECT_EQ(m.examLin(i)->text(), captions[i - 1]);
        EXPECT_EQ(m.examAdap(i)->text(), captions[i - 1]);
    }
    EXPECT_FALSE(exams(0)->isVisibleTo(frmMode.frmExams()));
    EXPECT_FALSE(m.examLin(0)->isVisible());
    EXPECT_FALSE(m.examAdap(0)->isVisible());
    EXPECT_EQ(m.examLin.UBound(), 4);
    EXPECT_EQ(m.cmLin->actions().size(), 5);

    // The exams made while the list was disabled become usable with exam mode.
    Click(frmMode.optExam());
    Click(exams(3));
    EXPECT_TRUE(exams(3)->Value());
    EXPECT_FALSE(exams(1)->Value());

    // Every load builds the list afresh from the configuration.
    frmMode.Unload();
    config("Exams", 5);
    frmMode.Show();
    EXPECT_EQ(frmMode.optExamNum().UBound(), 6);
    EXPECT_EQ(exam(6)->text(), "Full Exam");
    EXPECT_EQ(frmMode.Menu().examAdap.UBound(), 6);
}

TEST_F(ModeTest, ExamTypeOfTheConfiguration) {
    config("Etype", "L");
    frmMode.Show();
    EXPECT_TRUE(frmMode.optExam()->Value());
    EXPECT_TRUE(frmMode.optLinear()->Value());
    EXPECT_FALSE(frmMode.optAdaptive()->Value());
    EXPECT_FALSE(frmMode.optAdaptive()->isEnabledTo(frmMode.frmExamType()));
    EXPECT_TRUE(frmMode.frmExams()->isEnabled());
    EXPECT_TRUE(MenuEnabled(frmMode.Menu().cmLin));
    EXPECT_TRUE(MenuEnabled(frmMode.Menu().cmAdap));
    frmMode.Unload();

    config("Etype", "A");
    frmMode.Show();
    EXPECT_TRUE(frmMode.optExam()->Value());
    EXPECT_TRUE(frmMode.optAdaptive()->Value());
    EXPECT_FALSE(frmMode.optLinear()->Value());
    EXPECT_FALSE(frmMode.optLinear()->isEnabledTo(frmMode.frmExamType()));
    EXPECT_TRUE(frmMode.frmExams()->isEnabled());
    EXPECT_FALSE(frmMode.optLearn()->Value());
}

TEST_F(ModeTest, ModesSwitchedOffInTheConfiguration) {
    config("ExamMode", 0);
    frmMode.Show();
    EXPECT_FALSE(frmMode.optExam()->isEnabled());
    EXPECT_FALSE(frmMode.frmExamType()->isEnabled());
    EXPECT_FALSE(frmMode.frmExams()->isEnabled());
    EXPECT_EQ(frmMode.optExamNum().UBound(), 0);
    EXPECT_TRUE(frmMode.optExamNum()(0)->isVisibleTo(frmMode.frmExams()));
    for (OptionButton* o : {frmMode.optLearn(), frmMode.optExam(), frmMode.optResults(), frmMode.optConfig()})
        EXPECT_FALSE(o->Value()) << o->objectName().toStdString();

    // No mode chosen: the message, and nothing else happens but the exam name.
    Click(frmMode.cmdNext());
    const auto box = lastBox();
    EXPECT_EQ(box.text, "Please Select a Option");
    EXPECT_EQ(box.icon(), vbInformation);
    EXPECT_EQ(box.buttons(), vbOKOnly);
    EXPECT_EQ(box.title, "Select Option");
    EXPECT_EQ(gstrExamName, "Network Associate Practice Exam");
    EXPECT_TRUE(frmMode.Visible());
    EXPECT_FALSE(gvarExamDate.isValid());
    EXPECT_FALSE(frmExam.IsLoaded());

    // The exam menus' template item starts nothing.
    frmMode.Menu().examLin(0)->trigger();
    EXPECT_FALSE(frmExam.IsLoaded());
    EXPECT_TRUE(frmMode.IsLoaded());
    frmMode.Unload();

    // Learn mode switched off: the option is disabled, the menu still opens the set-up.
    config("ExamMode", 1);
    config("LearnMode", 0);
    frmMode.Show();
    EXPECT_FALSE(frmMode.optLearn()->isEnabled());
    frmMode.Menu().lm->trigger();
    EXPECT_TRUE(FrmSettings.Visible());
    EXPECT_FALSE(frmMode.IsLoaded());
}

TEST_F(ModeTest, OptionChains) {
    frmMode.Show();  // learn mode
    OptionButton* exam = frmMode.optExam();

    Click(exam);
    EXPECT_TRUE(frmMode.optLinear()->Value());
    EXPECT_FALSE(frmMode.optLearn()->Value());
    EXPECT_TRUE(frmMode.frmExams()->isEnabled());
    EXPECT_TRUE(frmMode.frmExamType()->isEnabled());

    // Selecting an option that is already selected runs nothing.
    frmMode.frmExams()->setEnabled(false);
    exam->SetValue(true);
    EXPECT_FALSE(frmMode.frmExams()->isEnabled());
    frmMode.frmExams()->setEnabled(true);

    Click(frmMode.optResults());
    EXPECT_FALSE(exam->Value());
    EXPECT_FALSE(frmMode.optLinear()->Value());
    EXPECT_FALSE(frmMode.optAdaptive()->Value());
    EXPECT_FALSE(frmMode.frmExams()->isEnabled());
    EXPECT_TRUE(frmMode.frmExamType()->isEnabled());

    // Choosing Linear from the type frame switches to exam mode.
    Click(frmMode.optLinear());
    EXPECT_TRUE(exam->Value());
    EXPECT_FALSE(frmMode.optResults()->Value());
    EXPECT_TRUE(frmMode.frmExams()->isEnabled());

    // Adaptive by code (it stays disabled for the user) keeps exam mode.
    frmMode.optAdaptive()->SetValue(true);
    EXPECT_TRUE(exam->Value());
    EXPECT_FALSE(frmMode.optLinear()->Value());

    Click(frmMode.optLearn());
    EXPECT_FALSE(exam->Value());
    EXPECT_FALSE(frmMode.optLinear()->Value());
    EXPECT_FALSE(frmMode.optAdaptive()->Value());
    EXPECT_FALSE(frmMode.frmExams()->isEnabled());
    EXPECT_TRUE(frmMode.frmExamType()->isEnabled());
}

// The arrow keys go round the options of one group in tab order, past the
// type frame, the disabled and the hidden, and choose the option they reach as
// a click does; Enter then starts what was chosen.
TEST_F(ModeTest, ArrowKeysChooseTheOptionTheyMoveToAndEnterStartsIt) {
    const auto press = [](Qt::Key key) {
        QWidget* ring = frmMode.Window()->focusWidget();
        ASSERT_NE(ring, nullptr);
        QTest::keyClick(ring, key);
    };
    const auto ringOn = [](QWidget* w) { return frmMode.Window()->focusWidget() == w; };
    // Exam mode switched off: Down passes it by.
    config("ExamMode", 0);
    frmMode.Show();
    frmMode.optLearn()->setFocus();
    press(Qt::Key_Down);
    EXPECT_TRUE(ringOn(frmMode.optResults()));
    EXPECT_TRUE(frmMode.optResults()->Value());
    frmMode.Unload();

    config("ExamMode", 1);
    config("Etype", "B");
    config("NofQues", 25);
    frmMode.Show();  // learn mode
    frmMode.optLearn()->setFocus();

    press(Qt::Key_Down);
    EXPECT_TRUE(ringOn(frmMode.optExam()));
    EXPECT_TRUE(frmMode.optExam()->Value());
    EXPECT_FALSE(frmMode.optLearn()->Value());
    EXPECT_TRUE(frmMode.optLinear()->Value()) << "exam mode's handler did not run";
    EXPECT_TRUE(frmMode.frmExams()->isEnabled());

    press(Qt::Key_Right);  // over Linear and Adaptive, in their own frame
    EXPECT_TRUE(ringOn(frmMode.optResults()));
    EXPECT_TRUE(frmMode.optResults()->Value());
    EXPECT_FALSE(frmMode.optLinear()->Value()) << "open results' handler did not run";
    EXPECT_FALSE(frmMode.frmExams()->isEnabled());

    press(Qt::Key_Down);  // round the end, past the hidden exam configuration
    EXPECT_TRUE(ringOn(frmMode.optLearn()));
    EXPECT_TRUE(frmMode.optLearn()->Value());
    press(Qt::Key_Up);
    EXPECT_TRUE(ringOn(frmMode.optResults()));
    press(Qt::Key_Left);
    EXPECT_TRUE(ringOn(frmMode.optExam()));
    EXPECT_TRUE(frmMode.optLinear()->Value());
    EXPECT_TRUE(frmMode.frmExams()->isEnabled());

    // Adaptive, disabled, is passed by: the type frame has no other option.
    frmMode.optLinear()->setFocus();
    press(Qt::Key_Down);
    EXPECT_TRUE(ringOn(frmMode.optLinear()));
    EXPECT_TRUE(frmMode.optLinear()->Value());
    // The exam list.
    exam(1)->setFocus();
    press(Qt::Key_Down);
    EXPECT_TRUE(ringOn(exam(2)));
    EXPECT_TRUE(exam(2)->Value());
    EXPECT_FALSE(exam(1)->Value());

    press(Qt::Key_Return);
    ASSERT_TRUE(frmExam.Visible()) << "Enter did not start the exam";
    EXPECT_EQ(frmExam.Caption(), " Exam2");
    EXPECT_EQ(sorted(QIdsOf(RunQuestions(*gcnExam))), block(26, 25));
    EXPECT_FALSE(frmMode.IsLoaded());
}

TEST_F(ModeTest, LinearNumberedExamDrawsItsBlockAndOpensTheExamWindow) {
    config("Etype", "L");
    config("NofQues", 25);
    config("MaxTime", 45);
    config("ExamName", "Practice Exam A");
    gstrExamName = "earlier";
    frmMode.Show();
    watchProgress();
    Click(exam(2));
    Click(frmMode.cmdNext());

    const auto run = RunQuestions(*gcnExam);
    ASSERT_EQ(run.size(), 25u);
    EXPECT_EQ(sorted(QIdsOf(run)), block(26, 25));
    for (size_t i = 0; i < run.size(); ++i) {
        EXPECT_EQ(run[i].index, static_cast<long long>(i) + 1);
        EXPECT_FALSE(run[i].diffLvl.isNull()) << "not an exam-mode random draw";
    }
    // Options in stored order.
    std::vector<long long> expectedOptions;
    for (const RunQuestion& q : run)
        for (long long a : StoredOptions(*gcnExam, q.qid)) expectedOptions.push_back(a);
    std::vector<long long> listed;
    for (const RunOption& o : RunOptions(*gcnExam)) listed.push_back(o.ansId);
    EXPECT_EQ(listed, expectedOptions);

    EXPECT_EQ(progress, (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    EXPECT_TRUE(gblnExamMode);
    EXPECT_FALSE(gblnAdaptive);
    EXPECT_FALSE(gblnFullExam);
    EXPECT_EQ(gintExamTime, 45);
    EXPECT_EQ(gintNofQues, 25);
    EXPECT_EQ(gintExamLimit, 25);
    EXPECT_EQ(gstrExamName, "Practice Exam A");
    EXPECT_EQ(frmExam.Caption(), " Exam2");
    EXPECT_TRUE(frmExam.Visible());
    EXPECT_FALSE(frmMode.IsLoaded());
    ASSERT_EQ(gvarExamDate.typeId(), QMetaType::QDate);
    ASSERT_EQ(gvarExamTime.typeId(), QMetaType::QTime);
    EXPECT_EQ(gvarExamDate.toDate(), QDate::currentDate());
    EXPECT_LE(gvarExamTime.toTime().secsTo(QTime::currentTime()), 60);
}

TEST_F(ModeTest, AdaptiveExamFromTheMenu) {
    config("Etype", "A");
    config("NofQues", 25);
    config("BeginScore", 2);
    config("IntScore", 3);
    config("ExpScore", 5);
    frmMode.Show();
    watchProgress();
    frmMode.Menu().examAdap(1)->trigger();

    EXPECT_TRUE(gblnExamMode);
    EXPECT_TRUE(gblnAdaptive);
    EXPECT_EQ(gintBeginScore, 2);
    EXPECT_EQ(gintIntScore, 3);
    EXPECT_EQ(gintExpScore, 5);
    EXPECT_EQ(gintExamLimit, 50);
    EXPECT_EQ(sorted(QIdsOf(RunQuestions(*gcnExam))), block(1, 25));
    EXPECT_EQ(std::count(progress.begin(), progress.end(), 1), 0);
    EXPECT_EQ(progress.back(), 11);
    EXPECT_EQ(frmExam.Caption(), " Exam1");
    EXPECT_FALSE(frmMode.IsLoaded());
}

TEST_F(ModeTest, LinearMenuItemStartsThatExamFromLearnMode) {
    config("NofQues", 25);
    frmMode.Show();  // Etype "B": learn mode
    frmMode.Menu().examLin(3)->trigger();
    EXPECT_TRUE(gblnExamMode);
    EXPECT_FALSE(gblnAdaptive);
    EXPECT_EQ(gintExamLimit, 25);
    EXPECT_EQ(sorted(QIdsOf(RunQuestions(*gcnExam))), block(51, 25));
    EXPECT_EQ(frmExam.Caption(), " Exam3");
}

TEST_F(ModeTest, FullExamDrawsFromTheWholeBank) {
    config("Etype", "L");
    config("NofQues", 25);
    config("Exams", 2);
    frmMode.Show();
    Click(exam(3));
    Click(frmMode.cmdNext());

    const auto qids = QIdsOf(RunQuestions(*gcnExam));
    ASSERT_EQ(qids.size(), 25u);
    EXPECT_EQ(std::set<long long>(qids.begin(), qids.end()).size(), 25u);
    // From the whole bank, not the first block (start 1 with the full-exam flag).
    EXPECT_GT(*std::max_element(qids.begin(), qids.end()), bank[24].qid);
    EXPECT_FALSE(gblnFullExam) << "the selection consumes the flag";
    EXPECT_EQ(frmExam.Caption(), "Full Exam");
    EXPECT_EQ(gintExamLimit, 25);
}

TEST_F(ModeTest, ARefusedSelectionKeepsTheModeWindow) {
    // Exam4 of 25 would need questions 76 to 100 of a bank of 80.
    config("Etype", "L");
    config("NofQues", 25);
    frmMode.Show();
    Click(exam(4));
    Click(frmMode.cmdNext());

    const auto box = lastBox();
    EXPECT_EQ(box.title, "Question Selection");
    EXPECT_TRUE(box.text.contains("holds only 80")) << box.text.toStdString();
    EXPECT_FALSE(frmExam.IsLoaded());
    ASSERT_TRUE(frmMode.IsLoaded());
    EXPECT_TRUE(frmMode.Visible());
    EXPECT_FALSE(frmMode.prgMode()->isVisible());
    EXPECT_TRUE(RunQuestions(*gcnExam).empty());
    EXPECT_TRUE(RunOptions(*gcnExam).empty());
    EXPECT_FALSE(gblnExamMode);
    EXPECT_FALSE(gvarExamDate.isValid());

    // A good choice then goes ahead as usual.
    Click(exam(3));
    Click(frmMode.cmdNext());
    EXPECT_EQ(frmExam.Caption(), " Exam3");
    EXPECT_FALSE(frmMode.IsLoaded());
}

TEST_F(ModeTest, LearnResultsAndConfigurationHandOver) {
    frmMode.Show();
    Click(frmMode.cmdNext());  // learn mode is selected
    EXPECT_TRUE(FrmSettings.Visible());
    EXPECT_EQ(FrmSettings.Caption(), "Settings");
    EXPECT_FALSE(frmMode.IsLoaded());
    EXPECT_FALSE(gblnExamMode);
    EXPECT_EQ(gstrExamName, "Network Associate Practice Exam");
    EXPECT_EQ(gvarExamDate.typeId(), QMetaType::QDate);
    EXPECT_EQ(gvarExamTime.typeId(), QMetaType::QTime);
    FrmSettings.Unload();

    frmMode.Show();
    frmMode.Menu().savRes->trigger();
    EXPECT_TRUE(frmResBrief.Visible());
    EXPECT_EQ(frmResBrief.Caption(), "Saved Results");
    EXPECT_FALSE(frmMode.IsLoaded());
    frmResBrief.Unload();

    // The administrator's configuration opens over the mode window, which stays.
    gvarExamDate = QVariant();
    gvarExamTime = QVariant();
    frmMode.Show();
    frmMode.optConfig()->setVisible(true);
    Click(frmMode.optConfig());
    Click(frmMode.cmdNext());
    EXPECT_TRUE(frmAdminConfig.Visible());
    EXPECT_EQ(frmAdminConfig.Caption(), "Exam Configuration");
    EXPECT_TRUE(frmMode.Visible());
    EXPECT_EQ(gvarExamDate.typeId(), QMetaType::QDate);
    EXPECT_EQ(gvarExamTime.typeId(), QMetaType::QTime);
}

TEST_F(ModeTest, BackExitAndTheAdministratorsMarks) {
    gblnAdminMode = true;
    frmMode.Show();
    EXPECT_TRUE(frmMode.Menu().adminConfig->isChecked());
    EXPECT_FALSE(frmMode.Menu().user->isChecked());

    Click(frmMode.cmdBack());
    EXPECT_TRUE(frmLogin.Visible());
    EXPECT_FALSE(frmMode.IsLoaded());
    frmLogin.Unload();

    frmMode.Show();
    frmMode.Menu().exit->trigger();
    EXPECT_FALSE(frmMode.IsLoaded());
}
