// The simulator window as a candidate uses it: opened from the exam window,
// typed at through real key presses, closed, reopened, reset, the model
// answer, a saved result, the exhibit over it and the time running out, all on
// the test's copy of the shipped database and a real console file.
#include "exam/answers.h"
#include "exam/frmExam.h"
#include "exam/frmExhibit.h"
#include "labs.h"
#include "results/frmGrade.h"
#include "results/scoring.h"
#include "simulator/frmSimulator.h"
#include "startup/state.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTest>

#include <chrono>

#include <sys/stat.h>

using namespace plat;
using namespace sim_test;
using namespace std::chrono_literals;

namespace {

const QString kStart = QStringLiteral("Press\"Return\" to Start");

class SimWindowTest : public pemu_test::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        frmExam.SetClockForTesting([this] { return now_; });
        lab = AddLab(*gcnExam, TestLab(), &rows);
    }
    void TearDown() override {
        ProgramTest::TearDown();
        frmExam.SetClockForTesting(nullptr);
    }

    // A run of these questions in the exam window, in this order.
    void startRun(const std::vector<long long>& run, bool examMode = false) {
        gcnExam->Execute("DELETE * from QuestIds");
        gcnExam->Execute("DELETE * from AnsIds");
        for (size_t i = 0; i < run.size(); ++i)
            gcnExam->Execute("INSERT INTO QuestIds (Index,QId) VALUES (?,?)", {static_cast<long long>(i + 1), run[i]});
        gblnExamMode = examMode;
        gblnAdaptive = false;
        gintExamTime = 90;
        gintExamLimit = static_cast<int16_t>(run.size());
        frmExam.Show();
    }
    // Opens the simulator from the exam window and runs `inside` while it is up.
    ::testing::AssertionResult inSimulator(const std::function<void()>& inside, QPushButton* opener = nullptr) {
        return WhileModal(frmSimulator, [&] { Click(opener ? opener : frmExam.cmdSimulator()); }, inside);
    }

    QPlainTextEdit* console() { return frmSimulator.txtSimCon(); }
    QString text() { return console()->toPlainText(); }
    QString lastLine() { return text().section(QLatin1Char('\n'), -1); }
    void type(const QString& s) { QTest::keyClicks(console(), s); }
    void enter(const QString& s = QString()) {
        type(s);
        QTest::keyClick(console(), Qt::Key_Return);
    }
    void ctrlZ() { QTest::keyClick(console(), Qt::Key_Z, Qt::ControlModifier); }
    void erase(int n) {
        for (int i = 0; i < n; ++i) QTest::keyClick(console(), Qt::Key_Backspace);
    }
    bool caretAtEnd() { return console()->textCursor().atEnd(); }

    QByteArray file() {
        QFile f(QString::fromStdString((folder() / "SimCmds.txt").string()));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    std::vector<long long> typed(long long qid) { return Typed(*gcnExam, qid); }
    size_t boxCount(const QString& text) {
        size_t n = 0;
        for (const MsgBoxCall& b : boxes) n += b.text == text;
        return n;
    }

    void timeRunsOut() {
        now_ += 90min;
        frmExam.tmrExamTime_Timer();
    }

    long long lab = 0;
    std::vector<long long> rows;
    std::chrono::steady_clock::time_point now_{std::chrono::hours(1000)};
};

std::vector<long long> Flags(std::initializer_list<long long> v) { return v; }

// The control Tab moves to from w.
QWidget* nextTabStop(QWidget* w) {
    for (QWidget* n = w->nextInFocusChain(); n && n != w; n = n->nextInFocusChain())
        if ((n->focusPolicy() & Qt::TabFocus) && n->isEnabled() && !w->isAncestorOf(n)) return n;
    return nullptr;
}

}  // namespace

// The window's face, and a console typed at line by line: what each key
// writes, what it records, and that a reopened console goes on where it was.
TEST_F(SimWindowTest, TypedLinesWriteTheConsoleAndRecordAtOnceAndAReopenedConsoleGoesOn) {
    startRun({lab});
    // Flags left from elsewhere go when the question's console starts afresh.
    gcnExam->Execute("UPDATE SimCommands SET CmdTyped = 1 where QId = ?", {lab});
    QString leftAs;
    ASSERT_TRUE(inSimulator([&] {
        EXPECT_EQ(frmSimulator.Caption(), "Simulator");
        EXPECT_EQ(frmSimulator.lblQuestID()->text(), "QuestionID:");
        EXPECT_EQ(frmSimulator.lblQId()->text(), QString::number(lab));
        EXPECT_EQ(frmSimulator.lblTime()->text(), "Time");
        EXPECT_EQ(frmSimulator.txtQues()->toPlainText(), "Configure R9.");
        EXPECT_TRUE(frmSimulator.txtQues()->isReadOnly());
        EXPECT_TRUE(frmSimulator.Guidetxt()->isReadOnly());
        EXPECT_EQ(frmSimulator.Guidetxt()->toPlainText(),
                  "GUIDELINES\n\n1)  Commands beyond the scope of question will not \nbe accepted.\n\n"
                  "2)  Command parameters like IP no., No. of access list \netc should be entered correctly.\n\n"
                  "3) Commands shortcuts are acceptable, Ex: 'en' can be \ntyped for the command 'enable'\n\n"
                  "4)  Commands should be strictly in lowercase.\n");
        EXPECT_EQ(frmSimulator.cmdReset()->text(), "&Reset");
        EXPECT_EQ(frmSimulator.cmdShwExh()->text(), "&Show Exhibit");
        EXPECT_EQ(frmSimulator.cmdClose()->text(), "&Close");
        EXPECT_FALSE(frmSimulator.cmdShwExh()->isEnabled()) << "the question has no exhibit";
        EXPECT_TRUE(frmSimulator.cmdReset()->isEnabled());
        EXPECT_EQ(frmSimulator.Window()->focusWidget(), console()) << "the console comes first";
        EXPECT_EQ(nextTabStop(console()), frmSimulator.cmdReset());

        EXPECT_EQ(text(), kStart);
        EXPECT_EQ(typed(lab), std::vector<long long>(8, 0));
        ctrlZ();
        EXPECT_EQ(text(), kStart) << "Ctrl+Z before the start";
        EXPECT_TRUE(boxes.empty());

        enter();
        EXPECT_EQ(text(), kStart + "\nR9>");
        EXPECT_TRUE(caretAtEnd());
        enter("en");
        EXPECT_EQ(text(), kStart + "\nR9>en\nR9#") << "no line break of the key's own";
        EXPECT_EQ(typed(lab), Flags({1, 0, 0, 0, 0, 0, 0, 0}));

        // Refused: the line stays for correction, no new prompt, nothing recorded.
        enter("conf T");
        EXPECT_EQ(text(), kStart + "\nR9>en\nR9#conf T");
        EXPECT_TRUE(caretAtEnd());
        EXPECT_EQ(lastBox().text, "This command is not supported in this Simulation");
        EXPECT_EQ(lastBox().title, "Simulator");
        EXPECT_EQ(lastBox().icon(), vbInformation);
        EXPECT_EQ(lastBox().buttons(), vbOKOnly);
        erase(1);
        enter("t");
        EXPECT_EQ(text(), kStart + "\nR9>en\nR9#conf t\nEnter configuration commands, one per line.  End with "
                                   "CNTL/Z.\nR9(config)#");
        EXPECT_EQ(typed(lab), Flags({1, 1, 0, 0, 0, 0, 0, 0}));

        // Typed text is a value, never SQL: a quote is just a wrong interface.
        enter("int g0/1' or '1'='1");
        EXPECT_EQ(boxCount("This command is not supported in this Simulation"), 2u);
        erase(11);  // back to "int g0/1"
        // The line is taken from the end of the console, wherever the caret is.
        console()->moveCursor(QTextCursor::Start);
        enter();
        EXPECT_EQ(lastLine(), "R9(config-if)#");
        EXPECT_TRUE(caretAtEnd());
        EXPECT_EQ(typed(lab), Flags({1, 1, 1, 0, 0, 0, 0, 0}));
        enter("no shut");
        EXPECT_EQ(boxCount("This command is not supported in this Simulation"), 3u) << "the address comes first";
        erase(7);

        // Ctrl+Z leaves the configuration, says so and records nothing more.
        const QString before = text();
        boxes.clear();
        ctrlZ();
        EXPECT_EQ(text(), before + "\n%SYS-5-CONFIG_I: Configured from console by console\nR9#");
        EXPECT_TRUE(caretAtEnd());
        EXPECT_EQ(lastBox().text, " Your response has been recorded");
        EXPECT_EQ(lastBox().title, "Simulator");
        EXPECT_EQ(lastBox().icon(), vbInformation);
        ctrlZ();
        EXPECT_EQ(boxes.size(), 1u) << "Ctrl+Z at # does nothing";
        EXPECT_EQ(typed(lab), Flags({1, 1, 1, 0, 0, 0, 0, 0}));

        enter("conf t");
        enter("int g0/1");
        type("ip add 10.0.0.1");  // typed, not entered
        leftAs = text();
        Click(frmSimulator.cmdClose());
    }));
    EXPECT_FALSE(frmSimulator.IsLoaded());
    EXPECT_TRUE(answers::IsAnswered(*gcnExam, lab, "SIM"));
    EXPECT_FALSE(frmExam.ChkAnsCor());

    // Reopened: the console exactly as left, going on at its prompt.
    ASSERT_TRUE(inSimulator([&] {
        EXPECT_EQ(text(), leftAs);
        EXPECT_TRUE(caretAtEnd());
        EXPECT_EQ(typed(lab), Flags({1, 1, 1, 0, 0, 0, 0, 0})) << "a restored console keeps its commands";
        enter(" 255.0.0.0");
        EXPECT_EQ(lastLine(), "R9(config-if)#");
        for (const char* line : {"no sh", "exit", "int g0/2", "no shutdown", "exit", "router ospf 1"}) enter(line);
        EXPECT_EQ(lastLine(), "R9(config-router)#");
    }));
    EXPECT_EQ(typed(lab), std::vector<long long>(8, 1));
    EXPECT_TRUE(frmExam.ChkAnsCor());
}

// The public judge step alone: an accepted command is recorded and its output
// waits for the next prompt line; a refused one gets its box.
TEST_F(SimWindowTest, ChkCmdTypedJudgesOneCommandAtThePromptAndItsOutputWaits) {
    startRun({lab});
    ASSERT_TRUE(inSimulator([&] {
        enter();
        frmSimulator.ChkCmdTyped("en");
        frmSimulator.ChkCmdTyped("conf t");
        EXPECT_EQ(typed(lab), Flags({1, 1, 0, 0, 0, 0, 0, 0}));
        EXPECT_TRUE(boxes.empty());
        EXPECT_EQ(text(), kStart + "\nR9>") << "nothing written yet";
        enter();
        EXPECT_EQ(text(), kStart + "\nR9>\n" + kConfigOutput + "\nR9(config)#");
        frmSimulator.ChkCmdTyped("int G0/1");
        EXPECT_EQ(lastBox().text, "This command is not supported in this Simulation");
        EXPECT_EQ(typed(lab), Flags({1, 1, 0, 0, 0, 0, 0, 0}));
        EXPECT_EQ(frmSimulator.RemSpacesInCmd("  int   g0/1 "), " int g0/1");
    }));
}

TEST_F(SimWindowTest, ResetAsksAndOnYesStartsAgainAndTheBlockGoes) {
    const long long other = gcnExam->Scalar("SELECT min(QId) FROM Questions WHERE QType = 'SIM'").toInt();
    startRun({lab, other});
    ASSERT_TRUE(inSimulator([&] {
        for (const char* line : {"", "en", "conf t"}) enter(line);
    }));
    Click(frmExam.cmdNext());
    ASSERT_TRUE(inSimulator([&] { enter(); }));
    Click(frmExam.cmdPrev());
    const QByteArray twoBlocks = file();
    ASSERT_TRUE(twoBlocks.startsWith("[QID : " + QByteArray::number(lab) + "]\r\n"));

    ASSERT_TRUE(inSimulator([&] {
        const QString before = text();
        boxes.clear();
        answers = {vbNo};
        Click(frmSimulator.cmdReset());
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Do You Want to Reset");
        EXPECT_EQ(boxes[0].title, "Reset");
        EXPECT_EQ(boxes[0].buttons(), vbYesNo);
        EXPECT_EQ(boxes[0].icon(), 0);
        EXPECT_EQ(text(), before);
        EXPECT_EQ(typed(lab), Flags({1, 1, 0, 0, 0, 0, 0, 0}));
        EXPECT_EQ(frmSimulator.Window()->focusWidget(), console());

        Click(frmSimulator.cmdReset());  // Yes
        EXPECT_EQ(text(), kStart);
        EXPECT_TRUE(caretAtEnd());
        EXPECT_EQ(typed(lab), std::vector<long long>(8, 0));
        ctrlZ();
        EXPECT_EQ(text(), kStart) << "the console has not started again";
    }));
    EXPECT_FALSE(answers::IsAnswered(*gcnExam, lab, "SIM"));
    EXPECT_EQ(file(), twoBlocks.mid(twoBlocks.indexOf("[QID : " + QByteArray::number(other) + "]")))
        << "only the other question's block is left";
    ASSERT_TRUE(inSimulator([&] {
        EXPECT_EQ(text(), kStart);
        enter();
        EXPECT_EQ(text(), kStart + "\nR9>") << "started afresh at the first level";
    }));
}

// Show Answer and a reopened result are read-only: a listing in a disabled
// console, the candidate's console and the file left as they were.
TEST_F(SimWindowTest, TheModelAnswerAndASavedResultShowListingsAndLeaveTheConsoleAlone) {
    startRun({lab});
    QString leftAs;
    ASSERT_TRUE(inSimulator([&] {
        for (const char* line : {"", "en", "conf t", "int g0/1"}) enter(line);
        leftAs = text();
    }));
    const QByteArray saved = file();
    const std::vector<long long> flags = typed(lab);
    ASSERT_TRUE(frmExam.cmdShowAns()->isVisible());

    ASSERT_TRUE(inSimulator(
        [&] {
            EXPECT_TRUE(frmExam.mblnFromShAns);
            EXPECT_FALSE(console()->isEnabled());
            EXPECT_FALSE(frmSimulator.cmdReset()->isEnabled());
            EXPECT_FALSE(frmSimulator.cmdShwExh()->isEnabled());
            const QString link = QString(kLinkOutput).replace("\r\n", "\n");
            EXPECT_EQ(text(), QString("Commands\nR9> enable\nR9# configure terminal\n") + kConfigOutput +
                                  "\nR9(config)# interface g0/1\nR9(config-if)# ip address 10.0.0.1 255.0.0.0"
                                  "\nR9(config-if)# no shutdown\n" + link + "\nR9(config)# interface g0/2"
                                  "\nR9(config-if)# no shutdown\n" + link + "\nR9(config)# router ospf 1");
            Click(frmSimulator.cmdClose());
        },
        frmExam.cmdShowAns()));
    EXPECT_FALSE(frmExam.mblnFromShAns);
    EXPECT_EQ(file(), saved);
    EXPECT_EQ(typed(lab), flags);
    ASSERT_TRUE(inSimulator([&] {
        EXPECT_EQ(text(), leftAs) << "the console is not touched by the model answer";
        EXPECT_TRUE(console()->isEnabled());
        // Still at (config-if)#, where the address comes before no shutdown.
        enter("no sh");
        EXPECT_EQ(text(), leftAs + "no sh");
        EXPECT_EQ(boxCount("This command is not supported in this Simulation"), 1u);
    }));
    frmExam.Unload();

    // A saved result: the commands it recorded, whatever the console file holds.
    const QByteArray lastRun = file();
    gblnFromResults = true;
    frmExam.Show();
    ASSERT_TRUE(inSimulator([&] {
        EXPECT_FALSE(console()->isEnabled());
        EXPECT_FALSE(frmSimulator.cmdReset()->isEnabled());
        EXPECT_EQ(text(), QString("Commands\nR9> enable\nR9# configure terminal\n") + kConfigOutput +
                              "\nR9(config)# interface g0/1");
        Click(frmSimulator.cmdClose());
    }));
    EXPECT_EQ(file(), lastRun);
    EXPECT_EQ(typed(lab), flags);
}

// The exam's countdown shows in the simulator; the exhibit opens over it
// without a time of its own; when the time runs out, the viewer closes first,
// then the simulator, whose console is saved as it stood.
TEST_F(SimWindowTest, TheTimeShowsHereAndRunningOutClosesTheExhibitThenSavesTheConsole) {
    const long long withExhibit = 35;
    ASSERT_NE(gcnExam->Scalar("SELECT ExhibitPath FROM Questions WHERE QId = ?", {withExhibit}).toString(), "NA");
    startRun({withExhibit}, true);
    QString leftAs;
    ASSERT_TRUE(inSimulator([&] {
        EXPECT_TRUE(frmSimulator.cmdShwExh()->isEnabled());
        now_ += 1s;
        frmExam.tmrExamTime_Timer();
        EXPECT_EQ(frmSimulator.lblTime()->text(), "01:29:58");
        for (const char* line : {"", "en", "conf t"}) enter(line);
        type("int g0/0.");
        leftAs = text();
        ASSERT_TRUE(WhileModal(frmExhibit, [&] { Click(frmSimulator.cmdShwExh()); }, [&] {
            EXPECT_EQ(frmExhibit.lblQId()->text(), "35");
            EXPECT_FALSE(frmExhibit.lblTime()->isVisible());
            now_ += 1s;
            frmExam.tmrExamTime_Timer();
            EXPECT_EQ(frmSimulator.lblTime()->text(), "01:29:57") << "the time shows in the simulator underneath";
            timeRunsOut();
            EXPECT_FALSE(frmExhibit.IsLoaded());
        }));
    }));
    Settle();
    EXPECT_FALSE(frmSimulator.IsLoaded());
    EXPECT_FALSE(frmExam.IsLoaded());
    EXPECT_TRUE(frmGrade.Visible());
    EXPECT_EQ(boxCount("Sorry! You have exceeded the given time. The exam will end now"), 1u);
    QByteArray block = "[QID : 35]\r\nR1\r\n(config)#\r\n" + leftAs.toUtf8().replace("\n", "\r\n") + "\r\n[EOQ]\r\n";
    EXPECT_EQ(file(), block);
    EXPECT_EQ(typed(withExhibit), Flags({1, 1, 0, 0, 0, 0, 0, 0, 0, 0}));
}

// In an adaptive run the commands typed in the simulator up to the time
// running out are judged with the rest of the run: the grade report counts
// the lab as answered right.
TEST_F(SimWindowTest, TimeUpInAnAdaptiveRunGradesTheCommandsTypedBeforeIt) {
    const long long one = AddLab(*gcnExam, {{">", "enable", "#", "NA", {}}});
    gcnExam->Execute("UPDATE AdminConfig SET MaxScore = 100, PassPercentage = 50 where Index = 1");
    gcnExam->Execute("DELETE * from QuestIds");
    gcnExam->Execute("DELETE * from AnsIds");
    gcnExam->Execute("INSERT INTO QuestIds (Index,QId,DiffLvl) VALUES (1,?,'B')", {one});
    gblnExamMode = true;
    gblnAdaptive = true;
    gintExamTime = 90;
    gintBeginScore = 1;
    gintIntScore = 2;
    gintExpScore = 3;
    gintExamLimit = 1;
    frmExam.Show();
    ASSERT_EQ(gintCurQId, one);
    ASSERT_TRUE(inSimulator([&] {
        enter();
        enter("en");
        ASSERT_EQ(typed(one), Flags({1}));
        timeRunsOut();
    }));
    Settle();
    ASSERT_TRUE(frmGrade.Visible());
    EXPECT_EQ(gintAdapScore, 1);
    EXPECT_EQ(frmGrade.lblScoreObt()->text().toStdString(), "Score Obtained : 1000");
    EXPECT_EQ(frmGrade.lblResultDsip()->text().toStdString(), "PASS");
}

// The time may run out while Reset waits for its answer: the console is saved
// as it stood and the late Yes clears nothing.
TEST_F(SimWindowTest, TimeUpWhileResetAsksKeepsTheConsoleAndItsCommands) {
    startRun({lab}, true);
    QString leftAs;
    ASSERT_TRUE(inSimulator([&] {
        for (const char* line : {"", "en"}) enter(line);
        leftAs = text();
        SetMsgBoxHook([&](const MsgBoxCall& c) {
            boxes.push_back(c);
            if (c.text == "Do You Want to Reset") {
                timeRunsOut();
                return int(vbYes);
            }
            return int(vbOK);
        });
        frmSimulator.cmdReset()->click();
    }));
    Settle();
    EXPECT_FALSE(frmSimulator.IsLoaded());
    EXPECT_TRUE(frmGrade.Visible());
    EXPECT_EQ(typed(lab), Flags({1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_TRUE(file().contains(leftAs.toUtf8().replace("\n", "\r\n")));
}

// A console file that cannot be written is reported when the window closes;
// the commands typed still count.
TEST_F(SimWindowTest, AConsoleThatCannotBeSavedIsReported) {
    startRun({lab});
    ASSERT_TRUE(inSimulator([&] {
        for (const char* line : {"", "en"}) enter(line);
        // The file's place taken by a folder: it can be neither read nor replaced.
        std::filesystem::remove(folder() / "SimCmds.txt");
        std::filesystem::create_directory(folder() / "SimCmds.txt");
        boxes.clear();
        Click(frmSimulator.cmdClose());
    }));
    EXPECT_FALSE(frmSimulator.IsLoaded());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, "Simulator");
    EXPECT_EQ(boxes[0].icon(), vbCritical);
    EXPECT_TRUE(boxes[0].text.contains("SimCmds.txt")) << boxes[0].text.toStdString();
    EXPECT_TRUE(answers::IsAnswered(*gcnExam, lab, "SIM"));
}

// A pipe in the console file's place would hold the window's opening for
// ever: the candidate is told at once, at opening and at closing, the console
// starts afresh, and the pipe is left as it was.
TEST_F(SimWindowTest, APipeInPlaceOfTheConsoleFileIsReportedAndLeftAlone) {
    startRun({lab});
    std::filesystem::remove(folder() / "SimCmds.txt");
    ASSERT_EQ(mkfifo((folder() / "SimCmds.txt").c_str(), 0600), 0);
    boxes.clear();
    ASSERT_TRUE(inSimulator([&] {
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].title, "Simulator");
        EXPECT_EQ(boxes[0].icon(), vbExclamation);
        EXPECT_TRUE(boxes[0].text.contains("SimCmds.txt") && boxes[0].text.contains("not a plain file"))
            << boxes[0].text.toStdString();
        EXPECT_EQ(text(), kStart);
        enter();
        enter("en");
        Click(frmSimulator.cmdClose());
    }));
    EXPECT_FALSE(frmSimulator.IsLoaded());
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].icon(), vbCritical);
    EXPECT_EQ(boxes[1].text, boxes[0].text);
    EXPECT_TRUE(std::filesystem::is_fifo(folder() / "SimCmds.txt"));
    EXPECT_TRUE(answers::IsAnswered(*gcnExam, lab, "SIM"));
}

// A console file holding one line of a megabyte: the console shows it cut to
// a line's length, and saving writes the console as shown, leaving the other
// blocks as they were.
TEST_F(SimWindowTest, AVeryLongSavedLineIsShownCutAndSavedAsShown) {
    startRun({lab});
    const QByteArray other = "[QID : 999]\r\nR2\r\n>\r\nR2>\r\n[EOQ]\r\n";
    const QByteArray block = "[QID : " + QByteArray::number(lab) + "]\r\nR9\r\n#\r\nR9>en\r\n" +
                             QByteArray(1 << 20, 'x') + "\r\nR9#\r\n[EOQ]\r\n";
    {
        QFile f(QString::fromStdString((folder() / "SimCmds.txt").string()));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(block + other);
    }
    const QString cut = "R9>en\n" + QString(sim::kConsoleLineLimit, QLatin1Char('x')) + "\nR9#";
    ASSERT_TRUE(inSimulator([&] {
        EXPECT_EQ(text(), cut);
        enter("conf t");
        Click(frmSimulator.cmdClose());
    }));
    const QString shown = cut + "conf t\n" + kConfigOutput + "\nR9(config)#";
    EXPECT_EQ(file(), sim::FormatConsoleFile({sim::Block{lab, "R9", "(config)#", shown}}) + other);
}

// A shipped lab with subinterfaces, several commands at one prompt and a
// multi-line output, typed key by key from its model answer across two visits
// with the run moving away and back in between: judged correct by the exam
// window's answer check and by the grade.
TEST_F(SimWindowTest, AShippedLabTypedThroughTheWindowIsJudgedCorrectAtTheEnd) {
    const long long q = 35;
    const long long other = gcnExam->Scalar("SELECT min(QId) FROM Questions WHERE QType = 'S'").toInt();
    startRun({q, other}, true);
    const sim::Lab model = sim::LoadLab(*gcnExam, q);
    ASSERT_GE(model.commands.size(), 8u);
    size_t next = 0;
    auto typeCommands = [&](size_t upTo) {
        for (; next < upTo; ++next) {
            const sim::Command& c = model.commands[next];
            for (int up = 0; up < 4 && lastLine() != "R1" + c.cmdPmt; ++up) enter("exit");
            ASSERT_EQ(lastLine(), "R1" + c.cmdPmt);
            enter(sim::FilledCommand(c));
            ASSERT_EQ(typed(q)[next], 1) << sim::FilledCommand(c).toStdString();
        }
    };
    ASSERT_TRUE(inSimulator([&] {
        enter();
        typeCommands(5);
    }));
    EXPECT_FALSE(frmExam.ChkAnsCor());
    Click(frmExam.cmdNext());
    Click(frmExam.cmdPrev());
    ASSERT_EQ(gintCurQId, q);
    ASSERT_TRUE(inSimulator([&] {
        EXPECT_EQ(lastLine(), "R1(config-subif)#");
        typeCommands(model.commands.size());
        EXPECT_TRUE(text().endsWith("changed state to up\nR1(config-if)#"));
    }));
    EXPECT_TRUE(boxes.empty()) << boxes.front().text.toStdString();
    EXPECT_TRUE(frmExam.ChkAnsCor());
    answers = {vbYes};
    Click(frmExam.cmdEndExam());
    EXPECT_TRUE(frmGrade.Visible());
    const scoring::Judgement judged = scoring::JudgeRun(*gcnExam);
    EXPECT_EQ(judged.total, 2);
    EXPECT_EQ(judged.correct, 1);
}
