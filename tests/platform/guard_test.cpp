// A run-time error ends its handler chain once: however deep the failing
// handler sits (run by an option set in code, inside a modal window, during a
// message box), one box is shown, the program is asked to end once, and no
// code of the outer handlers runs after the failure.
#include "platform/form.h"
#include "support/fixture.h"

#include <QPushButton>
#include <QTimer>

#include <stdexcept>

using namespace plat;

namespace {

class TfrmChain : public Form {
public:
    TfrmChain() : Form("frmChain") {}
    PEMU_CONTROL(OptionButton, optFail)
    PEMU_CONTROL(OptionButton, optRelay)
    PEMU_CONTROL(QPushButton, cmdOuter)
    PEMU_CONTROL(QPushButton, cmdInner)

public:
    std::function<void()> outer, inner;
    std::vector<std::string> reached;

protected:
    void Build() override {
        m_optFail = Make<OptionButton>(Body(), "optFail", "Fail");
        m_optRelay = Make<OptionButton>(Body(), "optRelay", "Relay");
        m_cmdOuter = Make<QPushButton>(Body(), "cmdOuter", "Outer");
        m_cmdInner = Make<QPushButton>(Body(), "cmdInner", "Inner");
        m_optFail->OnClick([] { throw std::runtime_error("Division by zero"); });
        // Relay runs Fail: a third handler in the chain.
        m_optRelay->OnClick([this] {
            m_optFail->SetValue(true);
            reached.push_back("relay resumed");
        });
        OnClicked(m_cmdOuter, [this] { outer(); });
        OnClicked(m_cmdInner, [this] { inner(); });
    }
};
TfrmChain frmChain;

// A second window that the outer handler shows modally.
class TfrmSide : public Form {
public:
    TfrmSide() : Form("frmSide") {}
    PEMU_CONTROL(QPushButton, cmdGo)

public:
    std::function<void()> go;

protected:
    void Build() override {
        m_cmdGo = Make<QPushButton>(Body(), "cmdGo", "Go");
        OnClicked(m_cmdGo, [this] { go(); });
    }
};
TfrmSide frmSide;

class GuardTest : public pemu_test::ProgramTest {
protected:
    void TearDown() override {
        frmChain.reached.clear();
        ProgramTest::TearDown();
    }
    int runtimeErrorBoxes() const {
        int n = 0;
        for (const auto& b : boxes) n += b.text.startsWith("Run-time error:");
        return n;
    }
};

}  // namespace

TEST_F(GuardTest, AFailureTwoHandlersDeepIsReportedOnceAndTheOuterHandlerStops) {
    frmChain.Show();
    frmChain.outer = [] {
        frmChain.optFail()->SetValue(true);
        frmChain.reached.push_back("outer resumed");
        MsgBox("after the option");
    };
    Click(frmChain.cmdOuter());
    EXPECT_EQ(runtimeErrorBoxes(), 1);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(lastBox().text.contains("Division by zero"));
    EXPECT_EQ(lastBox().icon(), vbCritical);
    EXPECT_TRUE(frmChain.reached.empty());
    EXPECT_EQ(endRequests, std::vector<int>{1});
}

TEST_F(GuardTest, AFailureThreeHandlersDeepIsReportedOnce) {
    frmChain.Show();
    frmChain.outer = [] {
        frmChain.optRelay()->SetValue(true);
        frmChain.reached.push_back("outer resumed");
    };
    Click(frmChain.cmdOuter());
    EXPECT_EQ(runtimeErrorBoxes(), 1);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(frmChain.reached.empty());
    EXPECT_EQ(endRequests, std::vector<int>{1});
}

TEST_F(GuardTest, AFailureInsideAModalWindowEndsTheWindowAndTheHandlerThatOpenedIt) {
    frmChain.Show();
    frmChain.outer = [] {
        frmSide.Show(true);
        frmChain.reached.push_back("outer resumed");
        MsgBox("after the side window");
    };
    frmSide.go = [] {
        frmChain.optRelay()->SetValue(true);
        frmChain.reached.push_back("side resumed");
    };
    QTimer::singleShot(0, [] { frmSide.cmdGo()->click(); });
    Click(frmChain.cmdOuter());  // returns once the modal loop has been left
    EXPECT_EQ(runtimeErrorBoxes(), 1);
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(frmChain.reached.empty());
    EXPECT_EQ(endRequests, std::vector<int>{1});
    frmSide.Unload();
}

// A timer that fails while a handler waits in a message box: the handler does
// not go on when the box returns, and no box of its own follows.
TEST_F(GuardTest, AFailureWhileAHandlerWaitsInAMessageBoxStopsThatHandler) {
    frmChain.Show();
    frmChain.outer = [] {
        if (MsgBox("End the exam?", vbYesNo) == vbYes) frmChain.reached.push_back("answered");
        MsgBox("second question");
    };
    // The box's wait is where the timer's tick runs.
    SetMsgBoxHook([this](const MsgBoxCall& c) {
        boxes.push_back(c);
        if (c.text == "End the exam?") Guard([] { throw std::runtime_error("Overflow"); });
        return int(vbYes);
    });
    Click(frmChain.cmdOuter());
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "End the exam?");
    EXPECT_TRUE(boxes[1].text.contains("Overflow"));
    EXPECT_TRUE(frmChain.reached.empty());
    EXPECT_EQ(endRequests, std::vector<int>{1});
}

// Ending the program from a modal window ("Exit") returns from it at once, and
// the handler that opened it goes no further.
TEST_F(GuardTest, EndingTheProgramInsideAModalWindowStopsTheHandlerThatOpenedIt) {
    frmChain.Show();
    frmChain.outer = [] {
        frmSide.Show(true);
        frmChain.reached.push_back("outer resumed");
    };
    frmSide.go = [] { EndProgram(0); };
    QTimer::singleShot(0, [] { frmSide.cmdGo()->click(); });
    Click(frmChain.cmdOuter());
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(frmChain.reached.empty());
    EXPECT_EQ(endRequests, std::vector<int>{0});
    // Nothing more runs: a later click does nothing.
    frmChain.outer = [] { frmChain.reached.push_back("clicked after the end"); };
    frmChain.cmdOuter()->click();
    EXPECT_TRUE(frmChain.reached.empty());
    frmSide.Unload();
}
