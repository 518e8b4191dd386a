// The console engine: how typed lines are read, judged and recorded, and how
// the prompts move, typed at a lab in the test's copy of the shipped database.
#include "exam/answers.h"
#include "labs.h"
#include "startup/state.h"
#include "support/fixture.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace sim_test;

namespace {

sim::Command Cmd(const char* command, QStringList values = {}) {
    sim::Command c;
    c.command = QString::fromLatin1(command);
    c.values = std::move(values);
    return c;
}

class ConsoleTest : public pemu_test::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        qid = AddLab(*gcnExam, TestLab(), &rows);
    }
    std::vector<long long> typed() { return Typed(*gcnExam, qid); }

    long long qid = 0;
    std::vector<long long> rows;
};

}  // namespace

TEST(SimEngine, NormalisesAndMatchesTypedWords) {
    EXPECT_EQ(sim::RemSpacesInCmd(""), "");
    EXPECT_EQ(sim::RemSpacesInCmd("  conf   t "), " conf t");
    EXPECT_EQ(sim::NormaliseCommand("  conf   t "), "conf t");
    // Abbreviations of literal words, case-sensitive.
    EXPECT_TRUE(sim::Accepts(Cmd("enable"), "en"));
    EXPECT_TRUE(sim::Accepts(Cmd("enable"), "enable"));
    EXPECT_TRUE(sim::Accepts(Cmd("enable"), "enable now"));
    EXPECT_FALSE(sim::Accepts(Cmd("enable"), "EN"));
    EXPECT_FALSE(sim::Accepts(Cmd("enable"), "enabel"));
    EXPECT_FALSE(sim::Accepts(Cmd("enable"), "enables"));
    EXPECT_TRUE(sim::Accepts(Cmd("configure terminal"), "conf t"));
    EXPECT_FALSE(sim::Accepts(Cmd("configure terminal"), "conf"));
    // Value words take exactly their value, in word order and letter case.
    const sim::Command ip = Cmd("ip address <ip> <mask>", {"10.0.0.1", "255.0.0.0"});
    EXPECT_TRUE(sim::Accepts(ip, "ip add 10.0.0.1 255.0.0.0"));
    EXPECT_FALSE(sim::Accepts(ip, "ip address 10.0.0.2 255.0.0.0"));
    EXPECT_FALSE(sim::Accepts(ip, "ip address 255.0.0.0 10.0.0.1"));
    EXPECT_FALSE(sim::Accepts(ip, "ip address 10.0.0.1"));
    EXPECT_FALSE(sim::Accepts(Cmd("interface <if>", {"g0/1"}), "int G0/1"));
    EXPECT_FALSE(sim::Accepts(Cmd("ip address <ip> <mask>", {"10.0.0.1"}), "ip address 10.0.0.1 255.0.0.0"))
        << "a value word without a value row is never satisfied";
    EXPECT_EQ(sim::FilledCommand(ip), "ip address 10.0.0.1 255.0.0.0");
    EXPECT_EQ(sim::FilledCommand(Cmd("hostname <name>")), "hostname <name>") << "the placeholder is listed";
    // exit, as the console moves between prompts.
    EXPECT_EQ(sim::ExitPrompt("(config-if)#"), "(config)#");
    EXPECT_EQ(sim::ExitPrompt("(config-ext-nacl)#"), "(config)#");
    EXPECT_EQ(sim::ExitPrompt("(config)#"), "#");
    EXPECT_EQ(sim::ExitPrompt("(vlan)#"), "#");
    EXPECT_EQ(sim::ExitPrompt("#"), ">");
    EXPECT_EQ(sim::ExitPrompt(">"), ">");
    EXPECT_EQ(sim::ExitPrompt("(dhcp-config)#"), "(dhcp-config)#");
}

TEST(SimEngine, TakesTheCommandFromTheEndOfTheConsole) {
    const QString before = sim::kStartLine + "\nR1>enable\nR1#";
    EXPECT_EQ(sim::CommandOnConsole(before + "conf t", "R1", "#"), "conf t");
    EXPECT_EQ(sim::CommandOnConsole(before + "conf t\n", "R1", "#"), "conf t") << "the line before an empty last one";
    EXPECT_EQ(sim::CommandOnConsole(before + "conf t\r", "R1", "#"), "conf t");
    EXPECT_EQ(sim::CommandOnConsole(sim::kStartLine + "\nR1", "R1", "#"), "") << "a line shortened into its prompt";
    EXPECT_EQ(sim::CommandOnConsole(sim::kStartLine + "\nr1#en", "R1", "#"), "") << "not the device's line";
    EXPECT_EQ(sim::CommandOnConsole(sim::kStartLine + "\nx\nsomething", "R1", "#"), "") << "neither of the last two lines";
}

// From the start line to a refused command and its correction.
TEST_F(ConsoleTest, StartsAcceptsAbbreviationsAndRefusesOtherLines) {
    Typist t{gcnExam, qid};
    sim::Reply r = t.press();
    EXPECT_EQ(t.text, sim::kStartLine + "\nR9>");
    EXPECT_TRUE(t.console.Started());

    for (const char* wrong : {"EN", "enabel", "conf t"}) {
        const QString before = t.text + wrong;
        r = t.press(wrong);
        EXPECT_TRUE(r.refused) << wrong;
        EXPECT_EQ(r.box, sim::kRefusedText);
        EXPECT_EQ(t.text, before) << "the refused line stays for correction, no new prompt";
        EXPECT_TRUE(t.console.CmdRejected());
        t.text = before.chopped(static_cast<qsizetype>(std::strlen(wrong)));
    }
    EXPECT_EQ(typed(), std::vector<long long>(8, 0));

    r = t.press("  en   now ");
    ASSERT_TRUE(r.accepted);
    EXPECT_EQ(*r.accepted, rows[0]);
    EXPECT_TRUE(r.box.isEmpty());
    EXPECT_EQ(t.last(), "R9#");
    EXPECT_EQ(typed(), (std::vector<long long>{1, 0, 0, 0, 0, 0, 0, 0})) << "recorded at once, as 1";

    t.press();  // an empty line: judged by nobody
    EXPECT_TRUE(t.text.endsWith("R9>  en   now \nR9#\nR9#")) << t.text.toStdString();
    t.press("conf t");
    EXPECT_TRUE(t.text.endsWith(QString("R9#conf t\n") + kConfigOutput + "\nR9(config)#")) << t.text.toStdString();
    EXPECT_TRUE(t.refused("int G0/1")) << "the stored value is g0/1";
    t.press("int g0/1");
    t.press("ip address 10.0.0.1 255.0.0.0");
    t.press("no shut");
    EXPECT_TRUE(t.text.endsWith(QString("R9(config-if)#no shut\n") + "%LINK-3-UPDOWN: Interface GigabitEthernet0/1, "
                                "changed state to up\n%LINEPROTO-5-UPDOWN: Line protocol on Interface "
                                "GigabitEthernet0/1, changed state to up\nR9(config-if)#"));
    EXPECT_EQ(typed(), (std::vector<long long>{1, 1, 1, 1, 1, 0, 0, 0}));

    // A line shortened into its prompt judges nothing.
    t.text.chop(4);  // "R9(config-if)#" -> "R9(config-"
    t.press();
    EXPECT_EQ(t.last(), "R9(config-if)#");
    // An erased console: an empty line, then the prompt.
    t.text.clear();
    EXPECT_TRUE(t.press().replaces);
    EXPECT_EQ(t.text, "\nR9(config-if)#");
    EXPECT_EQ(typed(), (std::vector<long long>{1, 1, 1, 1, 1, 0, 0, 0}));
}

// Two interfaces take the same commands at (config-if)#: each prompt compares
// its first command not yet typed, and a level can be entered again.
TEST_F(ConsoleTest, SeveralCommandsAtOnePromptInOrderAndAgain) {
    Typist t{gcnExam, qid};
    t.press();
    t.press("en");
    t.press("conf t");
    EXPECT_TRUE(t.refused("int g0/2")) << "the second interface before the first";
    t.press("int g0/1");
    EXPECT_TRUE(t.refused("no shut")) << "no shutdown before the address";
    t.press("ip add 10.0.0.1 255.0.0.0");
    t.press("no shut");
    t.press("exit");
    EXPECT_EQ(t.last(), "R9(config)#");
    // Back into the first interface: accepted again, nothing new counted.
    sim::Reply r = t.press("int g0/1");
    ASSERT_TRUE(r.accepted);
    EXPECT_EQ(*r.accepted, rows[2]);
    EXPECT_EQ(t.last(), "R9(config-if)#");
    EXPECT_TRUE(t.refused("ip add 10.0.0.9 255.0.0.0"));
    t.press("ip add 10.0.0.1 255.0.0.0");
    EXPECT_EQ(typed(), (std::vector<long long>{1, 1, 1, 1, 1, 0, 0, 0}));
    EXPECT_FALSE(answers::IsCorrect(*gcnExam, qid, "SIM"));
    t.press("exit");
    t.press("int g0/2");
    t.press("no sh");
    t.press("exit");
    t.press("router ospf 1");
    EXPECT_EQ(t.last(), "R9(config-router)#");
    EXPECT_EQ(typed(), std::vector<long long>(8, 1));
    EXPECT_TRUE(answers::IsCorrect(*gcnExam, qid, "SIM"));
    // A level at which the lab expects nothing lets anything through, records nothing.
    r = t.press("network 10.0.0.0 0.255.255.255 area 0");
    EXPECT_FALSE(r.refused);
    EXPECT_FALSE(r.accepted);
    EXPECT_EQ(t.last(), "R9(config-router)#");
}

TEST_F(ConsoleTest, ExitAndCtrlZLeaveTheLevels) {
    Typist t{gcnExam, qid};
    EXPECT_TRUE(t.ctrlZ().text.isEmpty()) << "nothing before the start";
    t.press();
    for (const char* line : {"en", "conf t", "int g0/1"}) t.press(line);
    t.press("EXIT");
    EXPECT_EQ(t.last(), "R9(config)#");
    t.press("exit");
    EXPECT_TRUE(t.text.endsWith("R9(config)#exit\n" + sim::kConfiguredLine + "\nR9#"));
    t.press("exit");
    EXPECT_EQ(t.last(), "R9>");
    EXPECT_TRUE(t.ctrlZ().text.isEmpty()) << "Ctrl+Z at >";
    t.press("exit");
    EXPECT_EQ(t.text, sim::kStartLine) << "logged out";
    EXPECT_TRUE(t.console.Started());
    t.press();
    EXPECT_EQ(t.text, "\nR9>") << "an empty line, then the prompt";
    t.press("en");
    EXPECT_TRUE(t.ctrlZ().text.isEmpty()) << "Ctrl+Z at #";
    t.press("conf t");
    t.press("int g0/1");
    for (const char* level : {"(config-if)#", "(config)#"}) {
        EXPECT_EQ(t.console.Prompt(), level);
        sim::Reply r = t.ctrlZ();
        EXPECT_EQ(r.text, "\n" + sim::kConfiguredLine + "\nR9#");
        EXPECT_EQ(r.box, sim::kRecordedText);
        EXPECT_EQ(t.last(), "R9#");
        t.press("conf t");
    }
    // Reset at a configuration level: Ctrl+Z waits for the console to start.
    t.press("int g0/1");
    t.text = sim::ResetConsole(*gcnExam, qid, t.console);
    EXPECT_EQ(t.console.Prompt(), "(config-if)#");
    EXPECT_TRUE(t.ctrlZ().text.isEmpty());
    EXPECT_EQ(t.text, sim::kStartLine);
    EXPECT_EQ(typed(), std::vector<long long>(8, 0));
}
