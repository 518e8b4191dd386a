#include "frmExhibit.h"

#include "exam/exhibitview.h"
#include "platform/runtime.h"
#include "startup/state.h"

#include <QImage>
#include <QPixmap>

#include <system_error>

using namespace plat;

TfrmExhibit frmExhibit;

namespace {
void place(QWidget* w, const exhibitview::Rect& r) { Place(w, r.left, r.top, r.width, r.height); }

void setUpBar(QScrollBar* bar, int max) {
    bar->setMinimum(0);
    bar->setMaximum(max);
    bar->setValue(0);
    bar->setSingleStep(exhibitview::kStep);
    bar->setPageStep(exhibitview::kStep);
    bar->setFocusPolicy(Qt::NoFocus);
}
}  // namespace

void TfrmExhibit::Build() {
    QWidget* b = Body();
    SetCaption("Exhibit");
    SetClientSize(7815, 5895);

    m_lblQuestID = Make<QLabel>(b, "lblQuestID", "QuestionID:");
    Place(m_lblQuestID, 120, 240, 1200, 300);
    m_lblQId = Make<QLabel>(b, "lblQId", "QId");
    m_lblQId->setTextFormat(Qt::PlainText);
    Place(m_lblQId, 1440, 240, 1200, 300);
    m_lblTime = Make<QLabel>(b, "lblTime", "Time");
    Place(m_lblTime, 6240, 240, 1455, 300);
    QFont bold = m_lblTime->font();
    bold.setBold(true);
    m_lblTime->setFont(bold);

    // The viewport, with the picture and the two scroll bars inside it.
    const exhibitview::Design d;
    m_picOut = Make<QFrame>(b, "picOut");
    Place(m_picOut, 120, 840, d.width, d.height);
    shown_ = new QWidget(m_picOut);
    Place(shown_, 0, 0, d.width, d.height);
    m_picExhibitImg = Make<QLabel>(shown_, "picExhibitImg");
    Place(m_picExhibitImg, 0, 0, d.width, d.height);
    m_HScroll1 = Make<QScrollBar>(m_picOut, "HScroll1", Qt::Horizontal);
    Place(m_HScroll1, 0, d.height - d.bar, d.width, d.bar);
    m_VScroll1 = Make<QScrollBar>(m_picOut, "VScroll1", Qt::Vertical);
    Place(m_VScroll1, d.width - d.bar, 0, d.bar, d.height - d.bar);
    m_HScroll1->setVisible(false);
    m_VScroll1->setVisible(false);
    // A bar's value is how far the picture has moved left or up; dragging the
    // thumb moves it as the thumb goes.
    QObject::connect(m_HScroll1, &QScrollBar::valueChanged, m_HScroll1, [this] { Guard([this] { HScroll1_Change(); }); });
    QObject::connect(m_VScroll1, &QScrollBar::valueChanged, m_VScroll1, [this] { Guard([this] { VScroll1_Change(); }); });

    m_cmdClose = Make<QPushButton>(b, "cmdClose", "Close");
    Place(m_cmdClose, 6240, 5400, 1455, 375);
    OnClicked(m_cmdClose, [this] { cmdClose_Click(); });
}

void TfrmExhibit::Form_Load() {
    m_lblQId->setText(QString::number(gintCurQId));
    Recordset rs = gcnExam->OpenRecordset("SELECT ExhibitPath FROM Questions where QId  = ? ", {gintCurQId});
    if (rs.Eof()) return;
    showPicture(QString::fromStdString(rs.Fields(0).toString()));
}

// A missing file is reported; a file that is no picture leaves the viewer
// empty without a word, and so does one that cannot be read as a plain file
// of a picture's size (a pipe, a device, a folder, a runaway file). Either
// way the viewer opens.
void TfrmExhibit::showPicture(const QString& exhibitPath) {
    const std::filesystem::path file = exhibitview::PicturePath(AppPath(), exhibitPath);
    std::error_code ec;
    plat::FileRead read;
    read.status = plat::FileRead::Status::Missing;
    if (std::filesystem::exists(file, ec)) read = exhibitview::ReadPicture(file);
    if (read.status == plat::FileRead::Status::Missing) {
        MsgBox(" File Not found.\r\n Please Save the file in the current working directory", vbCritical,
               "File Error");
        return;
    }
    if (read.status != plat::FileRead::Status::Read) return;
    QImage picture;
    if (!picture.loadFromData(read.bytes) || picture.isNull()) return;
    const QPixmap pixmap = QPixmap::fromImage(picture);
    m_picExhibitImg->setPixmap(pixmap);
    m_picExhibitImg->resize(pixmap.deviceIndependentSize().toSize());

    const exhibitview::View v =
        exhibitview::Fit(Twips(m_picExhibitImg->width()), Twips(m_picExhibitImg->height()));
    Place(m_picOut, LeftOf(m_picOut), TopOf(m_picOut), v.width, v.height);
    place(shown_, v.shown);
    m_HScroll1->setVisible(v.hBar);
    m_VScroll1->setVisible(v.vBar);
    if (v.hBar) place(m_HScroll1, v.hRect);
    if (v.vBar) place(m_VScroll1, v.vRect);
    setUpBar(m_VScroll1, v.vMax);
    setUpBar(m_HScroll1, v.hMax);
}

void TfrmExhibit::HScroll1_Change() { SetLeft(m_picExhibitImg, -m_HScroll1->value()); }
void TfrmExhibit::VScroll1_Change() { SetTop(m_picExhibitImg, -m_VScroll1->value()); }

void TfrmExhibit::cmdClose_Click() { Unload(); }

void TfrmExhibit::ShowTime(const QString& text) {
    if (IsLoaded()) m_lblTime->setText(text);
}

void TfrmExhibit::HideTime() {
    if (IsLoaded()) m_lblTime->setVisible(false);
}
