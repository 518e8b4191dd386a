// The exam configuration window driven as the administrator would, against a
// fresh copy of the shipped database: what it shows, the checks of an update
// in their order, what it stores, and what the mode window then offers.
#include "config/frmAdminConfig.h"
#include "exam/frmMode.h"
#include "signin/frmLogin.h"
#include "startup/adminconfig.h"
#include "startup/state.h"
#include "support/fixture.h"

using namespace plat;

namespace {

class AdminConfigTest : public pemu_test::ProgramTest {
protected:
    // The whole AdminConfig table, to prove a step wrote nothing.
    static std::string table() {
        Recordset rs = gcnExam->OpenRecordset("SELECT * FROM AdminConfig");
        std::string s;
        for (; !rs.Eof(); rs.MoveNext()) {
            for (int i = 0; i < rs.FieldCount(); ++i) s += rs.Fields(i).toString() + "|";
            s += "\n";
        }
        return s;
    }
    static AdminConfigRow stored() { return ReadAdminConfig(*gcnExam).value(); }
    static void set(const std::string& sql) { gcnExam->Execute(sql); }
    static QWidget* focused() { return frmAdminConfig.Window()->focusWidget(); }
    static void reopen() {
        frmAdminConfig.Unload();
        frmAdminConfig.Show();
    }
    void expectRefused(const QString& text, const QString& title, QWidget* box) {
        EXPECT_EQ(lastBox().text, text);
        EXPECT_EQ(lastBox().title, title);
        EXPECT_EQ(lastBox().icon(), vbInformation);
        EXPECT_EQ(lastBox().buttons(), vbOKOnly);
        EXPECT_EQ(focused(), box);
    }
    void expectStoredBox() {
        EXPECT_EQ(lastBox().text, "Configuration Updated Successfully");
        EXPECT_EQ(lastBox().title, "Update");
        EXPECT_EQ(lastBox().style, vbOKOnly);
    }
    void expectAsked() {
        EXPECT_EQ(lastBox().text, "Configuarion Changed,Do u want to update");
        EXPECT_EQ(lastBox().title, "Exam Configuration");
        EXPECT_EQ(lastBox().style, vbYesNo);
    }
};

}  // namespace

TEST_F(AdminConfigTest, CaptionsStatesTabOrderAndTheStoredRow) {
    set("UPDATE AdminConfig SET Etype = 'A', PassPercentage = 75, LearnMode = 0, Review = 0");
    frmAdminConfig.Show();
    TfrmAdminConfig& w = frmAdminConfig;
    EXPECT_EQ(w.Caption(), "Exam Configuration");
    EXPECT_EQ(w.fraConfig()->title(), "Configuration");
    const std::vector<std::pair<QWidget*, QString>> captions = {
        {w.lblExamName(), "EXAM NAME"}, {w.lblExamType(), "EXAM TYPE"}, {w.chkLinear(), "Linear"},
        {w.chkAdaptive(), "Adaptive"}, {w.lblNumOfExams(), "NUMBER OF EXAMS"},
        {w.lblNoOfQues(), "NUMBER OF QUESTIONS"}, {w.lblPassPer(), "PASS PERCENTAGE"},
        {w.lblMaxTime(), "MAXIMUM TIME ALLOWED"}, {w.lblMaxScore(), "MAXIMUM SCORE"},
        {w.lblLearnMode(), "LEARN Mode"}, {w.lblExamMode(), "EXAM Mode"},
        {w.lblSimulatorMode(), "SIMULATOR Mode"}, {w.lblPrevious(), "PREVIOUS"}, {w.lblReview(), "REVIEW"},
        {w.lblBS(), "BEGINNER Score"}, {w.lblIS(), "INTERMEDIATE Score"}, {w.lblES(), "EXPERT Score"},
        {w.cmdDefault(), "Show &Default"}, {w.cmdUpdate(), "&Update"}, {w.CmdCancel(), "&Cancel"},
        {w.cmdNext(), "&Ok"}};
    for (const auto& [control, caption] : captions)
        EXPECT_EQ(control->property("text").toString(), caption) << control->objectName().toStdString();
    EXPECT_EQ(w.cmdNext()->toolTip(), "Load the Mode selection form.");

    // The name can be focused and read, not edited; the points are shown only.
    EXPECT_TRUE(w.txtExamName()->isEnabled());
    EXPECT_TRUE(w.txtExamName()->isReadOnly());
    for (QLineEdit* t : {w.txtBS(), w.txtIS(), w.txtES()}) {
        EXPECT_TRUE(t->isReadOnly());
        EXPECT_FALSE(t->isEnabled());
        EXPECT_EQ(t->parentWidget(), w.fraScore());
    }
    EXPECT_FALSE(w.chkAdaptive()->isEnabled());
    EXPECT_FALSE(w.chkSimulatorMode()->isEnabled());

    const std::vector<QWidget*> order = {w.chkLinear(), w.chkAdaptive(), w.txtNumOfExams(), w.txtNoOfQues(),
                                         w.txtPassPer(), w.txtMaxTime(), w.txtMaxScore(), w.chkLearnMode(),
                                         w.chkExamMode(), w.chkSimulatorMode(), w.chkPrevious(), w.chkReview()};
    auto nextByTab = [](QWidget* from) {
        QWidget* n = from->nextInFocusChain();
        while (!(n->focusPolicy() & Qt::TabFocus)) n = n->nextInFocusChain();
        return n;
    };
    for (size_t i = 1; i < order.size(); ++i)
        EXPECT_EQ(nextByTab(order[i - 1]), order[i]) << order[i - 1]->objectName().toStdString();

    // The stored row, the disabled boxes' ticks included.
    EXPECT_EQ(w.txtExamName()->text(), "Network Associate Practice Exam");
    EXPECT_EQ(QString("%1%2%3%4%5").arg(w.chkLinear()->Value()).arg(w.chkAdaptive()->Value())
                  .arg(w.chkLearnMode()->Value()).arg(w.chkSimulatorMode()->Value()).arg(w.chkReview()->Value()),
              "01010");
    EXPECT_EQ(w.txtPassPer()->text(), "75");
    EXPECT_EQ(w.txtBS()->text() + w.txtIS()->text() + w.txtES()->text(), "123");
    EXPECT_TRUE(w.CheckForUpdate());

    // Only the character codes 48 to 57: digits of other scripts are not numbers here.
    EXPECT_TRUE(w.NumberChk("0123456789"));
    EXPECT_TRUE(w.NumberChk(""));
    for (const QString& s : QStringList{QString(QChar(0x0665)), QString(QChar(0xFF11)), "/", ":", "1 "})
        EXPECT_FALSE(w.NumberChk(s)) << s.toStdString();
}

// Each number box's checks in their order, with a valid value in every other
// box: empty, not digits, zero, above the limit (twenty digits too), and the
// limit itself accepted.
TEST_F(AdminConfigTest, EachCheckRefusesWithItsTextTitleIconAndFocusAndWritesNothing) {
    struct Checks {
        QLineEdit* (TfrmAdminConfig::*box)();
        const char* limit;
        const char* above;
        QString empty, notNumber, zero, tooBig;  // "message|title"
    };
    const std::vector<Checks> boxes = {
        {&TfrmAdminConfig::txtNumOfExams, "6", "7", "Please Enter the Number of Exams|Exams",
         "Please Enter only Numeric value for Number of Exams|Exams", "Number of exams cannot be zero|Exams",
         "Number of exams should be less than the default number of exams|Exams"},
        {&TfrmAdminConfig::txtNoOfQues, "40", "41", "Please Enter the Number of Questions|Exam Questions",
         "Please Enter only Numeric value for Number of Questions|Exam Questions",
         "NUmber of exams cannot be zero|Exam Questions",
         "Number of question should be less than the default number of questions|Exam Questions"},
        {&TfrmAdminConfig::txtPassPer, "100", "101", "Please Enter the Pass score|Pass Score",
         "Please Enter only Numeric value for Score|Pass Score", "Pass Percentage cannot be zero|Pass Percentage",
         "Pass Percentage should be Less than or Equal to 100|Pass Percentage"},
        {&TfrmAdminConfig::txtMaxScore, "1000", "1001", "Please Enter the Maximum score|Maximim Score",
         "Please Enter only Numeric value for Maximum Score|Maximim Score",
         "Maximum score cannot be zero|Maximim Score", "Maximum score cannot be greater than 1000|Maximim Score"},
        {&TfrmAdminConfig::txtMaxTime, "999", "1000", "Please Enter the Maximum time|Exam Time",
         "Please Enter only Numeric value for Maximimum Time|Exam Time",
         "Maximum time cannot be less than or equal to zero|Exam Time",
         "Please Specify the Time Less than 1000 Minutes|Exam Time"},
    };
    frmAdminConfig.Show();
    for (const Checks& c : boxes) {
        const std::vector<std::pair<QString, QString>> cases = {
            {"", c.empty},        {"4a", c.notNumber},  {"-5", c.notNumber},  {"1 0", c.notNumber},
            {"2.5", c.notNumber}, {QString(QChar(0x0665)), c.notNumber}, {"0", c.zero}, {"00", c.zero},
            {c.above, c.tooBig},  {"12345678901234567890", c.tooBig}};
        for (const auto& [typed, refusal] : cases) {
            reopen();
            QLineEdit* box = (frmAdminConfig.*c.box)();
            SCOPED_TRACE(box->objectName().toStdString() + " = \"" + typed.toStdString() + "\"");
            const std::string before = table();
            box->setText(typed);
            Click(frmAdminConfig.cmdUpdate());
            expectRefused(refusal.section('|', 0, 0), refusal.section('|', 1), box);
            EXPECT_EQ(box->text(), typed);
            EXPECT_EQ(table(), before);
        }
        reopen();
        (frmAdminConfig.*c.box)()->setText(c.limit);
        Click(frmAdminConfig.cmdUpdate());
        expectStoredBox();
        EXPECT_TRUE(frmAdminConfig.Visible());
    }
    const AdminConfigRow r = stored();
    EXPECT_EQ(std::vector<long long>({r.Exams, r.NofQues, r.PassPercentage, r.MaxScore, r.MaxTime}),
              std::vector<long long>({6, 40, 100, 1000, 999}));
}

// Across boxes the checks run name, exams, questions, pass mark, score, time:
// the score box before the time box above it.
TEST_F(AdminConfigTest, TheBoxesAreCheckedInTheirFixedOrder) {
    set("UPDATE AdminConfig SET ExamName = ''");
    frmAdminConfig.Show();
    TfrmAdminConfig& w = frmAdminConfig;
    for (QLineEdit* t : {w.txtNumOfExams(), w.txtNoOfQues(), w.txtPassPer(), w.txtMaxScore(), w.txtMaxTime()})
        t->clear();
    const std::string before = table();
    const std::vector<std::tuple<QLineEdit*, QString, const char*>> order = {
        {w.txtExamName(), "Exam Name", "Our exam"}, {w.txtNumOfExams(), "Exams", "2"},
        {w.txtNoOfQues(), "Exam Questions", "10"},  {w.txtPassPer(), "Pass Score", "70"},
        {w.txtMaxScore(), "Maximim Score", "500"},  {w.txtMaxTime(), "Exam Time", "45"}};
    for (const auto& [box, title, fix] : order) {
        Click(w.cmdUpdate());
        EXPECT_EQ(lastBox().title, title);
        EXPECT_EQ(focused(), box);
        box->setText(fix);
    }
    ASSERT_FALSE(boxes.empty());
    EXPECT_EQ(boxes.front().text, "Please enter a exam name");
    EXPECT_EQ(table(), before);
    Click(w.cmdUpdate());
    expectStoredBox();
    EXPECT_EQ(stored().ExamName, "");  // the name is never written
    EXPECT_EQ(stored().MaxTime, 45);
}

// The type stored is the one the two boxes stand for, and a box ticked beyond
// the stored type is a change Ok offers to store.
TEST_F(AdminConfigTest, TypeBoxesStoreTheTypeTheyShowAndOkSeesEveryTypeChange) {
    struct Case {
        const char* stored;
        int linear;
        const char* after;
        bool asks;
    };
    for (const Case& c : {Case{"A", 1, "B", true}, Case{"B", 0, "A", true}, Case{"L", 0, "L", false}}) {
        SCOPED_TRACE(std::string(c.stored) + " -> " + c.after);
        set(std::string("UPDATE AdminConfig SET Etype = '") + c.stored + "'");
        boxes.clear();
        frmAdminConfig.Show();
        Click(frmAdminConfig.chkLinear());
        EXPECT_EQ(frmAdminConfig.chkLinear()->Value(), c.linear);
        EXPECT_EQ(frmAdminConfig.CheckForUpdate(), !c.asks);
        Click(frmAdminConfig.cmdNext());
        EXPECT_FALSE(frmAdminConfig.IsLoaded());
        if (c.asks) {
            ASSERT_EQ(boxes.size(), 2u);
            EXPECT_EQ(boxes[0].text, "Configuarion Changed,Do u want to update");
            expectStoredBox();
        } else {
            EXPECT_TRUE(boxes.empty());
            // Neither box ticked: Update stores linear.
            frmAdminConfig.Show();
            Click(frmAdminConfig.chkLinear());
            Click(frmAdminConfig.cmdUpdate());
            expectStoredBox();
        }
        EXPECT_EQ(stored().Etype, c.after);
        frmAdminConfig.Unload();
    }
}

TEST_F(AdminConfigTest, ShowDefaultWritesNothingAndOkYesStoresTheFactoryValuesButTheNameAndPoints) {
    set("UPDATE AdminDef SET EtypeDef = 'L'");
    set("UPDATE AdminConfig SET ExamName = 'Our own exam', Etype = 'A', Exams = 2, NofQues = 10, "
        "PassPercentage = 50, MaxScore = 500, MaxTime = 30, LearnMode = 0, ExamMode = 0, SimulatorMode = 0, "
        "Previous = 0, Review = 0, BeginScore = 5, IntScore = 6, ExpScore = 7");
    frmAdminConfig.Show();
    const std::string before = table();
    Click(frmAdminConfig.cmdDefault());
    EXPECT_EQ(table(), before);
    EXPECT_TRUE(boxes.empty());
    // The adaptive box, which cannot be cleared by hand, follows the factory type too.
    EXPECT_EQ(frmAdminConfig.chkLinear()->Value(), 1);
    EXPECT_EQ(frmAdminConfig.chkAdaptive()->Value(), 0);
    EXPECT_EQ(frmAdminConfig.txtExamName()->text(), "Network Associate Practice Exam");
    EXPECT_EQ(frmAdminConfig.txtBS()->text(), "1");
    EXPECT_FALSE(frmAdminConfig.CheckForUpdate());

    Click(frmAdminConfig.cmdNext());
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Configuarion Changed,Do u want to update");
    expectStoredBox();
    EXPECT_TRUE(gblnAdminMode);
    EXPECT_FALSE(frmAdminConfig.IsLoaded());

    AdminConfigRow want = ReadAdminDef(*gcnExam).value();
    want.ExamName = "Our own exam";
    want.BeginScore = 5;
    want.IntScore = 6;
    want.ExpScore = 7;
    want.Etype = "L";
    auto fields = [](const AdminConfigRow& r) {
        return std::make_tuple(r.ExamName.toStdString(), r.Etype.toStdString(), r.Exams, r.NofQues,
                               r.PassPercentage, r.MaxScore, r.MaxTime, r.LearnMode, r.ExamMode, r.SimulatorMode,
                               r.Previous, r.Review, r.BeginScore, r.IntScore, r.ExpScore);
    };
    EXPECT_EQ(fields(stored()), fields(want));
}

TEST_F(AdminConfigTest, OkAfterARefusedUpdateKeepsTheWindowAndItsEditsAndCancelNeverSetsAdminMode) {
    frmAdminConfig.Show();
    const std::string before = table();
    frmAdminConfig.txtNumOfExams()->setText("0");
    frmAdminConfig.txtPassPer()->setText("70");
    Click(frmAdminConfig.cmdNext());
    ASSERT_EQ(boxes.size(), 2u);
    expectRefused("Number of exams cannot be zero", "Exams", frmAdminConfig.txtNumOfExams());
    EXPECT_TRUE(frmAdminConfig.Visible());
    EXPECT_EQ(frmAdminConfig.txtPassPer()->text(), "70");
    EXPECT_FALSE(gblnAdminMode);
    EXPECT_EQ(table(), before);

    // No: the edits go, and the administrator's mode is on.
    answers = {vbNo};
    Click(frmAdminConfig.cmdNext());
    EXPECT_EQ(boxes.size(), 3u);
    EXPECT_FALSE(frmAdminConfig.IsLoaded());
    EXPECT_TRUE(gblnAdminMode);
    EXPECT_EQ(table(), before);

    gblnAdminMode = false;
    frmAdminConfig.Show();
    frmAdminConfig.txtPassPer()->setText("70");
    Click(frmAdminConfig.CmdCancel());
    EXPECT_FALSE(frmAdminConfig.IsLoaded());
    EXPECT_FALSE(gblnAdminMode);
    EXPECT_EQ(table(), before);

    // Ok with nothing changed asks nothing and still turns the mode on.
    frmAdminConfig.Show();
    Click(frmAdminConfig.cmdNext());
    EXPECT_EQ(boxes.size(), 3u);
    EXPECT_TRUE(gblnAdminMode);
    EXPECT_FALSE(frmAdminConfig.IsLoaded());
}

// From the administrator's sign-in through the mode window to an update; the
// mode window shows the stored configuration the next time it loads.
TEST_F(AdminConfigTest, AdministratorsRoadThroughTheModeWindow) {
    SignInAsAdministrator();
    ASSERT_TRUE(frmMode.Visible());
    Click(frmMode.optConfig());
    Click(frmMode.cmdNext());
    ASSERT_TRUE(frmAdminConfig.Visible());
    EXPECT_TRUE(frmMode.Visible());

    TfrmAdminConfig& w = frmAdminConfig;
    w.txtNumOfExams()->setText("03");
    w.txtNoOfQues()->setText("25");
    w.txtMaxTime()->setText("90");
    Click(w.chkLinear());  // "B" becomes adaptive only
    Click(w.chkLearnMode());
    Click(w.chkReview());
    Click(w.cmdUpdate());
    expectStoredBox();
    const AdminConfigRow r = stored();
    EXPECT_EQ(r.Exams, 3);
    EXPECT_EQ(r.NofQues, 25);
    EXPECT_EQ(r.MaxTime, 90);
    EXPECT_EQ(r.Etype, "A");
    EXPECT_FALSE(r.LearnMode);
    EXPECT_FALSE(r.Review);
    EXPECT_TRUE(r.Previous);
    EXPECT_EQ(gcnExam->Scalar("SELECT count(*) FROM AdminConfig").toInt(), 1);

    // "03" still differs from the stored 3 as text, so Ok asks again.
    answers = {vbNo};
    Click(w.cmdNext());
    expectAsked();
    EXPECT_FALSE(w.IsLoaded());
    EXPECT_TRUE(gblnAdminMode);
    EXPECT_EQ(stored().Exams, 3);

    // Ok leaves the mode window as it was; its next load follows the new row.
    EXPECT_EQ(frmMode.Exams(), 6);
    frmMode.Unload();
    frmMode.ShowAfterSignIn(true);
    EXPECT_EQ(frmMode.Exams(), 3);
    EXPECT_EQ(frmMode.optExamNum()(4)->text(), "Full Exam");
    EXPECT_FALSE(frmMode.optLearn()->isEnabled());
    EXPECT_FALSE(frmMode.optLinear()->isEnabled());
    EXPECT_TRUE(frmMode.optAdaptive()->Value());
    EXPECT_TRUE(frmMode.Menu().adminConfig->isChecked());
}

// Ok, then Yes: the confirmation stands over the configuration window the
// administrator is looking at, although the sign-in and mode windows are up
// beneath it and, once the question's box has gone, no window is active.
TEST_F(AdminConfigTest, OkYesConfirmsOverTheConfigurationWindow) {
    SignInAsAdministrator();
    ASSERT_TRUE(frmLogin.Visible());
    ASSERT_TRUE(frmMode.Visible());
    Click(frmMode.optConfig());
    Click(frmMode.cmdNext());
    ASSERT_TRUE(frmAdminConfig.Visible());
    QWidget* config = frmAdminConfig.Window();

    frmAdminConfig.txtMaxTime()->setText("75");
    SetMsgBoxHook([&](const MsgBoxCall& c) {
        boxes.push_back(c);
        // As a real box leaves the window system: the focus is nowhere until
        // the window manager gives it back.
        QApplication::setActiveWindow(nullptr);
        return c.buttons() == vbYesNo ? int(vbYes) : int(vbOK);
    });
    Click(frmAdminConfig.cmdNext());
    ASSERT_EQ(boxes.size(), 2u);
    expectStoredBox();
    EXPECT_EQ(boxes[0].owner.data(), config) << "the question";
    EXPECT_EQ(boxes[1].owner.data(), config) << "the confirmation";
    EXPECT_EQ(stored().MaxTime, 75);
}
