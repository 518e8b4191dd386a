#include "frmFlashCard.h"

#include "platform/runtime.h"

using namespace plat;

TfrmFlashCard frmFlashCard;

void TfrmFlashCard::Build() {
    QWidget* b = Body();
    SetCaption("Flash Card");
    SetClientSize(7215, 5055);

    m_lblTime = Make<QLabel>(b, "lblTime", "Time");
    Place(m_lblTime, 360, 240, 1455, 300);
    QFont bold = m_lblTime->font();
    bold.setBold(true);
    m_lblTime->setFont(bold);

    // Two boxes on one rectangle: a wrapping one for a one-paragraph
    // explanation, a read-only one for an explanation laid out in lines.
    m_txtFC = Make<QPlainTextEdit>(b, "txtFC");
    Place(m_txtFC, 360, 720, 6495, 3495);
    m_txtFC->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtFC->setVisible(false);
    m_txtFlash = Make<QPlainTextEdit>(b, "txtFlash");
    Place(m_txtFlash, 360, 720, 6495, 3495);
    m_txtFlash->setReadOnly(true);
    m_txtFlash->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_txtFlash->setPlainText(QStringLiteral("No Description Available\n"));

    m_cmdClose = Make<QPushButton>(b, "cmdClose", "Close");
    Place(m_cmdClose, 5400, 4440, 1455, 420);
    OnClicked(m_cmdClose, [this] { cmdClose_Click(); });
}

void TfrmFlashCard::cmdClose_Click() { Unload(); }

void TfrmFlashCard::ShowTime(const QString& text) {
    if (IsLoaded()) m_lblTime->setText(text);
}
