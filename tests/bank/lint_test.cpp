// The linter against small broken banks: every rule must name the file, the line
// and the question of its breach.
#include "bank/bank.h"
#include "bank/pictures.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <algorithm>
#include <fstream>

using namespace bank;

namespace {

const char* const kFile = "data/bank/99-test.txt";

// A bank of one category and whatever questions the test gives.
Tables compile(const std::string& questions, std::vector<Breach>* syntax = nullptr) {
    std::vector<Breach> errors;
    Tables t = CompileBankTexts({{kFile, "category 1: Test\n\n" + questions}}, errors);
    if (syntax) {
        *syntax = errors;
    } else {
        EXPECT_TRUE(errors.empty()) << DescribeAll(errors);
    }
    return t;
}

const char* const kGoodS =
    "question 1\ntype: S\nlevel: B\ntext: Which?\noption: a\ncorrect: b\nexplain: Because.\n\n";

const char* const kGoodLab =
    "question 3\ntype: SIM\nlevel: I\ntext: Do it.\ndevice: R1\n"
    "cmd: > enable => #\n"
    "cmd: # configure terminal => (config)#\n"
    "cmd: (config)# interface <if> => (config-if)#\nvalues: g0/0\n"
    "cmd: (config-if)# ip address <ip> <mask>\nvalues: 10.0.0.1 255.0.0.0\n"
    "explain: Because.\n\n";

// The breaches of one rule.
std::vector<Breach> of(const std::vector<Breach>& all, const std::string& rule) {
    std::vector<Breach> out;
    for (const auto& b : all)
        if (b.rule == rule) out.push_back(b);
    return out;
}

// The given rule is broken (and, with `only`, nothing else), for the given
// question, in the test file.
void expectBreach(const Tables& t, const std::string& rule, int qid, const LintOptions& o = {}, bool only = false) {
    auto all = Lint(t, o);
    auto hits = of(all, rule);
    ASSERT_FALSE(hits.empty()) << "rule " << rule << " not reported; got:\n" << DescribeAll(all);
    if (only) {
        EXPECT_EQ(hits.size(), all.size()) << DescribeAll(all);
    }
    EXPECT_EQ(hits[0].qid, qid) << Describe(hits[0]);
    std::string text = Describe(hits[0]);
    if (hits[0].at.file == kFile) {
        EXPECT_GT(hits[0].at.line, 0) << text;
        EXPECT_NE(text.find(kFile), std::string::npos) << text;
    }
    if (qid) {
        EXPECT_NE(text.find("question " + std::to_string(qid)), std::string::npos) << text;
    }
}

void expectOnly(const Tables& t, const std::string& rule, int qid, const LintOptions& o = {}) {
    expectBreach(t, rule, qid, o, true);
}

}  // namespace

TEST(BankLint, AGoodSmallBankPasses) {
    std::string drag = "question 2\ntype: D\nlevel: E\ntext: Match.\nmatch: a => 1\nmatch: b => 2\nmatch: c => 3\n"
                       "explain: So.\n\n";
    std::string multi = "question 4\ntype: M\nlevel: B\ntext: Which two?\ncorrect: a\ncorrect: b\noption: c\n"
                        "explain: So.\n\n";
    Tables t = compile(std::string(kGoodS) + drag + kGoodLab + multi);
    EXPECT_TRUE(Lint(t).empty()) << DescribeAll(Lint(t));
    ASSERT_EQ(t.questions.size(), 4u);
    EXPECT_EQ(t.answers.size(), 5u);
    EXPECT_EQ(t.drags.size(), 3u);
    EXPECT_EQ(t.commands.size(), 4u);
    EXPECT_EQ(t.values.size(), 3u);
}

TEST(BankLint, QuestionRules) {
    expectBreach(compile(std::string(kGoodS) + kGoodS), "qid-unique", 1);
    {
        Tables t = compile(kGoodS);
        t.questions[0].catInd = 7;
        expectOnly(t, "category-exists", 1);
    }
    expectBreach(compile("question 1\ntype: X\nlevel: B\ntext: Q\noption: a\ncorrect: b\nexplain: E\n"), "type", 1);
    expectOnly(compile("question 1\ntype: S\nlevel: b\ntext: Q\noption: a\ncorrect: b\nexplain: E\n"), "level", 1);
    expectOnly(compile("question 1\ntype: S\nlevel: B\ntext: NA\noption: a\ncorrect: b\nexplain: E\n"), "text-na", 1);
    expectOnly(compile("question 1\ntype: S\nlevel: B\ntext: Q\noption: a\ncorrect: NA\nexplain: E\n"), "text-na", 1);
    expectOnly(compile("question 1\ntype: S\nlevel: B\ntext: Q\noption: a\ncorrect: b\n"), "explanation", 1);
    expectOnly(compile("question 1\ntype: S\nlevel: B\ntext: Q\noption: a\ncorrect: b\nexplain: NA\n"), "explanation", 1);
    {
        Tables t = compile(kGoodS);
        t.questions[0].qid = 40000;
        t.answers[0].qid = t.answers[1].qid = 40000;
        expectOnly(t, "qid-range", 40000);
    }
    {
        Tables t = compile(kGoodS);
        t.categories.push_back(t.categories[0]);
        expectOnly(t, "category-unique", 0);
    }
}

TEST(BankLint, OptionRules) {
    // Single answer: exactly one correct option, and two options or more.
    expectOnly(compile("question 5\ntype: S\nlevel: B\ntext: Q\noption: a\noption: b\nexplain: E\n"), "single-answer", 5);
    expectOnly(compile("question 5\ntype: S\nlevel: B\ntext: Q\ncorrect: a\ncorrect: b\nexplain: E\n"), "single-answer", 5);
    expectOnly(compile("question 5\ntype: S\nlevel: B\ntext: Q\ncorrect: a\nexplain: E\n"), "single-answer", 5);
    // Multiple answer: two correct options or more, and a wrong one.
    expectOnly(compile("question 6\ntype: M\nlevel: B\ntext: Q\ncorrect: a\noption: b\noption: c\nexplain: E\n"),
               "multiple-answer", 6);
    expectOnly(compile("question 6\ntype: M\nlevel: B\ntext: Q\ncorrect: a\ncorrect: b\nexplain: E\n"),
               "multiple-answer", 6);
    expectOnly(compile("question 6\ntype: S\nlevel: B\ntext: Q\ncorrect: a\noption: A\nexplain: E\n"),
               "answer-duplicate", 6);
    {
        Tables t = compile(kGoodS);
        t.answers[1].index = t.answers[0].index;
        expectOnly(t, "answer-index", 1);
    }
    {
        Tables t = compile(kGoodS);
        t.answers[1].correct = -1;
        auto all = Lint(t);
        EXPECT_FALSE(of(all, "answer-flag").empty()) << DescribeAll(all);
    }
    // Options on a question that shows none.
    {
        Tables t = compile(kGoodLab);
        t.answers.push_back(AnswerRow{1, 3, "stray", 1, Origin{kFile, 2}});
        expectOnly(t, "orphan", 3);
    }
}

TEST(BankLint, DragAndDropRules) {
    auto drag = [](const std::string& rows) {
        return "question 7\ntype: D\nlevel: B\ntext: Match.\n" + rows + "explain: E\n";
    };
    expectOnly(compile(drag("match: a => 1\nmatch: b => 2\n")), "drag-rows", 7);
    expectOnly(compile(drag("match: a => 1\nmatch: b => 2\nmatch: c => 3\nmatch: d => 4\nmatch: e => 5\n"
                            "match: f => 6\nmatch: g => 7\n")),
               "drag-rows", 7);
    expectOnly(compile(drag("match: a => 1\nmatch: b => 2\nmatch: c => 2\n")), "drag-distinct", 7);
    expectOnly(compile(drag("match: a => 1\nmatch: A => 2\nmatch: c => 3\n")), "drag-distinct", 7);
    expectOnly(compile(drag("match: a => 1\nmatch: b => NA\nmatch: c => 3\n")), "text-na", 7);
    expectOnly(compile(drag("match: a => 1\nmatch: b => a text far too long for the narrow labels\nmatch: c => 3\n")),
               "drag-length", 7);
    {
        Tables t = compile(drag("match: a => 1\nmatch: b => 2\nmatch: c => 3\n"));
        t.drags[2].index = 9;
        expectOnly(t, "drag-consecutive", 7);
    }
    {
        Tables t = compile(drag("match: a => 1\nmatch: b => 2\nmatch: c => 3\n") + "\n" +
                           "question 8\ntype: D\nlevel: B\ntext: M\nmatch: x => 1\nmatch: y => 2\nmatch: z => 3\n"
                           "explain: E\n");
        t.drags[3].index = 3;  // question 8 reuses an Index of question 7
        t.drags[4].index = 4;
        t.drags[5].index = 5;
        auto all = Lint(t);
        EXPECT_FALSE(of(all, "drag-index").empty()) << DescribeAll(all);
    }
    {
        Tables t = compile(drag("match: a => 1\nmatch: b => 2\nmatch: c => 3\n"));
        t.drags[0].ansSel = 2;
        expectOnly(t, "drag-working", 7);
    }
}

TEST(BankLint, LabRules) {
    auto lab = [](const std::string& cmds) {
        return "question 9\ntype: SIM\nlevel: E\ntext: Do.\ndevice: R1\n" + cmds + "explain: E\n";
    };
    const std::string start = "cmd: > enable => #\ncmd: # configure terminal => (config)#\n";
    // A value word without its value row, and a value row too many.
    expectBreach(compile(lab(start + "cmd: (config)# hostname <name>\n")), "values", 9);
    expectOnly(compile(lab(start + "cmd: (config)# ip routing\nvalues: 1\n")), "values", 9);
    {
        Tables t = compile(lab(start + "cmd: (config)# hostname <name>\nvalues: A\n"));
        t.values[0].cmdVal = "two words";
        auto all = Lint(t);
        EXPECT_FALSE(of(all, "value").empty()) << DescribeAll(all);
        t.values[0].cmdInd = 99;
        all = Lint(t);
        EXPECT_FALSE(of(all, "value-orphan").empty()) << DescribeAll(all);
    }
    // Command words: lowercase, single blanks, numbers as value words.
    expectOnly(compile(lab(start + "cmd: (config)# Hostname <n>\nvalues: A\n")), "command-words", 9);
    expectOnly(compile(lab(start + "cmd: (config)# router ospf 1 => (config-router)#\n")), "command-words", 9);
    {
        Tables t = compile(lab(start));
        t.commands[1].command = "configure  terminal";
        auto all = Lint(t);
        EXPECT_FALSE(of(all, "command-words").empty()) << DescribeAll(all);
        EXPECT_FALSE(of(all, "lab-walk").empty()) << "a doubled blank can never be typed\n" << DescribeAll(all);
    }
    // Texts that must be given.
    expectOnly(compile(lab("cmd: > enable => NA\n")), "text-na", 9);
    {
        Tables t = compile(lab(start));
        t.commands[0].response = "";
        expectOnly(t, "text-na", 9);
    }
    std::vector<Breach> syntax;
    compile("question 9\ntype: SIM\nlevel: E\ntext: Do.\ncmd: > enable => #\nexplain: E\n", &syntax);
    ASSERT_FALSE(syntax.empty());
    EXPECT_EQ(syntax[0].qid, 9);
    // One device per lab; prompts end in # or >.
    {
        Tables t = compile(lab(start));
        t.commands[1].devName = "R2";
        expectOnly(t, "device", 9);
    }
    expectOnly(compile(lab("cmd: > enable => config\n")), "prompt", 9);
    {
        Tables t = compile(lab(start));
        t.commands[1].index = t.commands[0].index;
        auto all = Lint(t);
        EXPECT_FALSE(of(all, "command-index").empty()) << DescribeAll(all);
    }
    {
        Tables t = compile(kGoodS);
        t.commands.push_back(SimCommandRow{1, 1, "enable", ">", "#", "NA", "R1", 0, Origin{kFile, 3}});
        expectOnly(t, "orphan", 1);
    }
    expectOnly(compile("question 9\ntype: SIM\nlevel: E\ntext: Do.\nexplain: E\n"), "lab", 9);
}

TEST(BankLint, LabsMustBeCompletableAtTheConsole) {
    auto lab = [](const std::string& cmds) {
        return "question 11\ntype: SIM\nlevel: E\ntext: Do.\ndevice: R1\n" + cmds + "explain: E\n";
    };
    // The console starts at ">": without enable, "#" is never reached.
    expectOnly(compile(lab("cmd: # configure terminal => (config)#\n")), "lab-walk", 11);
    // exit leaves (config-if)# for (config)#, and (config)# for #: this lab works.
    EXPECT_TRUE(Lint(compile(lab("cmd: > enable => #\ncmd: # configure terminal => (config)#\n"
                                 "cmd: (config)# interface <if> => (config-if)#\nvalues: g0/1\n"
                                 "cmd: (config-if)# shutdown\ncmd: # show running-config\n")))
                    .empty());
    // exit does not leave an unnamed prompt such as (config-vlan)#.
    expectOnly(compile(lab("cmd: > enable => #\ncmd: # configure terminal => (config)#\n"
                           "cmd: (config)# vlan <v> => (config-vlan)#\nvalues: 10\n"
                           "cmd: (config)# interface <if> => (config-if)#\nvalues: g0/1\n")),
               "lab-walk", 11);
    // "exit" is the console's own command.
    expectOnly(compile(lab("cmd: > enable => #\ncmd: # exit => >\n")), "lab-walk", 11);
    // Several commands at one prompt are compared in Index order.
    EXPECT_TRUE(Lint(compile(lab("cmd: > enable => #\ncmd: # configure terminal => (config)#\n"
                                 "cmd: (config)# ip routing\ncmd: (config)# ipv6 unicast-routing\n")))
                    .empty());
}

TEST(BankLint, ExhibitRules) {
    QTemporaryDir dir;
    std::filesystem::path src = dir.path().toStdString();
    {
        std::ofstream(src / "good.txt") << "device R1 router 50 50\n";
        std::ofstream(src / "bad.txt") << "device R1 rooter 50 50\n";
    }
    auto with = [](const std::string& name) {
        return compile("question 12\ntype: S\nlevel: B\nexhibit: " + name +
                       "\ntext: Q\noption: a\ncorrect: b\nexplain: E\n");
    };
    LintOptions o;
    o.exhibitSources = src;
    o.renderExhibit = ExhibitDrawProblem;
    EXPECT_TRUE(Lint(with("good"), o).empty());
    EXPECT_EQ(with("good").questions[0].exhibitPath, "exhibits/good.png");
    expectOnly(with("missing"), "exhibit", 12, o);
    expectOnly(with("bad"), "exhibit", 12, o);
    auto all = Lint(with("bad"), o);
    EXPECT_NE(all[0].message.find("rooter"), std::string::npos) << all[0].message;
    Tables t = with("good");
    t.questions[0].exhibitPath = "pictures\\good.bmp";
    expectOnly(t, "exhibit", 12);
}

TEST(BankLint, SyntaxErrorsNameTheirLine) {
    std::vector<Breach> errors;
    compile("question 1\ntype: S\nlevel: B\ntext: Q\ncolour: blue\noption: a\ncorrect: b\nexplain: E\n", &errors);
    ASSERT_EQ(errors.size(), 1u);
    EXPECT_EQ(errors[0].at.line, 7);  // two lines of category header come first
    EXPECT_EQ(errors[0].qid, 1);
    EXPECT_NE(errors[0].message.find("colour"), std::string::npos);

    compile("question 1\ntype: S\ntype: M\nlevel: B\ntext: Q\noption: a\ncorrect: b\nexplain: E\n", &errors);
    EXPECT_FALSE(errors.empty());
    compile("question 1\nlevel: B\ntext: Q\noption: a\ncorrect: b\nexplain: E\n", &errors);
    EXPECT_FALSE(errors.empty()) << "a question without a type";
    errors.clear();
    CompileBankTexts({{kFile, "question 1\ntype: S\nlevel: B\ntext: Q\noption: a\ncorrect: b\nexplain: E\n"}},
                     errors);
    EXPECT_FALSE(errors.empty()) << "a question before the category line";
    compile("question 1\ntype: SIM\nlevel: B\ntext: Q\ndevice: R1\nvalues: 1\nexplain: E\n", &errors);
    EXPECT_FALSE(errors.empty()) << "values before any cmd";
}

TEST(BankSource, TextsFlowAndKeepTheirLines) {
    Tables t = compile(
        "question 1\ntype: SIM\nlevel: B\n"
        "text: Configure the\n  router as follows:\n\n  | - one\n  | - two\n"
        "device: R1\n"
        "cmd: > enable => #\n"
        "cmd: # show clock\nresponse:\n    *10:00:00.000 UTC Mon Mar 1 2021\n      indented\n"
        "cmd: #   configure terminal   => (config)#\n"
        "cmd: (config)# hostname <name>\nvalues: EDGE\n"
        "explain: A short explanation stays one line,\n  even over two source lines.\n\n"
        "question 2\ntype: S\nlevel: B\ntext: Q\noption: a\ncorrect: b\n"
        "explain: First paragraph that is long enough to be wrapped at the width of the flash card box, "
        "which shows it without wrapping.\n\n  | R1# show version\n");
    ASSERT_EQ(t.questions.size(), 2u);
    EXPECT_EQ(t.questions[0].qname, "Configure the router as follows:\r\n\r\n- one\r\n- two");
    EXPECT_EQ(t.questions[0].expln, "A short explanation stays one line, even over two source lines.");
    ASSERT_EQ(t.commands.size(), 4u);
    EXPECT_EQ(t.commands[0].resPmt, "#");
    EXPECT_EQ(t.commands[0].response, "NA");
    EXPECT_EQ(t.commands[1].resPmt, "#") << "a command without => keeps its prompt";
    EXPECT_EQ(t.commands[1].response, "*10:00:00.000 UTC Mon Mar 1 2021\r\n  indented");
    EXPECT_EQ(t.commands[2].command, "configure terminal");
    EXPECT_EQ(t.commands[3].devName, "R1");
    ASSERT_EQ(t.values.size(), 1u);
    EXPECT_EQ(t.values[0].cmdInd, t.commands[3].index);
    const std::string& e = t.questions[1].expln;
    EXPECT_NE(e.find("\r\n\r\nR1# show version"), std::string::npos) << e;
    size_t p = 0;
    while (p < e.size()) {
        size_t n = e.find("\r\n", p);
        std::string line = e.substr(p, n == std::string::npos ? std::string::npos : n - p);
        EXPECT_LE(line.size(), static_cast<size_t>(kExplanationWidth)) << line;
        if (n == std::string::npos) break;
        p = n + 2;
    }
    EXPECT_GT(std::count(e.begin(), e.end(), '\n'), 2);
}

