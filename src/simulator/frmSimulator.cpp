#include "frmSimulator.h"

#include "exam/frmExam.h"
#include "platform/runtime.h"
#include "startup/state.h"

using namespace plat;

TfrmSimulator frmSimulator;

const QString TfrmSimulator::kGuide = QStringLiteral(
    "GUIDELINES\r\n"
    "\r\n"
    "1)  Commands beyond the scope of question will not \r\n"
    "be accepted.\r\n"
    "\r\n"
    "2)  Command parameters like IP no., No. of access list \r\n"
    "etc should be entered correctly.\r\n"
    "\r\n"
    "3) Commands shortcuts are acceptable, Ex: 'en' can be \r\n"
    "typed for the command 'enable'\r\n"
    "\r\n"
    "4)  Commands should be strictly in lowercase.\r\n");

void TfrmSimulator::Build() {
    QWidget* b = Body();
    SetCaption("Simulator");
    SetClientSize(11160, 7560);

    m_lblQuestID = Make<QLabel>(b, "lblQuestID", "QuestionID:");
    Place(m_lblQuestID, 240, 120, 1200, 300);
    m_lblQId = Make<QLabel>(b, "lblQId", "QId");
    Place(m_lblQId, 1440, 120, 1200, 300);
    m_lblTime = Make<QLabel>(b, "lblTime", "Time");
    Place(m_lblTime, 9480, 120, 1455, 300);
    QFont bold = m_lblTime->font();
    bold.setBold(true);
    m_lblTime->setFont(bold);

    m_txtQues = Make<QPlainTextEdit>(b, "txtQues");
    Place(m_txtQues, 240, 480, 6960, 1800);
    m_txtQues->setReadOnly(true);
    m_txtQues->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtSimCon = Make<QPlainTextEdit>(b, "txtSimCon");
    Place(m_txtSimCon, 240, 2400, 6960, 4920);
    m_txtSimCon->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtSimCon->setFont(QFont(QStringLiteral("Courier New"), 10));

    m_Guidetxt = Make<QPlainTextEdit>(b, "Guidetxt");
    Place(m_Guidetxt, 7320, 480, 3615, 4440);
    m_Guidetxt->setReadOnly(true);
    m_Guidetxt->setPlainText(kGuide);

    m_Frame2 = Make<QGroupBox>(b, "Frame2", QString());
    Place(m_Frame2, 7320, 5040, 3615, 2280);
    m_cmdReset = Make<QPushButton>(m_Frame2, "cmdReset", "&Reset");
    Place(m_cmdReset, 240, 240, 3135, 420);
    m_cmdShwExh = Make<QPushButton>(m_Frame2, "cmdShwExh", "&Show Exhibit");
    Place(m_cmdShwExh, 240, 900, 3135, 420);
    m_cmdClose = Make<QPushButton>(m_Frame2, "cmdClose", "&Close");
    Place(m_cmdClose, 240, 1560, 3135, 420);
    OnClicked(m_cmdClose, [this] { cmdClose_Click(); });
    m_txtSimCon->setFocus();
}

void TfrmSimulator::Form_Load() {
    m_lblQId->setText(QString::number(gintCurQId));
    m_cmdShwExh->setEnabled(frmExam.ExhibitOffered());
    // Show Answer shows the model answer: nothing to reset.
    if (frmExam.mblnFromShAns) m_cmdReset->setEnabled(false);
}

void TfrmSimulator::Form_Unload(bool& /*cancel*/) {
    if (frmExam.mblnFromShAns) frmExam.mblnFromShAns = false;
}

void TfrmSimulator::cmdClose_Click() { Unload(); }

void TfrmSimulator::ShowTime(const QString& text) {
    if (IsLoaded()) m_lblTime->setText(text);
}
