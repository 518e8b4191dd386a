#include "frmSimulator.h"

#include "exam/frmExam.h"
#include "exam/frmExhibit.h"
#include "platform/runtime.h"
#include "startup/state.h"

#include <QKeyEvent>
#include <QTextCursor>

using namespace plat;

TfrmSimulator frmSimulator;

// ---------------------------------------------------------------- the console's keys

ConsoleEdit::ConsoleEdit(QWidget* parent) : QPlainTextEdit(parent) {
    // Ctrl+Z is the router's key here; an undo from the menu would take back
    // prompt lines the console has written and leave it out of step.
    setUndoRedoEnabled(false);
}

int ConsoleEdit::KeyCode(const QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) return 13;
    const Qt::KeyboardModifiers mods = e->modifiers() & ~(Qt::ShiftModifier | Qt::KeypadModifier);
    if (e->key() == Qt::Key_Z && mods == Qt::ControlModifier) return 26;
    return 0;
}

bool ConsoleEdit::event(QEvent* e) {
    // Claimed before any shortcut of the window or the text box could act.
    if (e->type() == QEvent::ShortcutOverride && KeyCode(static_cast<QKeyEvent*>(e))) {
        e->accept();
        return true;
    }
    return QPlainTextEdit::event(e);
}

void ConsoleEdit::keyPressEvent(QKeyEvent* e) {
    const int code = KeyCode(e);
    if (!code) {
        QPlainTextEdit::keyPressEvent(e);
        return;
    }
    // Neither a line break nor an undo: the console writes what the key does.
    e->accept();
    if (key_) Guard([&] { key_(code); });
}

// ---------------------------------------------------------------- the window

const QString TfrmSimulator::kGuide = QStringLiteral(
    "GUIDELINES\n"
    "\n"
    "1)  Commands beyond the scope of question will not \n"
    "be accepted.\n"
    "\n"
    "2)  Command parameters like IP no., No. of access list \n"
    "etc should be entered correctly.\n"
    "\n"
    "3) Commands shortcuts are acceptable, Ex: 'en' can be \n"
    "typed for the command 'enable'\n"
    "\n"
    "4)  Commands should be strictly in lowercase.\n");

void TfrmSimulator::Build() {
    QWidget* b = Body();
    SetCaption("Simulator");
    SetClientSize(11880, 7560);

    m_lblQuestID = Make<QLabel>(b, "lblQuestID", "QuestionID:");
    Place(m_lblQuestID, 240, 120, 1200, 300);
    m_lblQId = Make<QLabel>(b, "lblQId", "QId");
    Place(m_lblQId, 1440, 120, 1200, 300);
    m_lblTime = Make<QLabel>(b, "lblTime", "Time");
    Place(m_lblTime, 10200, 120, 1455, 300);
    for (QLabel* l : {m_lblQuestID, m_lblQId, m_lblTime}) l->setTextFormat(Qt::PlainText);
    QFont bold = m_lblTime->font();
    bold.setBold(true);
    m_lblTime->setFont(bold);

    // Tab leaves a text box, as it does from the console of a router program:
    // a tab character typed into a command would never match.
    m_txtQues = Make<QPlainTextEdit>(b, "txtQues");
    Place(m_txtQues, 240, 480, 6960, 1800);
    m_txtQues->setReadOnly(true);
    m_txtQues->setTabChangesFocus(true);
    m_txtQues->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    auto* console = Make<ConsoleEdit>(b, "txtSimCon");
    m_txtSimCon = console;
    Place(m_txtSimCon, 240, 2400, 6960, 4920);
    m_txtSimCon->setTabChangesFocus(true);
    m_txtSimCon->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont fixed(QStringLiteral("Courier New"), 10);
    fixed.setStyleHint(QFont::TypeWriter);
    m_txtSimCon->setFont(fixed);
    console->OnKey([this](int code) { txtSimCon_KeyPress(code); });

    m_Guidetxt = Make<QPlainTextEdit>(b, "Guidetxt");
    Place(m_Guidetxt, 7320, 480, 4335, 3840);
    m_Guidetxt->setTabChangesFocus(true);
    FixedText(m_Guidetxt, kGuide);

    m_Frame2 = Make<QGroupBox>(b, "Frame2", QString());
    Place(m_Frame2, 7320, 4560, 4335, 2760);
    m_cmdReset = Make<QPushButton>(m_Frame2, "cmdReset", "&Reset");
    Place(m_cmdReset, 600, 360, 3135, 480);
    m_cmdShwExh = Make<QPushButton>(m_Frame2, "cmdShwExh", "&Show Exhibit");
    Place(m_cmdShwExh, 600, 1140, 3135, 480);
    m_cmdClose = Make<QPushButton>(m_Frame2, "cmdClose", "&Close");
    Place(m_cmdClose, 600, 1920, 3135, 480);
    OnClicked(m_cmdReset, [this] { cmdReset_Click(); });
    OnClicked(m_cmdShwExh, [this] { cmdShwExh_Click(); });
    OnClicked(m_cmdClose, [this] { cmdClose_Click(); });

    // The console comes first.
    QWidget::setTabOrder(m_txtSimCon, m_cmdReset);
    QWidget::setTabOrder(m_cmdReset, m_cmdShwExh);
    QWidget::setTabOrder(m_cmdShwExh, m_cmdClose);
    QWidget::setTabOrder(m_cmdClose, m_txtQues);
    QWidget::setTabOrder(m_txtQues, m_Guidetxt);
}

// The question on screen, and its console as the candidate left it (or the
// start line); for Show Answer and a saved result a read-only listing.
void TfrmSimulator::Form_Load() {
    ++visitId_;
    mQId = gintCurQId;
    mVisit = sim::Visit{frmExam.mblnFromShAns, gblnFromResults};
    m_lblQId->setText(QString::number(gintCurQId));
    m_cmdShwExh->setEnabled(frmExam.ExhibitOffered());

    const sim::Opening o = sim::OpenConsole(*gcnExam, AppPath(), mQId, mVisit, mConsole);
    m_txtQues->setPlainText(o.question);
    m_txtSimCon->setPlainText(o.console);
    m_txtSimCon->setEnabled(o.consoleEnabled);
    m_cmdReset->setEnabled(o.resetEnabled);
    caretToEnd();
    m_txtSimCon->setFocus();
    if (!o.problem.isEmpty()) MsgBox(o.problem, vbExclamation, sim::kTitle);
}

// The console is kept for the next visit; the model answer leaves nothing.
void TfrmSimulator::Form_Unload(bool& /*cancel*/) {
    if (mVisit.showAnswer) {
        frmExam.mblnFromShAns = false;
        return;
    }
    const sim::FileOutcome out = sim::CloseConsole(AppPath(), mQId, mVisit, mConsole, m_txtSimCon->toPlainText());
    if (!out) MsgBox(out.problem, vbCritical, sim::kTitle);
}

void TfrmSimulator::cmdClose_Click() { Unload(); }

void TfrmSimulator::ShowTime(const QString& text) {
    if (IsLoaded()) m_lblTime->setText(text);
}

// ---------------------------------------------------------------- buttons

void TfrmSimulator::cmdReset_Click() {
    const int visit = visitId_;
    const int answer = MsgBox("Do You Want to Reset", vbYesNo, "Reset");
    // Closed meanwhile (the time ran out): the console is saved as it stood.
    if (!stillOpen(visit)) return;
    if (answer == vbYes) {
        m_txtSimCon->setPlainText(sim::ResetConsole(*gcnExam, mQId, mConsole));
        caretToEnd();
    }
    m_txtSimCon->setFocus();
}

// The exhibit over this window; the time shows here, not in the viewer.
void TfrmSimulator::cmdShwExh_Click() {
    const int visit = visitId_;
    frmExhibit.Load();
    if (!stillOpen(visit) || !frmExhibit.IsLoaded()) return;
    frmExhibit.HideTime();
    frmExhibit.Show(true);
    if (stillOpen(visit)) m_txtSimCon->setFocus();
}

// ---------------------------------------------------------------- the console

void TfrmSimulator::txtSimCon_KeyPress(int KeyAscii) {
    if (!IsLoaded() || !m_txtSimCon->isEnabled()) return;
    if (KeyAscii == 13) apply(sim::PressReturn(*gcnExam, mQId, mConsole, m_txtSimCon->toPlainText()));
    else if (KeyAscii == 26) apply(mConsole.CtrlZ());
}

void TfrmSimulator::apply(const sim::Reply& r) {
    const int visit = visitId_;
    if (r.replaces) {
        m_txtSimCon->setPlainText(r.text);
    } else if (!r.text.isEmpty()) {
        QTextCursor end(m_txtSimCon->document());
        end.movePosition(QTextCursor::End);
        end.insertText(r.text);
    }
    caretToEnd();
    if (!r.box.isEmpty()) {
        MsgBox(r.box, vbInformation, sim::kTitle);
        if (!stillOpen(visit)) return;
    }
    m_txtSimCon->setFocus();
}

void TfrmSimulator::caretToEnd() {
    m_txtSimCon->moveCursor(QTextCursor::End);
    m_txtSimCon->ensureCursorVisible();
}

QString TfrmSimulator::RemSpacesInCmd(const QString& strCmdTyped) { return sim::RemSpacesInCmd(strCmdTyped); }

void TfrmSimulator::ChkCmdTyped(const QString& strCmdTyped) {
    EnsureLoaded();
    const sim::Reply r = sim::CheckCommand(*gcnExam, gintCurQId, mConsole, strCmdTyped);
    // A refused line stays for correction, the caret at its end.
    if (r.refused) apply(r);
}

void TfrmSimulator::DispSimAns() {
    EnsureLoaded();
    m_txtSimCon->setPlainText(sim::AnswerListing(sim::LoadLab(*gcnExam, gintCurQId), gblnFromResults));
    m_txtSimCon->setEnabled(false);
    caretToEnd();
}
