#include "frmFlashCard.h"

#include "platform/runtime.h"
#include "startup/state.h"

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
    // explanation, one that keeps the lines of an explanation laid out in
    // lines. Nothing typed here is kept, so neither takes typing.
    m_txtFC = Make<QPlainTextEdit>(b, "txtFC");
    Place(m_txtFC, 360, 720, 6495, 3495);
    m_txtFC->setReadOnly(true);
    m_txtFC->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_txtFC->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtFC->setVisible(false);
    m_txtFlash = Make<QPlainTextEdit>(b, "txtFlash");
    Place(m_txtFlash, 360, 720, 6495, 3495);
    m_txtFlash->setReadOnly(true);
    m_txtFlash->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_txtFlash->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtFlash->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_txtFlash->setPlainText(QStringLiteral("No Description Available\n"));

    m_cmdClose = Make<QPushButton>(b, "cmdClose", "Close");
    Place(m_cmdClose, 5400, 4440, 1455, 420);
    OnClicked(m_cmdClose, [this] { cmdClose_Click(); });
}

// An explanation laid out in lines (it holds CR LF) keeps them; one without
// wraps to the box. With no explanation the design text stays.
void TfrmFlashCard::Form_Load() {
    Recordset rs = gcnExam->OpenRecordset("SELECT Expln FROM Questions where QId = ? ", {gintCurQId});
    if (rs.Eof()) return;
    QString expln = QString::fromStdString(rs.Fields(0).toString());
    if (expln == u"NA") return;
    const bool inLines = expln.contains(QLatin1String("\r\n"));
    m_txtFC->setVisible(!inLines);
    m_txtFlash->setVisible(inLines);
    if (inLines) m_txtFlash->setPlainText(expln.replace(QLatin1String("\r\n"), QLatin1String("\n")));
    else m_txtFC->setPlainText(expln);
}

void TfrmFlashCard::cmdClose_Click() { Unload(); }

void TfrmFlashCard::ShowTime(const QString& text) {
    if (IsLoaded()) m_lblTime->setText(text);
}
