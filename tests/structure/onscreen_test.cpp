// Side windows open over the window that opened them, and the whole of
// them, title bar and frame included, on the screen's available area,
// wherever that window stands: the review list and the simulator over the
// exam window, the printer dialog over the grade report. A second run of
// these tests does the same on a 1920 x 1080 screen at a scale of 1.5.
#include "exam/frmExam.h"
#include "results/frmGrade.h"
#include "results/frmReview.h"
#include "simulator/frmSimulator.h"
#include "startup/state.h"
#include "support/fixture.h"

#include <QApplication>
#include <QMessageBox>
#include <QPrintDialog>
#include <QScreen>
#include <QTimer>

#include <sstream>

using namespace plat;

namespace {

std::string text(const QRect& r) {
    std::ostringstream s;
    s << r.width() << "x" << r.height() << " at " << r.x() << "," << r.y();
    return s.str();
}

class OnScreenTest : public pemu_test::ProgramTest {
protected:
    void SetUp() override {
        ProgramTest::SetUp();
        room = QGuiApplication::primaryScreen()->availableGeometry();
    }

    // The places an owner may stand: touching an edge or a corner of the
    // area, or dragged partly past it.
    std::vector<std::pair<std::string, QPoint>> placesFor(QWidget* owner) const {
        const QSize f = owner->frameGeometry().size();
        const int left = room.left(), top = room.top();
        const int right = room.left() + room.width() - f.width();
        const int bottom = room.top() + room.height() - f.height();
        const int middle = left + (room.width() - f.width()) / 2;
        return {{"at the top", {middle, top}},
                {"at the bottom", {middle, bottom}},
                {"top left", {left, top}},
                {"top right", {right, top}},
                {"bottom left", {left, bottom}},
                {"bottom right", {right, bottom}},
                {"past the top left", {left - f.width() / 2, top - f.height() / 2}},
                {"past the bottom right", {right + f.width() / 2, bottom + f.height() / 2}}};
    }

    // The whole frame on the area, over the owner as far as the area lets it.
    void expectOnScreenOver(QWidget* side, QWidget* owner, const std::string& what) const {
        const QRect frame = side->frameGeometry();
        EXPECT_GE(frame.top(), room.top()) << what << ": its title bar is above the screen, " << text(frame);
        EXPECT_TRUE(room.contains(frame)) << what << ": " << text(frame) << " is not inside " << text(room);
        const QRect over = owner->frameGeometry() & room;
        EXPECT_TRUE(frame.intersects(over)) << what << ": " << text(frame) << " is not over its owner";
        // Centred over the owner where the area leaves room on both sides.
        if (over == owner->frameGeometry() && frame.width() < room.width()) {
            EXPECT_LE(std::abs(frame.center().x() - over.center().x()), 1) << what << " is not centred";
        }
    }

    // A learn-mode run of one router lab, its exam window shown.
    void startLab() {
        const long long lab = gcnExam->Scalar("SELECT min(QId) FROM Questions where QType = 'SIM'").toInt();
        gcnExam->Execute("INSERT INTO QuestIds (Index,QId) VALUES (1,?)", {lab});
        gintExamTime = 60;
        frmExam.Show();
        ASSERT_TRUE(frmExam.cmdSimulator()->isEnabled());
    }

    QRect room;
};

}  // namespace

// A run of these tests at a scale (QT_SCALE_FACTOR) runs on a scaled screen.
TEST_F(OnScreenTest, TheScreenIsAtTheScaleAsked) {
    const double scale = qEnvironmentVariableIsSet("QT_SCALE_FACTOR") ? qgetenv("QT_SCALE_FACTOR").toDouble() : 1.0;
    EXPECT_DOUBLE_EQ(QGuiApplication::primaryScreen()->devicePixelRatio(), scale);
    EXPECT_GE(room.height(), 600) << "the area is too small to hold an exam window and a side window";
}

TEST_F(OnScreenTest, TheReviewListAndTheSimulatorOverAnExamWindowAnywhere) {
    startLab();
    QWidget* exam = frmExam.Window();
    for (const auto& [where, at] : placesFor(exam)) {
        SCOPED_TRACE("exam window " + where);
        exam->move(at);
        ASSERT_EQ(exam->frameGeometry().topLeft(), at);
        WhileModal(frmReview, [&] { Click(frmExam.cmdReview()); },
                   [&] { expectOnScreenOver(frmReview.Window(), exam, "the review list"); });
        WhileModal(frmSimulator, [&] { Click(frmExam.cmdSimulator()); },
                   [&] { expectOnScreenOver(frmSimulator.Window(), exam, "the simulator"); });
    }
}

// The real printer dialog, over a grade report near the bottom or in a corner;
// cancelled, it prints nothing.
TEST_F(OnScreenTest, ThePrinterDialogOverAGradeReportAnywhere) {
    frmGrade.Show();
    QWidget* report = frmGrade.Window();
    for (const auto& [where, at] : placesFor(report)) {
        SCOPED_TRACE("grade report " + where);
        report->move(at);
        bool seen = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr) << "no printer dialog is up";
            seen = true;
            expectOnScreenOver(dialog, report, "the printer dialog");
            dialog->reject();
        });
        Click(frmGrade.cmdPrint());
        EXPECT_TRUE(seen);
    }
    EXPECT_TRUE(boxes.empty()) << "a cancelled dialog says nothing";
}

// A message box stands over the window it speaks for, wholly on the screen.
TEST_F(OnScreenTest, AMessageBoxOverAGradeReportAnywhere) {
    frmGrade.Show();
    QWidget* report = frmGrade.Window();
    for (const auto& [where, at] : placesFor(report)) {
        SCOPED_TRACE("grade report " + where);
        report->move(at);
        std::unique_ptr<QMessageBox> box(NewMsgBox(
            {"The saved result file cannot be written (No space left on device). The result was not saved.",
             vbCritical, "Results", report}));
        box->show();
        QCoreApplication::processEvents();
        expectOnScreenOver(box.get(), report, "the message box");
    }
}
