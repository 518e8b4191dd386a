// What is shown read-only by disabling its controls (the correct matching of
// a drag-and-drop question, a router lab's model answer, a reopened result's
// questions and options) stays readable: its text keeps a contrast of at
// least 4.5:1 against what it stands on, in the palette and as drawn.
#include "exam/frmDrag.h"
#include "exam/frmExam.h"
#include "simulator/frmSimulator.h"
#include "startup/state.h"
#include "support/fixture.h"

#include <QImage>

#include <cmath>
#include <map>

using namespace plat;

namespace {

// WCAG 2 relative luminance and contrast ratio.
double luminance(QColor c) {
    auto lin = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    c = c.toRgb();
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
}
double contrast(const QColor& a, const QColor& b) {
    const double x = luminance(a), y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

// The contrast of a control's text as drawn in its window: the most common
// colour of its inside is the ground, the pixel furthest from it the ink.
double drawnContrast(QWidget* w, int inset) {
    QWidget* window = w->window();
    const QRect inside = QRect(w->mapTo(window, QPoint(0, 0)), w->size()).adjusted(inset, inset, -inset, -inset);
    const QImage image = window->grab(inside).toImage().convertToFormat(QImage::Format_RGB32);
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
    QRgb ground = 0;
    int most = -1;
    for (const auto& [colour, n] : counts)
        if (n > most) most = n, ground = colour;
    double best = 1;
    for (const auto& [colour, n] : counts) best = std::max(best, contrast(QColor(colour), QColor(ground)));
    return best;
}

class ReadableTest : public pemu_test::ProgramTest {
protected:
    // The disabled text colour against the ground the control stands on.
    static void expectReadable(QWidget* w, QPalette::ColorRole text, const QColor& ground, int inset,
                               const std::string& what) {
        ASSERT_FALSE(w->isEnabled()) << what << " is shown disabled, to be read only";
        const QColor ink = w->palette().color(QPalette::Disabled, text);
        EXPECT_GE(contrast(ink, ground), 4.5) << what << ": " << ink.name().toStdString() << " on "
                                              << ground.name().toStdString();
        EXPECT_GE(drawnContrast(w, inset), 4.5) << what << " as drawn";
    }
    static QColor windowGround(QWidget* w) { return w->parentWidget()->palette().color(QPalette::Window); }
    long long first(const char* type) {
        return gcnExam->Scalar(std::string("SELECT min(QId) FROM Questions where QType = '") + type + "'").toInt();
    }
};

}  // namespace

TEST_F(ReadableTest, TheCorrectMatchingOfADragAndDropQuestion) {
    gintCurQId = 14;
    frmExam.mblnFromShAns = true;
    frmDrag.Show();
    ASSERT_EQ(frmDrag.lblQuestion().UBound(), 4);
    for (int n = 1; n <= 4; ++n) {
        const std::string row = " of row " + std::to_string(n);
        expectReadable(frmDrag.lblQuestion()(n), QPalette::WindowText, windowGround(frmDrag.lblQuestion()(n)), 0,
                       "the item" + row);
        // Inside the frames, which are no text.
        expectReadable(frmDrag.lblAnswer()(n), QPalette::WindowText, windowGround(frmDrag.lblAnswer()(n)), 2,
                       "the slot" + row);
        expectReadable(frmDrag.lblOption()(n), QPalette::WindowText, windowGround(frmDrag.lblOption()(n)), 2,
                       "the option" + row);
    }
}

TEST_F(ReadableTest, ARouterLabsModelAnswer) {
    gintCurQId = static_cast<int16_t>(first("SIM"));
    frmExam.mblnFromShAns = true;
    frmSimulator.Show();
    QPlainTextEdit* console = frmSimulator.txtSimCon();
    ASSERT_FALSE(console->toPlainText().isEmpty());
    expectReadable(console, QPalette::Text, console->palette().color(QPalette::Disabled, QPalette::Base), 3,
                   "the model answer");
}

TEST_F(ReadableTest, AReopenedResultsQuestionAndOptions) {
    const long long q = first("S");
    gcnExam->Execute("DELETE * from QuestIds");
    gcnExam->Execute("INSERT INTO QuestIds (Index,QId) VALUES (1,?)", {q});
    gcnExam->Execute("DELETE * from AnsIds");
    gcnExam->Execute("INSERT INTO AnsIds (Index,AnsId,Qid) SELECT Index, Index, QId FROM Answers where QId = ?", {q});
    gblnFromResults = true;
    frmExam.Show();
    ASSERT_GE(frmExam.intAnsLbls, 2);
    expectReadable(frmExam.lblQuest()(1), QPalette::WindowText, windowGround(frmExam.lblQuest()(1)), 0,
                   "the question");
    for (int k = 1; k <= frmExam.intAnsLbls; ++k)
        expectReadable(frmExam.lblAnswers()(k), QPalette::WindowText, windowGround(frmExam.lblAnswers()(k)), 0,
                       "option " + std::to_string(k));
    frmExam.Unload();
    gblnFromResults = false;
}

// Disabled push buttons still look disabled: only read-only text is darkened.
TEST_F(ReadableTest, DisabledButtonsKeepTheirDimmedLook) {
    gintCurQId = 14;
    frmExam.mblnFromShAns = true;
    frmDrag.Show();
    QPushButton* close = frmDrag.cmdClose();
    EXPECT_EQ(close->palette().color(QPalette::Disabled, QPalette::ButtonText),
              QApplication::palette(close).color(QPalette::Disabled, QPalette::ButtonText));
    // The measure itself: the grey on grey that was drawn before is 1.6:1.
    EXPECT_NEAR(contrast(QColor("#bebebe"), QColor("#ececec")), 1.6, 0.05);
    EXPECT_NEAR(contrast(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(QColor("#bebebe"), QColor("#ececec")), contrast(QColor("#bebebe"), QColor("#ececec")),
                1e-9);
}
