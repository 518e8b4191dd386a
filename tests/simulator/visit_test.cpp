// Visits of simulation questions as the window makes them: opening, typing,
// Reset and closing against the real database and console file, the model
// answer, the saved-result view, and every shipped lab typed to a correct answer.
#include "exam/answers.h"
#include "labs.h"
#include "startup/state.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <QFile>

#include <functional>
#include <map>

#include <sys/stat.h>

using namespace sim_test;

namespace {

class VisitTest : public pemu_test::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        typist.db = gcnExam;
        a = AddLab(*gcnExam, TestLab());
        b = gcnExam->Scalar("SELECT min(QId) FROM Questions WHERE QType = 'SIM'").toInt();
        ASSERT_TRUE(sim::EmptyConsoleFile(folder()));  // a new run
    }

    // Opens question qid at the window's console, as its load step does.
    Typist& open(long long qid, sim::Visit visit = {}) {
        typist.qid = qid;
        const sim::Opening o = sim::OpenConsole(*gcnExam, folder(), qid, visit, typist.console);
        EXPECT_TRUE(o.problem.isEmpty()) << o.problem.toStdString();
        typist.text = o.console;
        opening = o;
        return typist;
    }
    void close(sim::Visit visit = {}) {
        const sim::FileOutcome out = sim::CloseConsole(folder(), typist.qid, visit, typist.console, typist.text);
        EXPECT_TRUE(out) << out.problem.toStdString();
    }
    QByteArray file() {
        QFile f(sim::ConsoleFilePath(folder()));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        return f.readAll();
    }
    std::vector<long long> savedQIds() {
        std::vector<long long> q;
        for (const sim::Block& blk : sim::ParseConsoleFile(file())) q.push_back(blk.qid);
        return q;
    }

    long long a = 0, b = 0;
    // One console for every visit, as the window keeps its state across openings.
    Typist typist{nullptr, 0};
    sim::Opening opening;
};

}  // namespace

TEST_F(VisitTest, EachQuestionKeepsItsConsoleAcrossVisits) {
    // Flags left from elsewhere: a first visit starts afresh, and closing an
    // unstarted console writes no block.
    gcnExam->Execute("UPDATE SimCommands SET CmdTyped = 1 where QId = ?", {a});
    open(a);
    EXPECT_EQ(typist.text, sim::kStartLine);
    EXPECT_EQ(opening.question, "Configure R9.");
    EXPECT_TRUE(opening.consoleEnabled && opening.resetEnabled);
    EXPECT_FALSE(typist.console.Started());
    EXPECT_EQ(Typed(*gcnExam, a), std::vector<long long>(8, 0));
    close();
    EXPECT_EQ(file(), "");

    open(a);
    for (const char* line : {"", "en", "conf t", "int g0/1"}) typist.press(line);
    typist.text += "ip add";  // typed, not yet entered
    const QString aText = typist.text;
    close();
    EXPECT_EQ(savedQIds(), std::vector<long long>{a});

    open(b).press();
    typist.press("en");
    const QString bText = typist.text;
    close();

    open(a);
    EXPECT_EQ(typist.text, aText) << "no line added or lost";
    EXPECT_EQ(typist.console.DevName(), "R9");
    EXPECT_EQ(typist.console.Prompt(), "(config-if)#");
    EXPECT_EQ(Typed(*gcnExam, a), (std::vector<long long>{1, 1, 1, 0, 0, 0, 0, 0})) << "kept, not cleared";
    typist.press(" 10.0.0.1 255.0.0.0");
    EXPECT_EQ(typist.last(), "R9(config-if)#");
    const QString aLater = typist.text;
    close();
    EXPECT_EQ(savedQIds(), (std::vector<long long>{a, b})) << "replaced where it stood";

    // Reset, Yes: start line, flags cleared; closing removes the block.
    open(b);
    EXPECT_EQ(typist.text, bText);
    typist.text = sim::ResetConsole(*gcnExam, b, typist.console);
    EXPECT_EQ(typist.text, sim::kStartLine);
    EXPECT_FALSE(answers::IsAnswered(*gcnExam, b, "SIM"));
    close();
    EXPECT_EQ(savedQIds(), std::vector<long long>{a});
    open(a);
    EXPECT_EQ(typist.text, aLater);
}

TEST_F(VisitTest, ModelAnswerAndSavedResultLeaveConsoleAndFileAlone) {
    open(a);
    for (const char* line : {"", "en", "conf t", "int g0/1"}) typist.press(line);
    close();
    const QByteArray saved = file();

    const sim::Visit showAnswer{true, false};
    open(a, showAnswer);
    const QString link = QString(kLinkOutput).replace("\r\n", "\n");
    EXPECT_EQ(typist.text, QString("Commands\nR9> enable\nR9# configure terminal\n") + kConfigOutput +
                               "\nR9(config)# interface g0/1\nR9(config-if)# ip address 10.0.0.1 255.0.0.0"
                               "\nR9(config-if)# no shutdown\n" + link + "\nR9(config)# interface g0/2"
                               "\nR9(config-if)# no shutdown\n" + link + "\nR9(config)# router ospf 1");
    EXPECT_FALSE(opening.consoleEnabled);
    EXPECT_FALSE(opening.resetEnabled);
    close(showAnswer);
    EXPECT_EQ(file(), saved);
    EXPECT_EQ(typist.console.Prompt(), "(config-if)#") << "the console's state is not touched";

    // A saved result: the commands typed in it, whatever the file holds.
    const sim::Visit result{false, true};
    open(a, result);
    EXPECT_EQ(typist.text, "Commands\nR9> enable\nR9# configure terminal\n" + QString(kConfigOutput) +
                               "\nR9(config)# interface g0/1");
    EXPECT_FALSE(opening.consoleEnabled);
    EXPECT_FALSE(opening.resetEnabled);
    close(result);
    EXPECT_EQ(file(), saved);
    EXPECT_EQ(Typed(*gcnExam, a), (std::vector<long long>{1, 1, 1, 0, 0, 0, 0, 0}));
    open(b, result);
    EXPECT_EQ(typist.text, "Commands") << "nothing typed";

    // A command whose value is missing from the bank lists its placeholder.
    gcnExam->Execute("DELETE FROM SimCmdValues WHERE CmdVal = '255.0.0.0' and CmdInd IN "
                     "(SELECT Index FROM SimCommands WHERE QId = ?)",
                     {a});
    open(a, showAnswer);
    EXPECT_NE(typist.text.indexOf("\nR9(config-if)# ip address 10.0.0.1 <mask>\n"), -1) << typist.text.toStdString();
}

// Labs numbered beyond 16 bits, and beyond 32, find their own block on the
// next visit: the console comes back as it was left, and the commands typed
// in it stay recorded.
TEST_F(VisitTest, ALabNumberedBeyond32767KeepsItsConsoleAcrossVisits) {
    for (const long long qid : {32768LL, 40000LL, 65537LL, 4294967301LL}) {
        SCOPED_TRACE(qid);
        ASSERT_EQ(AddLab(*gcnExam, TestLab(), nullptr, qid), qid);
        open(qid);
        for (const char* line : {"", "en", "conf t"}) typist.press(line);
        const QString text = typist.text;
        close();
        ASSERT_TRUE(file().contains("[QID : " + QByteArray::number(qid) + "]\r\n")) << file().toStdString();

        open(qid);
        EXPECT_EQ(typist.text.toStdString(), text.toStdString());
        EXPECT_EQ(typist.console.Prompt(), "(config)#");
        EXPECT_EQ(Typed(*gcnExam, qid), (std::vector<long long>{1, 1, 0, 0, 0, 0, 0, 0}));
        close();
    }
}

// Whatever stands in the console file's place and cannot be read (a folder, a
// pipe, which would hold a reader forever, a link to an endless device, a file
// far too large) is reported without waiting; the question's recorded
// commands stay, and closing leaves the thing as it was.
TEST_F(VisitTest, AFileThatCannotBeReadKeepsTheRecordedCommandsAndStaysAsItWas) {
    namespace fs = std::filesystem;
    const fs::path path = sim::ConsoleFilePath(folder());
    const QByteArray tooLarge(sim::kConsoleFileLimit + 1, '\n');
    const std::vector<std::pair<const char*, std::function<void()>>> kinds = {
        {"a folder", [&] { fs::create_directory(path); }},
        {"a pipe", [&] { ASSERT_EQ(mkfifo(path.c_str(), 0600), 0); }},
        {"a link to /dev/zero", [&] { fs::create_symlink("/dev/zero", path); }},
        {"a file too large", [&] {
             QFile f(path);
             ASSERT_TRUE(f.open(QIODevice::WriteOnly));
             f.write(tooLarge);
         }},
    };
    for (const auto& [what, make] : kinds) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(sim::EmptyConsoleFile(folder()));
        open(a);
        for (const char* line : {"", "en"}) typist.press(line);
        close();
        fs::remove(path);
        make();
        const fs::file_type type = fs::symlink_status(path).type();

        const sim::Opening o = sim::OpenConsole(*gcnExam, folder(), a, {}, typist.console);
        EXPECT_TRUE(o.problem.contains("SimCmds.txt")) << o.problem.toStdString();
        EXPECT_EQ(o.console, sim::kStartLine);
        EXPECT_TRUE(answers::IsAnswered(*gcnExam, a, "SIM"));
        EXPECT_FALSE(sim::CloseConsole(folder(), a, {}, typist.console, o.console));
        EXPECT_EQ(fs::symlink_status(path).type(), type);
        if (type == fs::file_type::regular) {
            EXPECT_EQ(file(), tooLarge);
        }
        fs::remove(path);
    }
}

// Every shipped lab, typed command by command from its model answer at one
// console (moving up by "exit" where the next command waits at another level),
// is judged correct by the exam's answer check, and its console comes back.
TEST_F(VisitTest, EveryShippedLabTypedFromItsModelAnswerIsCorrect) {
    std::vector<long long> labs;
    for (auto rs = gcnExam->OpenRecordset("SELECT QId FROM Questions WHERE QType = 'SIM' and QId <> ? ORDER BY QId", {a});
         !rs.Eof(); rs.MoveNext())
        labs.push_back(rs.Fields(0).toInt());
    ASSERT_GE(labs.size(), 30u);
    for (long long qid : labs) {
        SCOPED_TRACE("question " + std::to_string(qid));
        open(qid).press();
        for (const sim::Command& c : sim::LoadLab(*gcnExam, qid).commands) {
            for (int up = 0; up < 4 && typist.console.Prompt() != c.cmdPmt; ++up) typist.press("exit");
            const sim::Reply r = typist.press(sim::FilledCommand(c));
            ASSERT_TRUE(r.accepted) << sim::FilledCommand(c).toStdString() << " at " << c.cmdPmt.toStdString();
            EXPECT_EQ(*r.accepted, c.index);
        }
        EXPECT_TRUE(answers::IsCorrect(*gcnExam, qid, "SIM"));
        const QString typed = typist.text;
        const QString prompt = typist.console.Prompt();
        close();
        open(qid);
        EXPECT_EQ(typist.text, typed);
        EXPECT_EQ(typist.console.Prompt(), prompt);
        EXPECT_TRUE(answers::IsCorrect(*gcnExam, qid, "SIM"));
        close();
        if (HasFailure()) break;
    }
    EXPECT_EQ(savedQIds(), labs);
}
