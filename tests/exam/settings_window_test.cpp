// The learn-mode set-up window driven as a candidate would, on a fresh copy of
// the shipped database: what it shows at load, the checks of Next in their
// order, the run each source starts in the exam window, and the ways back.
#include "bank.h"
#include "config/frmAdminConfig.h"
#include "exam/FrmSettings.h"
#include "exam/frmExam.h"
#include "exam/frmMode.h"
#include "signin/frmLogin.h"
#include "startup/state.h"
#include "support/fixture.h"

#include <QAbstractItemView>
#include <QTest>

#include <algorithm>
#include <map>

using namespace exam_test;
using namespace plat;

namespace {

class SettingsTest : public pemu_test::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        FrmSettings.SetSeedForTesting(11);
    }
    void TearDown() override {
        FrmSettings.SetSeedForTesting(std::nullopt);
        ProgramTest::TearDown();
    }

    static TFrmSettings& w() { return FrmSettings; }
    static QWidget* focused() { return FrmSettings.Window()->focusWidget(); }
    void enter(const QString& count, const QString& start, const QString& minutes) {
        w().txtQuestNum()->setText(count);
        w().txtStartFrom()->setText(start);
        w().txtMin()->setText(minutes);
    }
    // The cell of grid row r (from 1) for level 0 "B", 1 "I", 2 "E".
    static QComboBox* cell(int r, int level) { return w().cmbDiffLvl()(3 * r - 2 + level); }
    static void pick(QComboBox* box, int n) {
        const int i = box->findText(QString::number(n));
        ASSERT_GE(i, 0) << box->objectName().toStdString() << " does not list " << n;
        box->setCurrentIndex(i);
    }
    // Opens the cell's list and clicks the entry n in it.
    static void mousePick(QComboBox* box, int n) {
        box->showPopup();
        QAbstractItemView* list = box->view();
        ASSERT_TRUE(list->isVisible()) << box->objectName().toStdString() << " did not open its list";
        const QModelIndex entry = box->model()->index(box->findText(QString::number(n)), 0);
        ASSERT_TRUE(entry.isValid()) << box->objectName().toStdString() << " does not list " << n;
        list->scrollTo(entry);
        const QPoint at = list->visualRect(entry).center();
        QTest::mouseMove(list->viewport(), at);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        EXPECT_FALSE(list->isVisible()) << "the list stays open after a pick";
    }
    void allCellsZero() {
        for (int e = 1; e <= w().mintCmbCount; ++e) pick(w().cmbDiffLvl()(e), 0);
    }
    std::vector<long long> qids(const std::string& sql) {
        std::vector<long long> v;
        for (Recordset rs = gcnExam->OpenRecordset(sql); !rs.Eof(); rs.MoveNext()) v.push_back(rs.Fields(0).toInt());
        return v;
    }
    std::vector<long long> bank() { return qids("SELECT QId FROM Questions ORDER BY QId"); }
    std::vector<long long> ofCell(long long cat, const std::string& level) {
        return qids("SELECT QId FROM Questions WHERE CatInd = " + std::to_string(cat) + " AND DiffLevel = '" + level +
                    "' ORDER BY QId");
    }
    std::vector<long long> run() { return QIdsOf(RunQuestions(*gcnExam)); }
    // A run left from before: whatever refuses must leave it, whatever starts
    // a run must replace it.
    void leaveOldRun() {
        gcnExam->Execute("INSERT INTO QuestIds (Index,QId) VALUES (1, 99999)");
        gcnExam->Execute("INSERT INTO AnsIds (Index,AnsId,Qid) VALUES (1, 88888, 99999)");
    }
    bool oldRunKept() { return run() == std::vector<long long>{99999} && RunOptions(*gcnExam).size() == 1; }
    // Next started the run: the exam window is up and this window gone.
    void expectRunOpened() {
        // Reading a caption would load the window again, and its load step would start a run.
        ASSERT_TRUE(frmExam.Visible()) << "the exam window did not open";
        EXPECT_EQ(frmExam.Caption(), "EXAM");
        EXPECT_FALSE(w().IsLoaded());
        EXPECT_FALSE(run().empty());
    }
    static std::vector<long long> sorted(std::vector<long long> v) {
        std::sort(v.begin(), v.end());
        return v;
    }
};

}  // namespace

TEST_F(SettingsTest, OpensWithTheBanksCountAndOneGridRowPerCategory) {
    // A category whose questions are all of one level.
    gcnExam->Execute("INSERT INTO Categories (Index, CatName) VALUES (11, 'Experts & <b>Others</b>')");
    gcnExam->Execute("INSERT INTO Questions (QId,QName,DiffLevel,QType,CatInd,ExhibitPath,Expln) "
                     "VALUES (9001,'x','E','S',11,'NA','NA'), (9002,'y','E','S',11,'NA','NA')");
    w().Show();
    EXPECT_EQ(w().Caption(), "Settings");
    const std::map<QString, QString> captions = {
        {w().Label1()->text(), "Create Your TEST"},       {w().lblQuestions()->text(), "Number of Questions "},
        {w().lblOf()->text(), "of"},                      {w().Label2()->text(), "Starting From"},
        {w().lblExamDur()->text(), " Duration of the Exam"}, {w().lblMin()->text(), "Min"},
        {w().optAll()->text(), "Select all the Questions"},
        {w().optBookMark()->text(), "Select Bookmarked Questions only"},
        {w().optCustom()->text(), " Customize the Questions "}, {w().chkRandQuest()->text(), " Randomize Questions"},
        {w().chkRandAns()->text(), "Randomize Answers"},  {w().frmCustom()->title(), "Custom"},
        {w().cmdNext()->text(), " &NEXT"},                {w().cmdBack()->text(), " &BACK"}};
    for (const auto& [shown, designed] : captions) EXPECT_EQ(shown, designed);

    EXPECT_EQ(w().txtQuestNum()->text(), "242");
    EXPECT_EQ(w().lblAvailQuest()->text(), "242");
    EXPECT_EQ(w().txtStartFrom()->text(), "1");
    EXPECT_EQ(w().txtMin()->text(), "180");
    EXPECT_TRUE(w().optAll()->Value());
    EXPECT_EQ(w().chkRandQuest()->Value() + w().chkRandAns()->Value(), 0);
    EXPECT_FALSE(w().frmCustom()->isEnabled());
    EXPECT_FALSE(w().txtQuestNum()->isReadOnly());

    // The header from the format text; the three level columns equally wide.
    QTableWidget* g = w().msgCustom();
    const QStringList header = {" S.No ", "Category" + QString(45, u' '), "Beginer" + QString(9, u' '),
                                "Intermediate  ", "Expert" + QString(10, u' ')};
    for (int c = 0; c < 5; ++c) EXPECT_EQ(g->item(0, c)->text(), header[c]);
    EXPECT_EQ(g->columnWidth(2), g->columnWidth(3));
    EXPECT_EQ(g->columnWidth(4), g->columnWidth(3));

    // One row per category in Index order; each cell lists 0..N and shows N.
    ASSERT_EQ(g->rowCount(), 12);
    ASSERT_EQ(w().mintCmbCount, 33);
    const char* levels[] = {"B", "I", "E"};
    for (int r = 1; r <= 11; ++r) {
        const long long cat = r == 11 ? 11 : r;
        EXPECT_EQ(g->item(r, 0)->text(), QString::number(cat));
        EXPECT_EQ(g->item(r, 1)->text().toStdString(),
                  gcnExam->Scalar("SELECT CatName FROM Categories WHERE Index = ?", {cat}).toString());
        for (int l = 0; l < 3; ++l) {
            QComboBox* box = cell(r, l);
            const int n = static_cast<int>(ofCell(cat, levels[l]).size());
            ASSERT_EQ(box->count(), n + 1) << "row " << r << " level " << levels[l];
            for (int i = 0; i <= n; ++i) EXPECT_EQ(box->itemText(i), QString::number(i));
            EXPECT_EQ(box->currentText(), QString::number(n));
            EXPECT_FALSE(box->isEditable());
        }
    }
    EXPECT_EQ(cell(11, 0)->currentText(), "0");
    EXPECT_EQ(cell(11, 2)->currentText(), "2");
    EXPECT_FALSE(w().Menu().adminConfig->isChecked());
    w().Menu().exit->trigger();
    EXPECT_FALSE(w().IsLoaded());
}

TEST_F(SettingsTest, EachCheckRefusesInOrderWithItsTextTitleAndFocusAndKeepsTheEntries) {
    struct Case {
        QString count, start, minutes;
        int check;
    };
    const QString twenty = "12345678901234567890";
    const std::vector<Case> cases = {
        {"", "1", "180", 1},        {"", "", "", 1},           {"10", "", "180", 2},
        {"12a", "0", "x", 3},       {"10 ", "1", "180", 3},    {QString::fromUtf8("１０"), "1", "180", 3},
        {"-5", "1", "180", 3},      {"0", "x", "180", 4},      {"00", "1", "180", 4},
        {"10", "1a", "180", 5},     {"10", " 1", "180", 5},    {"10", "0", "180", 6},
        {"10", "00", "0", 6},       {"241", "1", "180", 7},    {"120", "122", "180", 7},
        {twenty, "1", "180", 7},    {"1", twenty, "180", 7},   {"10", "1", "", 8},
        {"10", "1", "1.5", 9},      {"10", "1", "30 ", 9},     {"10", "1", QString::fromUtf8("３０"), 9},
        {"10", "1", "0", 10},       {"10", "1", "000", 10},    {"10", "1", "1000", 11},
        {"10", "1", twenty, 11},
    };
    struct Expected {
        QString text, title;
        QWidget* box;
    };
    w().Show();
    const std::map<int, Expected> expected = {
        {1, {"Please Enter the number of Questions", "Exam Questions", w().txtQuestNum()}},
        {2, {"Please Enter the starting Question number", "Exam Questions", w().txtStartFrom()}},
        {3, {"Please Enter only Numeric value for Number of Questions", "Number of Questions", w().txtQuestNum()}},
        {4, {"Number of Questions cannot be zero", "Number of Questions", w().txtQuestNum()}},
        {5, {"Please Enter only Numeric value for Starting Question Number", AppTitle(), w().txtStartFrom()}},
        {6, {"Starting Question Number cannot be zero", AppTitle(), w().txtStartFrom()}},
        {7, {"Sufficient Questions not avialable", "Exam Questions", w().txtQuestNum()}},
        {8, {"Please Enter the Time", "Exam Time", w().txtMin()}},
        {9, {"Please Specify the Time Properly", "Exam TIme", w().txtMin()}},
        {10, {"Please Specify the Time Properly", "Exam TIme", w().txtMin()}},
        {11, {"Please Specify the Time Less than 1000 Minutes", "Exam TIme", w().txtMin()}},
    };
    leaveOldRun();
    for (const Case& c : cases) {
        SCOPED_TRACE(QString("count \"%1\", start \"%2\", time \"%3\"").arg(c.count, c.start, c.minutes).toStdString());
        enter(c.count, c.start, c.minutes);
        w().cmdBack()->setFocus();
        boxes.clear();
        Click(w().cmdNext());
        ASSERT_EQ(boxes.size(), 1u);
        const Expected& e = expected.at(c.check);
        EXPECT_EQ(boxes[0].text, e.text);
        EXPECT_EQ(boxes[0].title, e.title);
        EXPECT_EQ(boxes[0].icon(), vbInformation);
        EXPECT_EQ(boxes[0].buttons(), vbOKOnly);
        EXPECT_EQ(focused(), e.box);
        EXPECT_EQ(w().txtQuestNum()->text(), c.count);
        EXPECT_EQ(w().txtStartFrom()->text(), c.start);
        EXPECT_EQ(w().txtMin()->text(), c.minutes);
        EXPECT_TRUE(w().Visible());
        EXPECT_FALSE(frmExam.IsLoaded());
        EXPECT_TRUE(oldRunKept());
    }

    // The last block of the bank fits exactly; leading zeros are read as
    // decimal; 999 minutes is the longest run.
    boxes.clear();
    enter("120", "121", "999");
    Click(w().cmdNext());
    expectRunOpened();
    const auto all = bank();
    EXPECT_EQ(run(), std::vector<long long>(all.begin() + 120, all.end()));
    EXPECT_EQ(gintExamTime, 999);
    frmExam.Unload();

    w().Show();
    enter("010", "05", "010");
    Click(w().cmdNext());
    expectRunOpened();
    EXPECT_EQ(run(), std::vector<long long>(all.begin() + 4, all.begin() + 14));
    EXPECT_EQ(gintExamTime, 10);
    EXPECT_TRUE(boxes.empty()) << "a box while a run started";
}

TEST_F(SettingsTest, BookmarkedQuestionsUpToTheLastAndNoneAtAll) {
    // No bookmarks: there is nothing to take, whatever the count.
    w().Show();
    Click(w().optBookMark());
    EXPECT_EQ(w().lblAvailQuest()->text(), "0");
    enter("1", "1", "30");
    Click(w().cmdNext());
    EXPECT_EQ(lastBox().text, "Sufficient Questions not avialable");
    EXPECT_FALSE(frmExam.IsLoaded());
    EXPECT_TRUE(run().empty());

    const auto all = bank();
    std::vector<long long> marked;
    for (int i = 0; i < 10; ++i) marked.push_back(all[7 * i + 3]);
    for (long long q : marked) gcnExam->Execute("INSERT INTO BookMark (QId) VALUES (?)", {q});
    Click(w().optAll());
    Click(w().optBookMark());
    EXPECT_EQ(w().lblAvailQuest()->text(), "10");
    enter("10", "2", "30");
    Click(w().cmdNext());
    EXPECT_EQ(lastBox().text, "Sufficient Questions not avialable");
    EXPECT_EQ(focused(), w().txtQuestNum());

    w().chkRandQuest()->SetValue(1);
    w().chkRandAns()->SetValue(1);
    enter("9", "2", "30");
    Click(w().cmdNext());
    expectRunOpened();
    EXPECT_EQ(sorted(run()), std::vector<long long>(marked.begin() + 1, marked.end()));
    EXPECT_NE(run(), std::vector<long long>(marked.begin() + 1, marked.end()));
    // Each question's options once, not all in stored order.
    std::map<long long, std::vector<long long>> shown;
    for (const RunOption& o : RunOptions(*gcnExam)) shown[o.qid].push_back(o.ansId);
    int moved = 0;
    for (const auto& [q, options] : shown) {
        moved += options != StoredOptions(*gcnExam, q);
        EXPECT_EQ(sorted(options), StoredOptions(*gcnExam, q));
    }
    EXPECT_GT(moved, 0);
    // The run starts on a bookmarked question with its box ticked, and no
    // question is bookmarked twice.
    EXPECT_EQ(frmExam.chkBookMark()->Value(), 1);
    ASSERT_FALSE(run().empty());
    EXPECT_EQ(gintCurQId, run()[0]);
    EXPECT_EQ(qids("SELECT QId FROM BookMark ORDER BY QId"), marked);
}

TEST_F(SettingsTest, TheCustomCountIsTheCellsSum) {
    w().Show();
    QTableWidget* g = w().msgCustom();
    Click(w().optCustom());
    EXPECT_TRUE(w().frmCustom()->isEnabled());
    EXPECT_TRUE(w().txtQuestNum()->isReadOnly());
    EXPECT_TRUE(w().txtStartFrom()->isReadOnly());
    EXPECT_EQ(w().txtQuestNum()->text(), "240");
    EXPECT_EQ(w().lblAvailQuest()->text(), "240");

    // A value picked in a cell changes the count, with the mouse as by code.
    pick(cell(1, 0), 4);
    EXPECT_EQ(w().txtQuestNum()->text(), "234");
    mousePick(cell(2, 1), 7);
    EXPECT_EQ(cell(2, 1)->currentText(), "7");
    EXPECT_EQ(w().txtQuestNum()->text(), "233");

    // Cells set to 0 stay 0 when custom is chosen again: the count is theirs,
    // and Next refuses it.
    allCellsZero();
    EXPECT_EQ(w().txtQuestNum()->text(), "0");
    Click(w().optAll());
    EXPECT_EQ(w().txtQuestNum()->text(), "0");
    w().txtQuestNum()->setText("50");
    Click(w().optCustom());
    EXPECT_EQ(w().txtQuestNum()->text(), "0");
    EXPECT_EQ(w().txtStartFrom()->text(), "1");
    Click(w().cmdNext());
    EXPECT_EQ(lastBox().text, "Number of Questions cannot be zero");
    EXPECT_FALSE(frmExam.IsLoaded());

    // In order: the first questions of each cell by QId, listed by category,
    // within one in QId order.
    pick(cell(1, 0), 2);
    pick(cell(1, 2), 1);
    pick(cell(3, 1), 1);
    EXPECT_EQ(w().txtQuestNum()->text(), "4");
    w().txtMin()->setText("45");
    ASSERT_EQ(g->item(3, 0)->text(), "3");
    Click(w().cmdNext());
    expectRunOpened();
    const auto b1 = ofCell(1, "B"), e1 = ofCell(1, "E"), i3 = ofCell(3, "I");
    std::vector<long long> expected = sorted({b1[0], b1[1], e1[0]});
    expected.push_back(i3[0]);
    EXPECT_EQ(run(), expected);
    EXPECT_EQ(gintExamTime, 45);
}

// Two categories of one name are two rows, and each row takes its own
// category's questions, in order and at random.
TEST_F(SettingsTest, CustomRowsBelongToTheirCategoryByIndex) {
    gcnExam->Execute("UPDATE Categories SET CatName = 'Network Fundamentals and Models' WHERE Index = 2");
    const auto b2 = ofCell(2, "B");
    for (bool random : {false, true}) {
        SCOPED_TRACE(random ? "at random" : "in order");
        w().Show();
        Click(w().optCustom());
        allCellsZero();
        pick(cell(2, 0), 3);
        w().chkRandQuest()->SetValue(random ? 1 : 0);
        Click(w().cmdNext());
        expectRunOpened();
        const auto taken = run();
        ASSERT_EQ(taken.size(), 3u);
        for (long long q : taken) EXPECT_TRUE(std::count(b2.begin(), b2.end(), q)) << "question " << q;
        if (!random) {
            EXPECT_EQ(taken, std::vector<long long>(b2.begin(), b2.begin() + 3));
        }
        frmExam.Unload();
    }
}

TEST_F(SettingsTest, ARefusedSelectionKeepsTheWindowTheEntriesAndTheOldRun) {
    const long long q = bank()[0];
    gcnExam->Execute("INSERT INTO BookMark (QId) VALUES (?), (?)", {q, q});
    leaveOldRun();
    w().Show();
    Click(w().optBookMark());
    enter("2", "1", "30");
    Click(w().cmdNext());
    const MsgBoxCall box = lastBox();
    EXPECT_EQ(box.title, "Question Selection");
    EXPECT_EQ(box.icon(), vbCritical);
    EXPECT_TRUE(box.text.contains(QString::number(q)));
    EXPECT_TRUE(w().Visible());
    EXPECT_EQ(w().txtQuestNum()->text(), "2");
    EXPECT_TRUE(w().optBookMark()->Value());
    EXPECT_FALSE(frmExam.IsLoaded());
    EXPECT_TRUE(oldRunKept());
}

// The arrow keys choose the source they move to, as a click does: Customize
// by Space, then Up Up chooses "Select all the Questions", whose count can be
// typed again and is the one NEXT starts.
TEST_F(SettingsTest, ArrowKeysChooseTheSourceTheyMoveTo) {
    gcnExam->Execute("INSERT INTO BookMark (QId) SELECT QId FROM Questions where QId <= 7");
    w().Show();
    const auto press = [](Qt::Key key) {
        ASSERT_NE(focused(), nullptr);
        QTest::keyClick(focused(), key);
    };
    w().optCustom()->setFocus();
    press(Qt::Key_Space);
    ASSERT_TRUE(w().optCustom()->Value());
    ASSERT_TRUE(w().frmCustom()->isEnabled());

    press(Qt::Key_Up);
    EXPECT_EQ(focused(), w().optBookMark());
    EXPECT_TRUE(w().optBookMark()->Value());
    EXPECT_FALSE(w().optCustom()->Value());
    EXPECT_EQ(w().lblAvailQuest()->text(), "7") << "the bookmarks' handler did not run";
    EXPECT_FALSE(w().frmCustom()->isEnabled());
    press(Qt::Key_Up);
    EXPECT_EQ(focused(), w().optAll());
    EXPECT_TRUE(w().optAll()->Value());
    EXPECT_FALSE(w().optBookMark()->Value());
    EXPECT_EQ(w().lblAvailQuest()->text(), "240");

    // Round the end and back; Left and Right as Up and Down.
    press(Qt::Key_Up);
    EXPECT_EQ(focused(), w().optCustom());
    EXPECT_TRUE(w().frmCustom()->isEnabled());
    EXPECT_TRUE(w().txtQuestNum()->isReadOnly());
    press(Qt::Key_Right);
    EXPECT_EQ(focused(), w().optAll());
    EXPECT_TRUE(w().optAll()->Value());
    EXPECT_FALSE(w().frmCustom()->isEnabled());
    EXPECT_FALSE(w().txtQuestNum()->isReadOnly()) << "the count cannot be typed";
    press(Qt::Key_Left);
    press(Qt::Key_Down);
    EXPECT_EQ(focused(), w().optAll());

    w().txtQuestNum()->setFocus();
    w().txtQuestNum()->selectAll();
    QTest::keyClicks(w().txtQuestNum(), "12");
    EXPECT_EQ(w().txtQuestNum()->text(), "12");
    Click(w().cmdNext());
    expectRunOpened();
    const std::vector<long long> all = bank();
    EXPECT_EQ(run(), std::vector<long long>(all.begin(), all.begin() + 12));
}

// Only the administrator's sign-in offers the exam configuration on the way
// back; a candidate who signed up as "Norvi" is a candidate.
TEST_F(SettingsTest, BackOffersTheConfigurationOnlyAfterTheAdministratorsSignIn) {
    gcnExam->Execute("INSERT into User (Uname,Name,Email,Phone) values('nv','Norvi','NA','NA'), "
                     "('amy','Amy Ames','NA','NA')");
    auto learnThenBack = [&] {
        ASSERT_TRUE(frmMode.Visible());
        Click(frmMode.optLearn());
        Click(frmMode.cmdNext());
        ASSERT_TRUE(w().Visible());
        Click(w().cmdBack());
        EXPECT_FALSE(w().IsLoaded());
        ASSERT_TRUE(frmMode.Visible());
    };
    for (const auto& [uname, name] : {std::pair("nv", "Norvi"), std::pair("amy", "Amy Ames")}) {
        frmLogin.Show();
        frmLogin.cboUname()->setEditText(uname);
        Click(frmLogin.cmdEnter());
        EXPECT_EQ(gstrCandName, name);
        learnThenBack();
        EXPECT_FALSE(frmMode.optConfig()->isVisible()) << uname;
        frmMode.Unload();
    }
    SignInAsAdministrator();
    learnThenBack();
    EXPECT_TRUE(frmMode.optConfig()->isVisible());
}

// After an update, the administrator's run from the set-up window follows
// what was stored, and the window marks the configuration mode.
TEST_F(SettingsTest, AfterAnUpdateTheSetUpWindowShowsWhatWasStored) {
    SignInAsAdministrator();
    Click(frmMode.optConfig());
    Click(frmMode.cmdNext());
    ASSERT_TRUE(frmAdminConfig.Visible());
    Click(frmAdminConfig.chkPrevious());
    Click(frmAdminConfig.chkReview());
    Click(frmAdminConfig.cmdUpdate());
    Click(frmAdminConfig.cmdNext());
    ASSERT_TRUE(gblnAdminMode);

    Click(frmMode.optLearn());
    Click(frmMode.cmdNext());
    ASSERT_TRUE(w().Visible());
    EXPECT_TRUE(w().Menu().adminConfig->isChecked());
    EXPECT_FALSE(w().Menu().user->isChecked());
    enter("5", "1", "20");
    Click(w().cmdNext());
    expectRunOpened();
    EXPECT_FALSE(frmExam.cmdPrev()->isEnabled());
    EXPECT_FALSE(frmExam.cmdReview()->isEnabled());
    EXPECT_EQ(frmExam.lblTime()->text(), "00:19:59");
}

// Keys never change a cell, whether its list is closed or open: a value is
// picked from the list with the mouse.
TEST_F(SettingsTest, KeysLeaveACellAsItIsAndTheMousePicksItsValue) {
    w().Show();
    Click(w().optCustom());
    QComboBox* box = cell(2, 1);
    const QString largest = box->currentText();
    ASSERT_GE(largest.toInt(), 3);
    const QString count = w().txtQuestNum()->text();

    box->setFocus();
    for (Qt::Key key : {Qt::Key_Up, Qt::Key_Down, Qt::Key_Home, Qt::Key_End, Qt::Key_PageUp, Qt::Key_PageDown,
                        Qt::Key_Left, Qt::Key_Right, Qt::Key_0, Qt::Key_1, Qt::Key_2, Qt::Key_Delete,
                        Qt::Key_Backspace}) {
        QTest::keyClick(box, key);
        EXPECT_EQ(box->currentText().toStdString(), largest.toStdString())
            << "key " << QKeySequence(key).toString().toStdString();
    }
    QTest::keyClicks(box, "10");
    EXPECT_EQ(box->currentText(), largest);

    // Open, the list moves with no key either, and Return picks nothing.
    box->showPopup();
    QAbstractItemView* list = box->view();
    ASSERT_TRUE(list->isVisible());
    for (Qt::Key key : {Qt::Key_Home, Qt::Key_Up, Qt::Key_1, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space})
        QTest::keyClick(list, key);
    EXPECT_EQ(box->currentText(), largest);
    QTest::keyClick(list, Qt::Key_Escape);
    EXPECT_FALSE(list->isVisible()) << "Escape closes the list";
    EXPECT_EQ(box->currentText(), largest);
    EXPECT_EQ(w().txtQuestNum()->text(), count);

    // The mouse picks; the count follows; keys still change nothing afterwards.
    mousePick(box, 1);
    EXPECT_EQ(box->currentText(), "1");
    const int sum = count.toInt() - largest.toInt() + 1;
    EXPECT_EQ(w().txtQuestNum()->text(), QString::number(sum));
    box->setFocus();
    QTest::keyClick(box, Qt::Key_Down);
    QTest::keyClick(box, Qt::Key_End);
    EXPECT_EQ(box->currentText(), "1");

    // A run of what the cells show.
    allCellsZero();
    mousePick(cell(1, 0), 2);
    EXPECT_EQ(w().txtQuestNum()->text(), "2");
    Click(w().cmdNext());
    expectRunOpened();
    ASSERT_TRUE(frmExam.IsLoaded());
    const auto b1 = ofCell(1, "B");
    EXPECT_EQ(run(), std::vector<long long>(b1.begin(), b1.begin() + 2));
}

// The last question is a start like any other: one question from there.
TEST_F(SettingsTest, TheLastQuestionOfTheSourceIsAValidStart) {
    const auto all = bank();
    w().Show();
    enter("1", QString::number(all.size()), "30");
    Click(w().cmdNext());
    EXPECT_TRUE(boxes.empty()) << lastBox().text.toStdString();
    expectRunOpened();
    ASSERT_TRUE(frmExam.IsLoaded());
    EXPECT_EQ(run(), std::vector<long long>{all.back()});
    frmExam.Unload();

    // One further is beyond the bank; two from the last as well.
    w().Show();
    for (const auto& [count, start] : {std::pair(1, all.size() + 1), std::pair(2, all.size())}) {
        boxes.clear();
        enter(QString::number(count), QString::number(start), "30");
        Click(w().cmdNext());
        EXPECT_EQ(lastBox().text, "Sufficient Questions not avialable") << count << " from " << start;
        EXPECT_FALSE(frmExam.IsLoaded());
    }

    // The last of ten bookmarks, in order and at random.
    std::vector<long long> marked;
    for (int i = 0; i < 10; ++i) marked.push_back(all[5 * i + 2]);
    for (long long q : marked) gcnExam->Execute("INSERT INTO BookMark (QId) VALUES (?)", {q});
    for (int random : {0, 1}) {
        SCOPED_TRACE(random ? "at random" : "in order");
        boxes.clear();
        w().Show();
        Click(w().optBookMark());
        ASSERT_EQ(w().lblAvailQuest()->text(), "10");
        w().chkRandQuest()->SetValue(random);
        enter("1", "10", "30");
        Click(w().cmdNext());
        EXPECT_TRUE(boxes.empty()) << lastBox().text.toStdString();
        expectRunOpened();
        ASSERT_TRUE(frmExam.IsLoaded());
        EXPECT_EQ(run(), std::vector<long long>{marked.back()});
        frmExam.Unload();
    }
}

// Taking questions in order counts the cells down: afterwards each shows what
// it still asks for, nothing, and so does the count.
TEST_F(SettingsTest, AnInOrderCustomSelectionLeavesItsCellsAtNothing) {
    w().Show();
    Click(w().optCustom());
    allCellsZero();
    pick(cell(1, 0), 2);
    pick(cell(1, 2), 1);
    pick(cell(2, 1), 1);
    ASSERT_EQ(w().txtQuestNum()->text(), "4");
    gcnExam->Execute("DELETE * from QuestIds");
    gcnExam->Execute("DELETE * from AnsIds");
    ASSERT_TRUE(w().FetchCustQuest("Questions", 4, false, false));
    ASSERT_TRUE(w().IsLoaded());
    for (int e = 1; e <= w().mintCmbCount; ++e) EXPECT_EQ(w().cmbDiffLvl()(e)->currentText(), "0") << "cell " << e;
    EXPECT_EQ(w().txtQuestNum()->text(), "0");
    const auto b1 = ofCell(1, "B"), e1 = ofCell(1, "E"), i2 = ofCell(2, "I");
    std::vector<long long> expected = sorted({b1[0], b1[1], e1[0]});
    expected.push_back(i2[0]);
    EXPECT_EQ(run(), expected);
}

// The wheel turned over a closed cell, as the platform delivers it, changes no
// cell and no count: it scrolls the grid, down and back up.
TEST_F(SettingsTest, TheWheelOverAClosedCellScrollsTheGridAndLeavesTheCell) {
    // Categories enough that the grid scrolls, each with a question of every level.
    long long qid = gcnExam->Scalar("SELECT max(QId) FROM Questions").toInt();
    for (int c = 101; c <= 115; ++c) {
        gcnExam->Execute("INSERT INTO Categories (Index, CatName) VALUES (?, ?)", {c, "Extra " + std::to_string(c)});
        for (const char* level : {"B", "I", "E"})
            gcnExam->Execute("INSERT INTO Questions (QId,QName,DiffLevel,QType,CatInd,ExhibitPath,Expln) "
                             "VALUES (?, 'Q', ?, 'D', ?, 'NA', 'NA')",
                             {++qid, level, c});
    }
    w().Show();
    Click(w().optCustom());
    QTableWidget* g = w().msgCustom();
    QScrollBar* bar = g->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0) << "the grid does not scroll";
    ASSERT_EQ(bar->value(), 0);

    // A cell showing neither its first nor its last value, so either way would change it.
    QComboBox* box = cell(1, 0);
    ASSERT_GE(box->count(), 3);
    pick(box, 1);
    const QString count = w().txtQuestNum()->text();
    auto wheel = [&](int angle) {
        const QPointF at = QRectF(box->rect()).center();
        QWheelEvent e(at, box->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
        // Delivered as QTest delivers the mouse: as from the window system, so
        // that what the cell leaves goes on to the widgets under it.
        QSpontaneKeyEvent::setSpontaneous(&e);
        qApp->notify(box, &e);
    };
    wheel(-120);
    EXPECT_EQ(box->currentText().toStdString(), "1");
    EXPECT_EQ(w().txtQuestNum()->text().toStdString(), count.toStdString());
    const int scrolled = bar->value();
    EXPECT_GT(scrolled, 0) << "the grid did not scroll down";
    wheel(120);
    EXPECT_EQ(box->currentText().toStdString(), "1");
    EXPECT_EQ(w().txtQuestNum()->text().toStdString(), count.toStdString());
    EXPECT_LT(bar->value(), scrolled) << "the grid did not scroll back up";
}
