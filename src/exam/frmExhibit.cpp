#include "frmExhibit.h"

#include "platform/runtime.h"
#include "startup/state.h"

using namespace plat;

TfrmExhibit frmExhibit;

void TfrmExhibit::Build() {
    QWidget* b = Body();
    SetCaption("Exhibit");
    SetClientSize(7815, 5895);

    m_lblQuestID = Make<QLabel>(b, "lblQuestID", "QuestionID:");
    Place(m_lblQuestID, 120, 240, 1200, 300);
    m_lblQId = Make<QLabel>(b, "lblQId", "QId");
    Place(m_lblQId, 1440, 240, 1200, 300);
    m_lblTime = Make<QLabel>(b, "lblTime", "Time");
    Place(m_lblTime, 6240, 240, 1455, 300);
    QFont bold = m_lblTime->font();
    bold.setBold(true);
    m_lblTime->setFont(bold);

    // The viewport, with the picture and the two scroll bars inside it.
    m_picOut = Make<QFrame>(b, "picOut");
    Place(m_picOut, 120, 840, 7575, 4455);
    m_picExhibitImg = Make<QLabel>(m_picOut, "picExhibitImg");
    Place(m_picExhibitImg, 0, 0, 7575, 4455);
    m_HScroll1 = Make<QScrollBar>(m_picOut, "HScroll1", Qt::Horizontal);
    Place(m_HScroll1, 0, 4200, 7575, 255);
    m_VScroll1 = Make<QScrollBar>(m_picOut, "VScroll1", Qt::Vertical);
    Place(m_VScroll1, 7320, 0, 255, 4215);
    m_HScroll1->setVisible(false);
    m_VScroll1->setVisible(false);

    m_cmdClose = Make<QPushButton>(b, "cmdClose", "Close");
    Place(m_cmdClose, 6240, 5400, 1455, 375);
    OnClicked(m_cmdClose, [this] { cmdClose_Click(); });
}

void TfrmExhibit::Form_Load() { m_lblQId->setText(QString::number(gintCurQId)); }

void TfrmExhibit::cmdClose_Click() { Unload(); }

void TfrmExhibit::ShowTime(const QString& text) {
    if (IsLoaded()) m_lblTime->setText(text);
}

void TfrmExhibit::HideTime() {
    if (IsLoaded()) m_lblTime->setVisible(false);
}
