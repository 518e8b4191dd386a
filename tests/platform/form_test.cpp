// The form runtime's rules that the windows rest on.
#include "platform/form.h"
#include "support/fixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWindow>

using namespace plat;

namespace {

// A window with two option groups, a check box and a control array.
class TfrmProbe : public Form {
public:
    TfrmProbe() : Form("frmProbe") {}
    PEMU_CONTROL(OptionButton, optA)
    PEMU_CONTROL(OptionButton, optB)
    PEMU_CONTROL(QGroupBox, fraInner)
    PEMU_CONTROL(OptionButton, optC)
    PEMU_CONTROL(OptionButton, optD)
    PEMU_CONTROL(CheckBox, chkMark)
    PEMU_CONTROL(QPushButton, cmdClose)

public:
    ControlArray<QLabel> lblItem;
    ControlArray<OptionButton> optItem;
    std::vector<std::string> calls;
    int loads = 0;
    int keptAcrossUnload = 0;
    bool cancelUnload = false;
    bool unloadOnLoad = false;

protected:
    void Build() override {
        // The frame comes first, so that its options are found before A and B
        // by any search that looks below the window's body.
        m_fraInner = Make<QGroupBox>(Body(), "fraInner", "Inner");
        m_optA = Make<OptionButton>(Body(), "optA", "A");
        m_optB = Make<OptionButton>(Body(), "optB", "B");
        Place(m_fraInner, 0, 600, 3000, 1500);
        m_optC = Make<OptionButton>(m_fraInner, "optC", "C");
        m_optD = Make<OptionButton>(m_fraInner, "optD", "D");
        m_chkMark = Make<CheckBox>(Body(), "chkMark", "Mark");
        m_cmdClose = Make<QPushButton>(Body(), "cmdClose", "Close");
        auto* l0 = Make<QLabel>(Body(), "lblItem", "item");
        Place(l0, 120, 240, 1335, 300);
        lblItem.Reset("lblItem", l0);
        auto* o0 = Make<OptionButton>(m_fraInner, "optItem", "Exam");
        optItem.Reset("optItem", o0);
        // A chain: selecting B selects D, whose handler selects B again (already
        // selected, so the chain ends).
        m_optA->OnClick([this] { calls.push_back("A"); });
        m_optB->OnClick([this] { calls.push_back("B"); m_optD->SetValue(true); });
        m_optC->OnClick([this] { calls.push_back("C"); });
        m_optD->OnClick([this] { calls.push_back("D"); m_optB->SetValue(true); });
        m_chkMark->OnClick([this] { calls.push_back("chk" + std::to_string(m_chkMark->Value())); });
        OnClicked(m_cmdClose, [this] { Unload(); });
    }
    void Form_Load() override {
        ++loads;
        if (unloadOnLoad) Unload();
    }
    void Form_Unload(bool& cancel) override { cancel = cancelUnload; }
};

TfrmProbe frmProbe;

// A plain window that opens others.
class TfrmOpener : public Form {
public:
    TfrmOpener() : Form("frmOpener") {}

protected:
    void Build() override { SetClientSize(9000, 6000); }
};
TfrmOpener frmOpener;

class FormRuntimeTest : public pemu_test::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        frmProbe.calls.clear();
        frmProbe.loads = 0;
        frmProbe.cancelUnload = false;
        frmProbe.unloadOnLoad = false;
    }
};

}  // namespace

TEST_F(FormRuntimeTest, TouchingAControlLoadsTheWindowInvisibly) {
    EXPECT_FALSE(frmProbe.IsLoaded());
    frmProbe.optA()->setEnabled(false);
    EXPECT_TRUE(frmProbe.IsLoaded());
    EXPECT_FALSE(frmProbe.Visible());
    EXPECT_EQ(frmProbe.loads, 1);
    frmProbe.Show();
    EXPECT_TRUE(frmProbe.Visible());
    EXPECT_EQ(frmProbe.loads, 1) << "showing a loaded window must not run its load step again";
    EXPECT_FALSE(frmProbe.optA()->isEnabled());
}

TEST_F(FormRuntimeTest, UnloadDestroysControlsButKeepsMembers) {
    frmProbe.Show();
    frmProbe.keptAcrossUnload = 42;
    frmProbe.optA()->setEnabled(false);
    EXPECT_TRUE(frmProbe.Unload());
    EXPECT_FALSE(frmProbe.IsLoaded());
    EXPECT_EQ(frmProbe.keptAcrossUnload, 42);
    EXPECT_TRUE(frmProbe.optA()->isEnabled()) << "a reload builds fresh controls";
    EXPECT_EQ(frmProbe.loads, 2);
}

TEST_F(FormRuntimeTest, UnloadStepCanCancel) {
    frmProbe.Show();
    frmProbe.cancelUnload = true;
    EXPECT_FALSE(frmProbe.Unload());
    EXPECT_TRUE(frmProbe.IsLoaded());
    frmProbe.cancelUnload = false;
}

TEST_F(FormRuntimeTest, OptionRuleRunsHandlerOnlyOnChange) {
    frmProbe.Load();
    frmProbe.optA()->SetValue(true);
    EXPECT_EQ(frmProbe.calls, (std::vector<std::string>{"A"}));
    frmProbe.optA()->SetValue(true);  // already selected: nothing runs
    EXPECT_EQ(frmProbe.calls.size(), 1u);

    frmProbe.optB()->SetValue(true);  // B, then D, whose selecting B again runs nothing
    EXPECT_EQ(frmProbe.calls, (std::vector<std::string>{"A", "B", "D"}));
    EXPECT_FALSE(frmProbe.optA()->Value()) << "selecting B clears A in its group";
    EXPECT_TRUE(frmProbe.optD()->Value());

    // Clearing by code leaves the group with none selected and runs nothing.
    frmProbe.optB()->SetValue(false);
    EXPECT_FALSE(frmProbe.optA()->Value());
    EXPECT_FALSE(frmProbe.optB()->Value());
    EXPECT_EQ(frmProbe.calls.size(), 3u);

    // A disabled option can still be selected by code, and its handler runs.
    frmProbe.optC()->setEnabled(false);
    frmProbe.optC()->SetValue(true);
    EXPECT_TRUE(frmProbe.optC()->Value());
    EXPECT_FALSE(frmProbe.optD()->Value());
    EXPECT_EQ(frmProbe.calls.back(), "C");

    // A click by the user on an unselected option runs its handler too.
    Click(frmProbe.optA());
    EXPECT_EQ(frmProbe.calls.back(), "A");
    const size_t n = frmProbe.calls.size();
    Click(frmProbe.optA());
    EXPECT_EQ(frmProbe.calls.size(), n);
}

TEST_F(FormRuntimeTest, GroupsAreTheOptionsDirectlyInOneContainer) {
    frmProbe.Load();
    frmProbe.optC()->SetValue(true);
    frmProbe.optA()->SetValue(true);
    EXPECT_TRUE(frmProbe.optC()->Value()) << "an option in an inner frame is another group";
    EXPECT_TRUE(frmProbe.optA()->Value());
    Click(frmProbe.optD());  // D's handler selects B
    EXPECT_FALSE(frmProbe.optC()->Value());
    EXPECT_FALSE(frmProbe.optA()->Value());
    EXPECT_TRUE(frmProbe.optB()->Value());
    EXPECT_TRUE(frmProbe.optD()->Value());
}

TEST_F(FormRuntimeTest, ArrayElementsOfADisabledFrameFollowTheFrame) {
    frmProbe.Load();
    frmProbe.fraInner()->setEnabled(false);
    OptionButton* e1 = frmProbe.optItem.Load(1);
    EXPECT_EQ(e1->text(), "Exam");
    frmProbe.fraInner()->setEnabled(true);
    EXPECT_TRUE(e1->isEnabled());
    frmProbe.optItem(0)->setEnabled(false);
    EXPECT_FALSE(frmProbe.optItem.Load(2)->isEnabled()) << "a disabled template makes disabled copies";
}

TEST_F(FormRuntimeTest, CheckBoxRunsHandlerWhenValueChanges) {
    frmProbe.Load();
    frmProbe.chkMark()->SetValue(1);
    frmProbe.chkMark()->SetValue(1);
    frmProbe.chkMark()->SetValue(0);
    EXPECT_EQ(frmProbe.calls, (std::vector<std::string>{"chk1", "chk0"}));
}

TEST_F(FormRuntimeTest, ControlArrayCopiesTheTemplate) {
    frmProbe.Load();
    QLabel* e1 = frmProbe.lblItem.Load(1);
    EXPECT_EQ(e1->objectName(), "lblItem(1)");
    EXPECT_EQ(e1->text(), "item");
    EXPECT_FALSE(e1->isVisibleTo(frmProbe.Window()));
    EXPECT_EQ(LeftOf(e1), 120);
    EXPECT_EQ(TopOf(e1), 240);
    frmProbe.lblItem.Load(2);
    EXPECT_EQ(frmProbe.lblItem.UBound(), 2);
    frmProbe.lblItem.Unload(2);
    EXPECT_EQ(frmProbe.lblItem.UBound(), 1);
    EXPECT_EQ(Find<QLabel>(frmProbe, "lblItem(1)"), e1);
    // A reload starts again from the template alone.
    frmProbe.Unload();
    frmProbe.Load();
    EXPECT_EQ(frmProbe.lblItem.UBound(), 0);
}

TEST_F(FormRuntimeTest, ModalShowWaitsUntilATimerEndsIt) {
    bool closedByTimer = false;
    QTimer::singleShot(0, [&] {
        EXPECT_TRUE(frmProbe.IsModalShown());
        closedByTimer = true;
        frmProbe.Unload();
    });
    frmProbe.Show(true);
    EXPECT_TRUE(closedByTimer);
    EXPECT_FALSE(frmProbe.IsLoaded());
}

// A modal window belongs to the window in front when it opens: centred over
// it and owned by it (the window manager keeps it above its owner) while it
// is up; hidden, it is on its own again. Its owner going does not take it.
TEST_F(FormRuntimeTest, AModalWindowIsOwnedByTheWindowThatOpenedIt) {
    frmOpener.Show();
    frmOpener.Window()->move(300, 200);
    QWidget* owner = nullptr;
    QPoint centre;
    QTimer::singleShot(0, [&] {
        owner = frmProbe.Window()->parentWidget();
        EXPECT_TRUE(frmProbe.Window()->isWindow());
        centre = frmProbe.Window()->frameGeometry().center();
        frmProbe.Hide();
    });
    frmProbe.Show(true);
    EXPECT_EQ(owner, frmOpener.Window());
    const QPoint over = frmOpener.Window()->frameGeometry().center();
    EXPECT_LE((centre - over).manhattanLength(), 2) << "centred over its owner";
    EXPECT_EQ(frmProbe.Window()->parentWidget(), nullptr) << "hidden, it is owned no more";

    bool survived = false;
    QTimer::singleShot(0, [&] {
        frmOpener.Unload();
        Settle();
        survived = frmProbe.IsLoaded() && frmProbe.Visible() && frmProbe.cmdClose()->isVisible();
        frmProbe.Unload();
    });
    frmProbe.Show(true);
    EXPECT_TRUE(survived);
    EXPECT_FALSE(frmOpener.IsLoaded());
}

// A window over its owner: centred over it, then moved, frame and all, into
// the screen's available area, wherever the owner stands; a window larger than
// the area keeps its title bar on it. Here on a 1280 x 720 area below a 40
// pixel panel, with a frame of a 31 pixel title bar and 8 pixel borders.
TEST(PlaceOverTest, TheWholeFrameStaysInTheAvailableArea) {
    const QRect room(0, 40, 1280, 680);
    const QMargins frame(8, 31, 8, 8);
    const QSize size(793, 520);  // the review list at 1x, menu included
    const auto outer = [&](const QRect& inner) { return inner.marginsAdded(frame); };
    const auto ownerAt = [](int x, int y) { return QRect(x, y, 809, 524); };  // an exam window's frame

    // Room around it: centred.
    const QRect middle = PlaceOver(ownerAt(200, 120), size, frame, room);
    EXPECT_EQ(outer(middle).center(), ownerAt(200, 120).center());
    EXPECT_EQ(middle.size(), size);

    const struct {
        const char* where;
        QRect owner;
    } owners[] = {
        {"at the top", ownerAt(200, 40)},
        {"above the top", ownerAt(200, -200)},
        {"at the bottom", ownerAt(200, 720 - 524)},
        {"below the bottom", ownerAt(200, 600)},
        {"top left", ownerAt(-300, 0)},
        {"top right", ownerAt(1000, 0)},
        {"bottom left", ownerAt(-300, 650)},
        {"bottom right", ownerAt(1000, 650)},
    };
    for (const auto& o : owners) {
        SCOPED_TRACE(o.where);
        const QRect placed = PlaceOver(o.owner, size, frame, room);
        EXPECT_EQ(placed.size(), size);
        EXPECT_TRUE(room.contains(outer(placed))) << "frame " << outer(placed).top() << ".." << outer(placed).bottom()
                                                  << " x " << outer(placed).left() << ".." << outer(placed).right();
    }
    // An owner at the top: the title bar just below the panel, not behind it.
    EXPECT_EQ(outer(PlaceOver(ownerAt(200, 40), size, frame, room)).top(), 40);
    EXPECT_EQ(PlaceOver(ownerAt(200, 40), size, frame, room).top(), 40 + 31);
    // At the bottom: the bottom border on the area's last row.
    EXPECT_EQ(outer(PlaceOver(ownerAt(200, 600), size, frame, room)).bottom(), room.bottom());

    // Too tall and too wide for the area: the title bar and left edge stay on it.
    const QRect big = PlaceOver(ownerAt(200, 600), QSize(1400, 800), frame, room);
    EXPECT_EQ(outer(big).topLeft(), room.topLeft());
}

// Before a window is shown its frame is not known: its owner's frame stands in,
// or the allowance where nothing reports one. Shown, it reports its own.
TEST_F(FormRuntimeTest, AWindowsFrameIsWhatItReportsOnceShown) {
    frmOpener.Load();
    EXPECT_EQ(FrameMargins(frmOpener.Window()), kFrameAllowance);
    frmOpener.Show();
    const QMargins reported = frmOpener.Window()->windowHandle()->frameMargins();
    EXPECT_EQ(FrameMargins(frmOpener.Window()), reported);
    frmProbe.Load();
    EXPECT_EQ(FrameMargins(frmProbe.Window(), frmOpener.Window()), reported);
    EXPECT_EQ(frmOpener.Window()->frameGeometry().marginsRemoved(reported), frmOpener.Window()->geometry());
}

// The frame is known for certain only once a window is shown, so it is placed
// again then, at the size it shows at.
TEST_F(FormRuntimeTest, AWindowIsPlacedAgainWhenItIsShown) {
    frmOpener.Show();
    frmOpener.Window()->move(150, 120);
    QWidget* w = frmProbe.Window();
    w->resize(200, 100);
    PlaceOverOwner(w, frmOpener.Window());
    w->resize(400, 300);
    w->show();
    const QPoint off = w->frameGeometry().center() - frmOpener.Window()->frameGeometry().center();
    EXPECT_LE(off.manhattanLength(), 2) << "placed at the size it had before it showed";
    // Shown again later, where the user left it.
    w->hide();
    w->move(10, 10);
    w->show();
    EXPECT_EQ(w->frameGeometry().topLeft(), QPoint(10, 10));
}

// Enter presses the default button of the window it is typed in, not one of
// a window that this window owns.
TEST_F(FormRuntimeTest, EnterPressesOnlyTheWindowsOwnDefaultButton) {
    frmOpener.Show();
    QTimer::singleShot(0, [&] {
        frmProbe.cmdClose()->setDefault(true);
        QTest::keyClick(frmOpener.Window(), Qt::Key_Return);
        EXPECT_TRUE(frmProbe.IsLoaded()) << "Enter in the owner closed the window it owns";
        QTest::keyClick(frmProbe.Window(), Qt::Key_Return);
    });
    frmProbe.Show(true);
    EXPECT_FALSE(frmProbe.IsLoaded());
}

// A load step may close its own window (the exam window does when no time is
// left): showing it then shows nothing, modal or not, and waits for nothing.
TEST_F(FormRuntimeTest, AWindowThatClosesInItsLoadStepIsNotShown) {
    frmProbe.unloadOnLoad = true;
    frmProbe.Show();
    EXPECT_FALSE(frmProbe.IsLoaded());
    frmProbe.Show(true);
    EXPECT_FALSE(frmProbe.IsLoaded());
    EXPECT_FALSE(frmProbe.IsModalShown());
    EXPECT_EQ(frmProbe.loads, 2);
}

TEST_F(FormRuntimeTest, ProgramEndsOnlyWhenNoWindowIsLeftAfterTheEvent) {
    frmProbe.Show();
    // Unloading and loading again within one event keeps the program running.
    frmProbe.Unload();
    frmProbe.Show();
    Settle();
    EXPECT_TRUE(endRequests.empty());
    Click(frmProbe.cmdClose());
    Settle();
    EXPECT_EQ(endRequests, std::vector<int>{0});
}

TEST_F(FormRuntimeTest, TwipsAreFifteenToAPixel) {
    EXPECT_EQ(Px(1335), 89);
    EXPECT_EQ(Twips(20), 300);
    frmProbe.Load();
    SetTop(frmProbe.optA(), 500);
    EXPECT_EQ(TopOf(frmProbe.optA()), 495) << "positions round down to whole pixels";
}

// A process that ends with a window still loaded and without running the event
// loop (an abort path, a test program) takes its windows down cleanly: the
// list of loaded windows outlives them. The sanitizer build proves it.
TEST(FormRuntimeExitTest, EndingTheProcessWithAWindowLoadedIsClean) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            frmProbe.Load();
            std::exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}
