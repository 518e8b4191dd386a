// The simulator window of a "SIM" question: the router console, opened
// modally by the exam window for the question on screen (gintCurQId), and for
// Show Answer with the model answer instead of a console. Every rule of the
// console (judging a line, the prompts, the console file) lives in
// simulator/visit.h and simulator/engine.h; this window wires its controls to
// them.
#pragma once

#include "platform/form.h"
#include "simulator/engine.h"
#include "simulator/visit.h"

#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>

#include <functional>

// The console's text box: Return (or Enter) and Ctrl+Z are the console's own
// keys, handled before the text box could break the line or undo; every other
// key edits the text as usual.
class ConsoleEdit : public QPlainTextEdit {
public:
    explicit ConsoleEdit(QWidget* parent = nullptr);
    // Receives the character code of the console's keys: 13 (Return) or 26 (Ctrl+Z).
    void OnKey(std::function<void(int)> handler) { key_ = std::move(handler); }
    // The character code of a console key, 0 for any other key.
    static int KeyCode(const QKeyEvent* e);

protected:
    bool event(QEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    std::function<void(int)> key_;
};

class TfrmSimulator : public plat::Form {
public:
    TfrmSimulator() : Form("frmSimulator") {}

    PEMU_CONTROL(QPlainTextEdit, txtQues)
    PEMU_CONTROL(QPlainTextEdit, Guidetxt)
    PEMU_CONTROL(QLabel, lblQuestID)
    PEMU_CONTROL(QLabel, lblQId)
    PEMU_CONTROL(QLabel, lblTime)
    PEMU_CONTROL(QPlainTextEdit, txtSimCon)
    PEMU_CONTROL(QGroupBox, Frame2)
    PEMU_CONTROL(QPushButton, cmdReset)
    PEMU_CONTROL(QPushButton, cmdShwExh)
    PEMU_CONTROL(QPushButton, cmdClose)

public:
    // ---- public procedures
    // Closes the window (its unload step saves the console); the exam window
    // calls it when the time runs out.
    void cmdClose_Click();
    // Runs of blanks collapsed to one.
    QString RemSpacesInCmd(const QString& strCmdTyped);
    // Judges one normalised command at the console's prompt for the question
    // on screen: recorded when accepted (its output waits for the next prompt
    // line), refused with its box otherwise.
    void ChkCmdTyped(const QString& strCmdTyped);
    // The console shows the "Commands" listing (the model answer, or for a
    // saved result the commands typed in it) and is disabled.
    void DispSimAns();

    // The remaining time, written by the exam window; nothing while not loaded.
    void ShowTime(const QString& text);

    // ---- handlers
    void cmdReset_Click();
    void cmdShwExh_Click();
    // The console's keys: 13 Return, 26 Ctrl+Z; any other code does nothing.
    void txtSimCon_KeyPress(int KeyAscii);

    static const QString kGuide;

protected:
    void Build() override;
    void Form_Load() override;
    void Form_Unload(bool& cancel) override;

private:
    // Writes what a key or a button made of the console, puts the caret at the
    // end, then shows the reply's box.
    void apply(const sim::Reply& r);
    void caretToEnd();
    // A handler that waited in a box or a window goes on only while the visit
    // it began in is still open (the time may have closed it meanwhile).
    bool stillOpen(int visit) const { return IsLoaded() && visit == visitId_; }

    // Form-level state, kept from one opening to the next: the console
    // (started, device name, prompt, pending output, last line refused) and
    // how and for which question the window was opened.
    sim::Console mConsole;
    sim::Visit mVisit;
    long long mQId = 0;
    int visitId_ = 0;
};

extern TfrmSimulator frmSimulator;
