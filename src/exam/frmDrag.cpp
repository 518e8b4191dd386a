#include "frmDrag.h"

#include "exam/frmExam.h"
#include "platform/runtime.h"
#include "startup/state.h"

using namespace plat;

TfrmDrag frmDrag;

void TfrmDrag::Build() {
    QWidget* b = Body();
    SetCaption(" Drag and Drop");
    SetClientSize(8970, 6555);

    m_Frame2 = Make<QGroupBox>(b, "Frame2", QString());
    Place(m_Frame2, 120, 120, 8775, 615);
    m_lblQuestID = Make<QLabel>(m_Frame2, "lblQuestID", "QuestionID:");
    Place(m_lblQuestID, 120, 120, 1200, 300);
    m_lblQId = Make<QLabel>(m_Frame2, "lblQId", QString());
    Place(m_lblQId, 1440, 120, 1200, 300);
    m_lblTime = Make<QLabel>(m_Frame2, "lblTime", "Time");
    Place(m_lblTime, 7320, 120, 1335, 300);
    QFont bold = m_lblTime->font();
    bold.setBold(true);
    m_lblTime->setFont(bold);

    m_fraDragNDrop = Make<QGroupBox>(b, "fraDragNDrop", QString());
    Place(m_fraDragNDrop, 120, 840, 8775, 5175);
    m_vsbQuestion = Make<QScrollBar>(b, "vsbQuestion", Qt::Vertical);
    Place(m_vsbQuestion, 8640, 840, 255, 5175);
    m_vsbQuestion->setMinimum(0);
    m_vsbQuestion->setVisible(false);

    m_Timer1 = new QTimer(Window());
    m_Timer1->setObjectName(QStringLiteral("Timer1"));
    m_Timer1->setInterval(10);

    m_cmdClose = Make<QPushButton>(b, "cmdClose", "&Close");
    Place(m_cmdClose, 7320, 6120, 1455, 375);
    OnClicked(m_cmdClose, [this] { cmdClose_Click(); });
}

void TfrmDrag::Form_Load() {
    m_lblQId->setText(QString::number(gintCurQId));
    m_vsbQuestion->setVisible(false);
}

void TfrmDrag::Form_Unload(bool& /*cancel*/) {
    m_Timer1->stop();
    // Show Answer's opening writes nothing and ends with the exam window's flag.
    if (frmExam.mblnFromShAns) frmExam.mblnFromShAns = false;
}

void TfrmDrag::cmdClose_Click() { Unload(); }

void TfrmDrag::ShowTime(const QString& text) {
    if (IsLoaded()) m_lblTime->setText(text);
}
