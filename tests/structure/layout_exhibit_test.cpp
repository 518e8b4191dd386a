// The exhibit viewer as a candidate sees it: empty, and over pictures of
// every shape (the sizes of two shipped exhibits among them).
#include "exam/frmExhibit.h"
#include "startup/state.h"
#include "support/fixture.h"
#include "support/layout.h"

#include <QImage>

using namespace plat;

namespace {

class ExhibitLayoutTest : public pemu_test::LayoutTest {
protected:
    long long question() {
        return gcnExam->Scalar("SELECT min(QId) FROM Questions where ExhibitPath <> 'NA'").toInt();
    }
    void showPicture(int w, int h) {
        std::filesystem::create_directories(folder() / "exhibits");
        QImage img(w, h, QImage::Format_RGB32);
        img.fill(Qt::gray);
        ASSERT_TRUE(img.save(QString::fromStdString((folder() / "exhibits" / "p.png").string())));
        gcnExam->Execute("UPDATE Questions SET ExhibitPath = 'exhibits/p.png' WHERE QId = ?", {question()});
        gintCurQId = static_cast<int16_t>(question());
        frmExhibit.Show();
    }
};

}  // namespace

TEST_F(ExhibitLayoutTest, TheViewerEmptyAndOverPicturesOfEveryShape) {
    gintCurQId = 0;
    frmExhibit.Show();
    frmExhibit.ShowTime("01:29:59");
    expectClean(frmExhibit, "no picture");
    frmExhibit.Unload();
    for (QSize s : {QSize(120, 80), QSize(837, 99), QSize(318, 328), QSize(800, 600), QSize(900, 290)}) {
        showPicture(s.width(), s.height());
        frmExhibit.ShowTime("00:00:01");
        expectClean(frmExhibit, std::to_string(s.width()) + " x " + std::to_string(s.height()) + " picture");
        frmExhibit.Unload();
    }
}
