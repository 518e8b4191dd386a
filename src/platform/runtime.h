// Program-wide services the windows lean on: the program folder, message boxes,
// the help page, ending the program and reporting run-time errors.
#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QEventLoop;
class QMessageBox;

#include <exception>
#include <filesystem>
#include <functional>
#include <vector>

namespace plat {

// The program's title: captions of the File submenu and untitled message boxes.
QString AppTitle();

// The folder of the executable (or the one a test put in its place).
std::filesystem::path AppPath();
QString AppPathQ();
void SetAppPathForTesting(const std::filesystem::path& folder);  // empty path restores

// ---- message boxes
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbYesNo = 4,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
};
enum MsgBoxResult : int { vbOK = 1, vbCancel = 2, vbYes = 6, vbNo = 7 };

struct MsgBoxCall {
    QString text;
    int style = vbOKOnly;
    QString title;
    // The window the box stands over: the one the user is looking at.
    QPointer<QWidget> owner;
    int buttons() const { return style & 0x0f; }
    int icon() const { return style & 0xf0; }
};

// Shows a message box and returns the button pressed. A box given no title shows
// the program's title.
int MsgBox(const QString& text, int style = vbOKOnly, const QString& title = QString());

// The box as it is shown: a dialog over its owner (its whole frame on the
// screen) with a title and a close button only (no minimise or maximise
// buttons to squeeze the title), the text as it stands (never markup), its
// icon and buttons. The caller owns it.
QMessageBox* NewMsgBox(const MsgBoxCall& call);
// Room in a title bar beside the title, for a window icon and three buttons (pixels).
constexpr int kTitleBarRoom = 120;

// Tests answer message boxes through this hook instead of a real dialog.
using MsgBoxHook = std::function<int(const MsgBoxCall&)>;
void SetMsgBoxHook(MsgBoxHook hook);  // nullptr restores real dialogs

// ---- help
// The help command of the help menus: makes the help page the program's help
// file (from then on F1 in any window opens it) and opens it.
void HelpCommand();
// F1: opens the help file once a help command has set it; before that, nothing.
void PressF1();
bool HelpFileSet();
// Opens the help page in the desktop's browser, or, where the desktop has none,
// in a window of the program. A page that is missing, is no plain file or is
// larger than kLargestHelpPage is refused with a box naming the file.
void ShowHelp();
std::filesystem::path HelpFile();
// The program's own page is about 6 KB. A larger one, shown in the program's
// own window, could hold it up: text laid out in one line takes time growing
// with the square of its length.
constexpr qint64 kLargestHelpPage = qint64(64) << 10;
// The page as the program's own help window is given it. Qt's rich text takes
// time exponential in how deeply tables nest and quadratic in how deeply any
// elements do, and never finishes over some lengths (a cell padding of 10^8
// pixels), so a page of a few hundred bytes could hold the window up for good.
// The window is given only what a help page needs: headings, paragraphs,
// lists, preformatted text, emphasis, code, line breaks and links within the
// page, with no attribute but an element's id and a link's "#" target, and no
// style sheet; elements nest at most kHelpDepth deep and are always closed,
// and a list goes on as a new list after kHelpListItems items.
// Any other element gives way to its text; scripts, style sheets and the
// title are left out.
QString HelpPageMarkup(const QByteArray& page);
constexpr int kHelpDepth = 8;
constexpr int kHelpListItems = 200;
// Tests stand in for the desktop's browser: the hook returns whether it opened
// the page (false makes the program show it itself).
using HelpHook = std::function<bool(const std::filesystem::path&)>;
void SetHelpHook(HelpHook hook);

// ---- ending the program
// Ends the program: leaves the event loop (every nested loop with it) without
// running the windows' unload steps. From then on no handler code runs: a
// handler waiting in a modal window or message box goes no further.
void EndProgram(int status = 0);
bool Ending();
using EndHook = std::function<void(int)>;
void SetEndHook(EndHook hook);  // tests record the request instead
// Tests run many programs in one process: each starts as a fresh one.
void ResetEndingForTesting();

// ---- run-time errors
// Runs a handler. An exception escaping it is a run-time error: it ends the
// handler chain and the program. Handlers nest (a handler run by setting an
// option, or one inside a modal window opened by another); only the outermost
// reports, with exactly one box, and no further code of the chain runs.
void Guard(const std::function<void()>& handler);

// Thrown at the points where a handler chain resumes (a modal window or message
// box returns, an option set by code has run its handler) once the program is
// ending; the outermost guard swallows it. Not a std::exception, so code that
// traps errors never mistakes it for one.
struct EndingChain {};
// Throws EndingChain when the program is ending and a guarded handler is running.
void ThrowIfEnding();

// Modal event loops run while a handler waits; ending the program leaves them.
void PushModalLoop(QEventLoop* loop);
void PopModalLoop(QEventLoop* loop);

}  // namespace plat
