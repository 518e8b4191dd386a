// The exhibit viewer with pictures drawn for each case (smaller, wider,
// taller than the viewport, larger both ways, beyond a 16-bit scroll range),
// a missing file and a file that is no picture; and the flash card's two
// boxes. Both through the exam window's buttons where a candidate opens them.
#include "exam/frmExam.h"
#include "exam/frmExhibit.h"
#include "exam/frmFlashCard.h"
#include "exam_fixture.h"
#include "startup/state.h"

#include <QImage>
#include <QPainter>

#include <fstream>

using namespace plat;

namespace {

class ExhibitTest : public exam_test::ExamTest {
protected:
    // A picture of w × h pixels whose far corner is marked, named by question
    // q's ExhibitPath with Windows separators.
    void picture(long long q, int w, int h, const std::string& name = "case.png") {
        std::filesystem::create_directories(folder() / "exhibits");
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(Qt::white);
        img.setPixel(w - 1, h - 1, qRgb(255, 0, 0));
        ASSERT_TRUE(img.save(QString::fromStdString((folder() / "exhibits" / name).string())));
        gcnExam->Execute("UPDATE Questions SET ExhibitPath = ? WHERE QId = ?", {"exhibits\\" + name, q});
    }
    void open(long long q) {
        gintCurQId = static_cast<int16_t>(q);
        frmExhibit.Show();
    }
    QWidget* shown() { return frmExhibit.picExhibitImg()->parentWidget(); }
    QRect viewport() { return frmExhibit.picOut()->geometry(); }
    // A shown bar lies on the viewport's edge, inside it, and moves the
    // picture exactly as far as the picture overhangs the part that shows.
    void expectReachable(QScrollBar* bar, bool horizontal) {
        ASSERT_TRUE(bar->isVisible());
        const QRect r = bar->geometry();
        EXPECT_TRUE(QRect(QPoint(0, 0), viewport().size()).contains(r)) << bar->objectName().toStdString();
        if (horizontal) EXPECT_EQ(r.bottom() + 1, viewport().height());
        else EXPECT_EQ(r.right() + 1, viewport().width());
        EXPECT_FALSE(r.intersects(shown()->geometry())) << "the bar covers part of the picture";
        bar->setValue(bar->maximum());
        const QRect pic = frmExhibit.picExhibitImg()->geometry();
        if (horizontal) EXPECT_EQ(pic.right() + 1, shown()->width()) << "the right edge shows at the end";
        else EXPECT_EQ(pic.bottom() + 1, shown()->height()) << "the bottom edge shows at the end";
    }
    long long withExhibit() {
        return gcnExam->Scalar("SELECT min(QId) FROM Questions where QType = 'S' and ExhibitPath <> 'NA'").toInt();
    }
};

}  // namespace

TEST_F(ExhibitTest, APictureSmallerThanTheViewportGetsNoBarsAndTheViewportShrinks) {
    const long long q = withExhibit();
    picture(q, 200, 120);
    open(q);
    EXPECT_EQ(frmExhibit.Caption(), "Exhibit");
    EXPECT_EQ(frmExhibit.lblQId()->text(), QString::number(q));
    EXPECT_EQ(viewport().size(), QSize(200, 120));
    EXPECT_EQ(frmExhibit.picExhibitImg()->geometry(), QRect(0, 0, 200, 120));
    EXPECT_FALSE(frmExhibit.HScroll1()->isVisible());
    EXPECT_FALSE(frmExhibit.VScroll1()->isVisible());
    EXPECT_TRUE(boxes.empty());
}

// 837 × 99 and 318 × 328 pixels are the sizes of two of the shipped exhibits.
TEST_F(ExhibitTest, AWideOrATallPictureGetsOneBarOnTheViewportsEdgeThatReachesItsFarEdge) {
    const long long q = withExhibit();
    picture(q, 837, 99);
    open(q);
    EXPECT_FALSE(frmExhibit.VScroll1()->isVisible());
    EXPECT_EQ(viewport().width(), 505);  // 7575 twips, as designed
    EXPECT_EQ(shown()->height(), 99) << "the whole height shows above the bar";
    QScrollBar* h = frmExhibit.HScroll1();
    EXPECT_EQ(h->value(), 0);
    EXPECT_EQ(h->maximum(), (837 - 505) * 15);
    EXPECT_EQ(h->singleStep(), 100);
    EXPECT_EQ(h->pageStep(), 100);
    EXPECT_EQ(h->focusPolicy(), Qt::NoFocus);
    h->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(h->value(), 100);
    EXPECT_EQ(frmExhibit.picExhibitImg()->x(), Px(-100));
    expectReachable(h, true);
    frmExhibit.cmdClose_Click();

    picture(q, 318, 328);
    open(q);
    EXPECT_FALSE(frmExhibit.HScroll1()->isVisible());
    EXPECT_EQ(viewport().height(), 297);  // 4455 twips
    EXPECT_EQ(shown()->width(), 318);
    EXPECT_EQ(frmExhibit.VScroll1()->maximum(), (328 - 297) * 15);
    expectReachable(frmExhibit.VScroll1(), false);
}

TEST_F(ExhibitTest, APictureLargerBothWaysScrollsToEachEdgeEvenBeyondA16BitRange) {
    const long long q = withExhibit();
    picture(q, 800, 600);
    open(q);
    EXPECT_EQ(viewport().size(), QSize(505, 297));
    expectReachable(frmExhibit.HScroll1(), true);
    expectReachable(frmExhibit.VScroll1(), false);
    EXPECT_FALSE(frmExhibit.HScroll1()->geometry().intersects(frmExhibit.VScroll1()->geometry()));
    frmExhibit.cmdClose_Click();

    // 3000 pixels are 45,000 twips: the range passes 32,767.
    picture(q, 3000, 40);
    open(q);
    EXPECT_GT(frmExhibit.HScroll1()->maximum(), 32767);
    expectReachable(frmExhibit.HScroll1(), true);
    // An exhibit where a bar would just fit beside it needs the other bar too.
    frmExhibit.cmdClose_Click();
    picture(q, 900, 290);
    open(q);
    expectReachable(frmExhibit.VScroll1(), false);
    expectReachable(frmExhibit.HScroll1(), true);
}

TEST_F(ExhibitTest, AMissingFileIsReportedAndANonPictureIsNotAndNeitherShowsAnEarlierPicture) {
    const long long q = withExhibit();
    picture(q, 800, 600);
    open(q);
    frmExhibit.VScroll1()->setValue(120);
    frmExhibit.cmdClose_Click();

    gcnExam->Execute("UPDATE Questions SET ExhibitPath = 'exhibits\\gone.png' WHERE QId = ?", {q});
    open(q);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, " File Not found.\r\n Please Save the file in the current working directory");
    EXPECT_EQ(boxes[0].icon(), vbCritical);
    EXPECT_EQ(boxes[0].buttons(), vbOKOnly);
    EXPECT_EQ(boxes[0].title, "File Error");
    EXPECT_TRUE(frmExhibit.Visible());
    EXPECT_TRUE(frmExhibit.picExhibitImg()->pixmap().isNull());
    EXPECT_FALSE(frmExhibit.HScroll1()->isVisible());
    EXPECT_FALSE(frmExhibit.VScroll1()->isVisible());
    EXPECT_EQ(viewport().size(), QSize(505, 297));
    frmExhibit.cmdClose_Click();

    std::ofstream(folder() / "exhibits" / "notes.png") << "not a picture";
    gcnExam->Execute("UPDATE Questions SET ExhibitPath = 'exhibits/notes.png' WHERE QId = ?", {q});
    open(q);
    EXPECT_EQ(boxes.size(), 1u) << "no message for a file that is no picture";
    EXPECT_TRUE(frmExhibit.picExhibitImg()->pixmap().isNull());
}

TEST_F(ExhibitTest, TheExamWindowOpensTheViewerAndTheSimulatorOpensItWithoutTime) {
    const long long q = withExhibit();
    picture(q, 300, 200);
    startRun({{q}}, Mode::Learn);
    ASSERT_TRUE(frmExam.cmdExhibit()->isEnabled());
    WhileModal(frmExhibit, [&] { Click(frmExam.cmdExhibit()); }, [&] {
        tick1s();
        EXPECT_EQ(frmExhibit.lblTime()->text(), frmExam.lblTime()->text());
        EXPECT_EQ(frmExhibit.picExhibitImg()->size(), QSize(300, 200));
        Click(frmExhibit.cmdClose());
    });
    EXPECT_FALSE(frmExhibit.IsLoaded());
    WhileModal(frmExhibit, [&] { frmExhibit.ShowWithoutTime(); }, [&] {
        EXPECT_FALSE(frmExhibit.lblTime()->isVisible());
        EXPECT_EQ(frmExhibit.lblQId()->text(), QString::number(q));
    });
}

TEST_F(ExhibitTest, TheFlashCardShowsAParagraphWrappedAndLinesAsStored) {
    const long long q = ofType("S").front();
    gcnExam->Execute("UPDATE Questions SET Expln = 'Use <b>show ip route</b> & read the codes.' WHERE QId = ?",
                     {q});
    startRun({{q}}, Mode::Learn);
    ASSERT_TRUE(frmExam.cmdFlash()->isVisible());
    WhileModal(frmFlashCard, [&] { Click(frmExam.cmdFlash()); }, [&] {
        EXPECT_EQ(frmFlashCard.Caption(), "Flash Card");
        EXPECT_TRUE(frmFlashCard.txtFC()->isVisible());
        EXPECT_FALSE(frmFlashCard.txtFlash()->isVisible());
        EXPECT_EQ(frmFlashCard.txtFC()->toPlainText(), "Use <b>show ip route</b> & read the codes.");
        EXPECT_EQ(frmFlashCard.txtFC()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        EXPECT_TRUE(frmFlashCard.txtFC()->isReadOnly());
        tick1s();
        EXPECT_EQ(frmFlashCard.lblTime()->text(), frmExam.lblTime()->text());
        Click(frmFlashCard.cmdClose());
    });
    EXPECT_FALSE(frmFlashCard.IsLoaded());

    gcnExam->Execute("UPDATE Questions SET Expln = ? WHERE QId = ?",
                     {"R1# show run\r\n  interface g0/0\r\n\r\nThe <i>second</i> line", q});
    gintCurQId = static_cast<int16_t>(q);
    frmFlashCard.Show();
    EXPECT_FALSE(frmFlashCard.txtFC()->isVisible());
    EXPECT_TRUE(frmFlashCard.txtFlash()->isVisible());
    EXPECT_EQ(frmFlashCard.txtFlash()->toPlainText(), "R1# show run\n  interface g0/0\n\nThe <i>second</i> line");
    EXPECT_EQ(frmFlashCard.txtFlash()->blockCount(), 4);
    EXPECT_EQ(frmFlashCard.txtFlash()->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_TRUE(frmFlashCard.txtFlash()->isReadOnly());
    frmFlashCard.cmdClose_Click();

    gcnExam->Execute("UPDATE Questions SET Expln = 'NA' WHERE QId = ?", {q});
    frmFlashCard.Show();
    EXPECT_TRUE(frmFlashCard.txtFlash()->isVisible());
    EXPECT_FALSE(frmFlashCard.txtFC()->isVisible());
    EXPECT_EQ(frmFlashCard.txtFlash()->toPlainText(), "No Description Available\n");
}
