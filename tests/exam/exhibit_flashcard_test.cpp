// The exhibit viewer over pictures drawn for each case (smaller, wider,
// taller than the viewport, larger both ways, past a 16-bit scroll range), a
// missing file, a file that is no picture and what is no plain file of a
// picture's size (a pipe, a folder, a runaway file); and the flash card's two
// boxes.
#include "exam/exhibitview.h"
#include "exam/frmExam.h"
#include "exam/frmExhibit.h"
#include "exam/frmFlashCard.h"
#include "exam_fixture.h"
#include "startup/state.h"
#include "support/pipewatch.h"

#include <QImage>

#include <fstream>

using namespace plat;

namespace {

class ExhibitTest : public exam_test::ExamTest {
protected:
    void SetUp() override {
        ExamTest::SetUp();
        q = gcnExam->Scalar("SELECT min(QId) FROM Questions where QType = 'S' and ExhibitPath <> 'NA'").toInt();
    }
    // Opens the viewer over a w × h picture, named with Windows separators.
    void openOver(int w, int h) {
        std::filesystem::create_directories(folder() / "exhibits");
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(Qt::white);
        ASSERT_TRUE(img.save(QString::fromStdString((folder() / "exhibits" / "case.png").string())));
        gcnExam->Execute("UPDATE Questions SET ExhibitPath = 'exhibits\\case.png' WHERE QId = ?", {q});
        frmExhibit.Unload();
        gintCurQId = static_cast<int16_t>(q);
        frmExhibit.Show();
    }
    QSize viewport() { return frmExhibit.picOut()->size(); }
    // A shown bar lies inside the viewport on its edge, covers no part of the
    // picture, and at its end shows the picture's far edge.
    void expectReachable(QScrollBar* bar, bool horizontal) {
        ASSERT_TRUE(bar->isVisible()) << bar->objectName().toStdString();
        QWidget* shown = frmExhibit.picExhibitImg()->parentWidget();
        const QRect r = bar->geometry();
        EXPECT_TRUE(QRect(QPoint(0, 0), viewport()).contains(r));
        EXPECT_EQ(horizontal ? r.bottom() + 1 : r.right() + 1, horizontal ? viewport().height() : viewport().width());
        EXPECT_FALSE(r.intersects(shown->geometry()));
        bar->setValue(bar->maximum());
        const QRect pic = frmExhibit.picExhibitImg()->geometry();
        EXPECT_EQ(horizontal ? pic.right() + 1 : pic.bottom() + 1, horizontal ? shown->width() : shown->height());
    }
    long long q = 0;
};

}  // namespace

// 837 × 99 and 318 × 328 pixels are the sizes of two shipped exhibits.
TEST_F(ExhibitTest, EachBarShowsOnlyWhenNeededOnTheViewportsEdgeAndReachesThePicturesEdge) {
    openOver(200, 120);
    EXPECT_EQ(frmExhibit.lblQId()->text(), QString::number(q));
    EXPECT_EQ(viewport(), QSize(200, 120));
    EXPECT_FALSE(frmExhibit.HScroll1()->isVisible());
    EXPECT_FALSE(frmExhibit.VScroll1()->isVisible());

    openOver(837, 99);
    EXPECT_FALSE(frmExhibit.VScroll1()->isVisible());
    QScrollBar* h = frmExhibit.HScroll1();
    EXPECT_EQ(h->maximum(), (837 - 505) * 15);
    h->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(frmExhibit.picExhibitImg()->x(), Px(-100));
    expectReachable(h, true);

    openOver(318, 328);
    EXPECT_FALSE(frmExhibit.HScroll1()->isVisible());
    EXPECT_EQ(frmExhibit.VScroll1()->value(), 0) << "each opening starts at the top";
    expectReachable(frmExhibit.VScroll1(), false);

    // Just low enough to fit, until the horizontal bar takes its room.
    openOver(900, 290);
    expectReachable(frmExhibit.HScroll1(), true);
    expectReachable(frmExhibit.VScroll1(), false);
    EXPECT_FALSE(frmExhibit.HScroll1()->geometry().intersects(frmExhibit.VScroll1()->geometry()));

    openOver(3000, 40);  // 45,000 twips: past a 16-bit range
    EXPECT_GT(frmExhibit.HScroll1()->maximum(), 32767);
    expectReachable(frmExhibit.HScroll1(), true);
}

TEST_F(ExhibitTest, AMissingFileIsReportedANonPictureIsNotAndNeitherShowsAnEarlierPicture) {
    openOver(800, 600);
    frmExhibit.cmdClose_Click();
    gcnExam->Execute("UPDATE Questions SET ExhibitPath = 'exhibits\\gone.png' WHERE QId = ?", {q});
    frmExhibit.Show();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, " File Not found.\r\n Please Save the file in the current working directory");
    EXPECT_EQ(boxes[0].style, vbCritical);
    EXPECT_EQ(boxes[0].title, "File Error");
    EXPECT_TRUE(frmExhibit.Visible());
    EXPECT_TRUE(frmExhibit.picExhibitImg()->pixmap().isNull());
    EXPECT_FALSE(frmExhibit.HScroll1()->isVisible());
    frmExhibit.cmdClose_Click();

    std::ofstream(folder() / "exhibits" / "notes.png") << "not a picture";
    gcnExam->Execute("UPDATE Questions SET ExhibitPath = 'exhibits/notes.png' WHERE QId = ?", {q});
    frmExhibit.Show();
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(frmExhibit.picExhibitImg()->pixmap().isNull());
}

// A pipe, a folder or a runaway file in place of a shipped exhibit: the viewer
// opens at once, empty and without a word, as over a file that is no picture.
TEST_F(ExhibitTest, APipeAFolderOrAHugeFileInPlaceOfThePictureOpensAnEmptyViewerAtOnce) {
    const long long shipped =
        gcnExam->Scalar("SELECT QId FROM Questions where ExhibitPath = 'exhibits/json-interfaces.png'").toInt();
    ASSERT_NE(shipped, 0);
    const std::filesystem::path picture = folder() / "exhibits" / "json-interfaces.png";
    std::filesystem::create_directories(picture.parent_path());
    gintCurQId = static_cast<int16_t>(shipped);
    auto expectEmpty = [&](const char* what) {
        EXPECT_TRUE(frmExhibit.Visible()) << what;
        EXPECT_TRUE(frmExhibit.picExhibitImg()->pixmap().isNull()) << what;
        EXPECT_TRUE(boxes.empty()) << what << ": " << boxes.front().text.toStdString();
        EXPECT_EQ(frmExhibit.lblQId()->text(), QString::number(shipped)) << what;
        frmExhibit.cmdClose_Click();
    };
    {
        pemu_test::PipeWatch pipe(picture);
        frmExhibit.Show();
        EXPECT_FALSE(pipe.opened()) << "the viewer opened the pipe and waited on it";
        expectEmpty("a pipe");
    }
    std::filesystem::remove(picture);

    std::filesystem::create_directory(picture);
    frmExhibit.Show();
    expectEmpty("a folder");
    std::filesystem::remove(picture);

    // A real picture with the rest of the file left as a hole: the picture
    // would show if the file were read.
    QImage img(40, 30, QImage::Format_RGB32);
    img.fill(Qt::blue);
    ASSERT_TRUE(img.save(QString::fromStdString(picture.string()), "PNG"));
    frmExhibit.Show();
    EXPECT_EQ(frmExhibit.picExhibitImg()->size(), QSize(40, 30)) << "the picture itself shows";
    frmExhibit.cmdClose_Click();
    std::filesystem::resize_file(picture, exhibitview::kLargestPicture + 1);
    frmExhibit.Show();
    expectEmpty("a runaway file");
}

TEST_F(ExhibitTest, TheExamWindowOpensBothAndTheSimulatorOpensTheViewerWithoutTime) {
    gcnExam->Execute("UPDATE Questions SET Expln = 'Use <b>show ip route</b> & read the codes.' WHERE QId = ?",
                     {q});
    openOver(300, 200);
    frmExhibit.Unload();
    startRun({{q}}, Mode::Learn);
    ASSERT_TRUE(WhileModal(frmExhibit, [&] { Click(frmExam.cmdExhibit()); }, [&] {
        tick1s();
        EXPECT_EQ(frmExhibit.lblTime()->text(), frmExam.lblTime()->text());
        EXPECT_EQ(frmExhibit.picExhibitImg()->size(), QSize(300, 200));
    }));
    // As the simulator opens it: its own label shows the time.
    ASSERT_TRUE(WhileModal(frmExhibit, [&] { frmExhibit.Load(); frmExhibit.HideTime(); frmExhibit.Show(true); },
               [&] { EXPECT_FALSE(frmExhibit.lblTime()->isVisible()); }));

    ASSERT_TRUE(WhileModal(frmFlashCard, [&] { Click(frmExam.cmdFlash()); }, [&] {
        EXPECT_TRUE(frmFlashCard.txtFC()->isVisible());
        EXPECT_FALSE(frmFlashCard.txtFlash()->isVisible());
        EXPECT_EQ(frmFlashCard.txtFC()->toPlainText(), "Use <b>show ip route</b> & read the codes.");
        EXPECT_EQ(frmFlashCard.txtFC()->lineWrapMode(), QPlainTextEdit::WidgetWidth);
        EXPECT_TRUE(frmFlashCard.txtFC()->isReadOnly());
        tick1s();
        EXPECT_EQ(frmFlashCard.lblTime()->text(), frmExam.lblTime()->text());
    }));
}

TEST_F(ExhibitTest, AnExplanationInLinesKeepsThemAndNoneKeepsTheDesignText) {
    gcnExam->Execute("UPDATE Questions SET Expln = ? WHERE QId = ?",
                     {"R1# show run\r\n  interface g0/0\r\n\r\nThe <i>second</i> line", q});
    gintCurQId = static_cast<int16_t>(q);
    frmFlashCard.Show();
    EXPECT_FALSE(frmFlashCard.txtFC()->isVisible());
    EXPECT_TRUE(frmFlashCard.txtFlash()->isVisible());
    EXPECT_EQ(frmFlashCard.txtFlash()->toPlainText(), "R1# show run\n  interface g0/0\n\nThe <i>second</i> line");
    EXPECT_EQ(frmFlashCard.txtFlash()->lineWrapMode(), QPlainTextEdit::NoWrap);
    frmFlashCard.cmdClose_Click();

    gcnExam->Execute("UPDATE Questions SET Expln = 'NA' WHERE QId = ?", {q});
    frmFlashCard.Show();
    EXPECT_FALSE(frmFlashCard.txtFC()->isVisible());
    EXPECT_EQ(frmFlashCard.txtFlash()->toPlainText(), "No Description Available\n");
}
