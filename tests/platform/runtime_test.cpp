// Message boxes and the help page as the user meets them: a box sits over the
// window it speaks for and shows its text as written; the help page opens from
// any window by F1 once a help command has run, in the program itself when the
// desktop has no browser, and a missing page is named.
#include "platform/form.h"
#include "platform/runtime.h"
#include "support/fixture.h"

#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

using namespace plat;

namespace {

class TfrmHost : public Form {
public:
    TfrmHost() : Form("frmHost") {}
    PEMU_CONTROL(QPushButton, cmdAny)

protected:
    void Build() override {
        SetClientSize(3000, 1500);
        m_cmdAny = Make<QPushButton>(Body(), "cmdAny", "Any");
    }
};
TfrmHost frmHost;

class TfrmOther : public Form {
public:
    TfrmOther() : Form("frmOther") {}

protected:
    void Build() override { SetClientSize(2400, 1200); }
};
TfrmOther frmOther;

class RuntimeTest : public pemu_test::ProgramTest {
protected:
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "helpViewer") w->close();
        ProgramTest::TearDown();
    }
};

}  // namespace

// A real box (no test hook): typed text such as a name holding a link is shown
// as plain text, and the box belongs to the window in front.
TEST_F(RuntimeTest, AMessageBoxShowsPlainTextOverTheActiveWindow) {
    SetMsgBoxHook(nullptr);
    frmHost.Show();
    QApplication::setActiveWindow(frmHost.Window());
    QWidget* parent = nullptr;
    Qt::TextFormat format = Qt::AutoText;
    Qt::WindowFlags flags;
    QString shown;
    int width = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        parent = box->parentWidget();
        format = box->textFormat();
        flags = box->windowFlags();
        shown = box->text();
        box->accept();
    });
    MsgBox("UserName <a href=\"http://x\">click</a> has been Added", vbInformation, "User Name Added");
    EXPECT_EQ(parent, frmHost.Window());
    EXPECT_EQ(format, Qt::PlainText);
    EXPECT_EQ(shown, "UserName <a href=\"http://x\">click</a> has been Added");
    // A dialog with its title and a close button, and nothing to squeeze the title.
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Dialog);
    EXPECT_TRUE(flags.testFlags(Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint));
    EXPECT_FALSE(flags & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));

    // A window manager that draws an icon and three buttons (22 pixels each)
    // whatever the flags say still leaves room for the whole title in bold,
    // however short the text.
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        width = box->width();
        box->accept();
    });
    MsgBox("Reset?", vbYesNo, "Exam Configuration");
    QFont bold = QApplication::font("QMdiSubWindowTitleBar");
    bold.setBold(true);
    EXPECT_GE(width, QFontMetrics(bold).horizontalAdvance("Exam Configuration") + 4 * 22);
}

// Right after a box has gone no window is active; the next box still stands
// over the window in front, not over one that happens to be up beneath it.
TEST_F(RuntimeTest, ABoxAfterABoxStandsOverTheWindowInFront) {
    SetMsgBoxHook(nullptr);
    frmHost.Show();
    frmOther.Show();
    std::vector<QWidget*> parents;
    std::function<void()> answer = [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box) return;
        parents.push_back(box->parentWidget());
        box->accept();
        QApplication::setActiveWindow(nullptr);
    };
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, answer);
        MsgBox("Result Saved", vbInformation, "Results");
    }
    EXPECT_EQ(parents, (std::vector<QWidget*>{frmOther.Window(), frmOther.Window()}));
    // The user brings the other window to the front: boxes follow it.
    QApplication::setActiveWindow(frmHost.Window());
    Settle();
    QTimer::singleShot(0, answer);
    MsgBox("Result Saved", vbInformation, "Results");
    ASSERT_EQ(parents.size(), 3u);
    EXPECT_EQ(parents[2], frmHost.Window());
}

TEST_F(RuntimeTest, F1OpensTheHelpPageOnlyOnceAHelpCommandHasRun) {
    frmHost.Show();
    QApplication::setActiveWindow(frmHost.Window());
    QTest::keyClick(frmHost.cmdAny(), Qt::Key_F1);
    EXPECT_TRUE(helpOpened.empty()) << "no help file is set before a help command";
    HelpCommand();
    ASSERT_EQ(helpOpened.size(), 1u);
    QTest::keyClick(frmHost.cmdAny(), Qt::Key_F1);
    ASSERT_EQ(helpOpened.size(), 2u);
    EXPECT_EQ(helpOpened[1], folder() / "help" / "Tavolin.html");
}

TEST_F(RuntimeTest, WithoutABrowserTheProgramShowsTheHelpPageItself) {
    desktopOpensHelp = false;
    HelpCommand();
    QTextBrowser* viewer = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == "helpViewer" && w->isVisible()) viewer = qobject_cast<QTextBrowser*>(w);
    ASSERT_NE(viewer, nullptr) << "the help command did nothing";
    EXPECT_EQ(viewer->source().toLocalFile().toStdString(), (folder() / "help" / "Tavolin.html").string());
    EXPECT_FALSE(viewer->toPlainText().trimmed().isEmpty());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(RuntimeTest, AMissingHelpPageIsNamed) {
    std::filesystem::remove(folder() / "help" / "Tavolin.html");
    HelpCommand();
    EXPECT_TRUE(helpOpened.empty());
    EXPECT_EQ(lastBox().text.toStdString(),
              "The help page " + (folder() / "help" / "Tavolin.html").string() + " is missing.");
    EXPECT_EQ(lastBox().title, "Help");
    EXPECT_EQ(lastBox().icon(), vbExclamation);
}
