// Program-wide services the windows lean on: the program folder, message boxes,
// the help page, ending the program and reporting run-time errors.
#pragma once

#include <QString>

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
    int buttons() const { return style & 0x0f; }
    int icon() const { return style & 0xf0; }
};

// Shows a message box and returns the button pressed. A box given no title shows
// the program's title.
int MsgBox(const QString& text, int style = vbOKOnly, const QString& title = QString());

// Tests answer message boxes through this hook instead of a real dialog.
using MsgBoxHook = std::function<int(const MsgBoxCall&)>;
void SetMsgBoxHook(MsgBoxHook hook);  // nullptr restores real dialogs

// ---- help
// Opens the program's help page in the desktop's viewer.
void ShowHelp();
std::filesystem::path HelpFile();
using HelpHook = std::function<void(const std::filesystem::path&)>;
void SetHelpHook(HelpHook hook);

// ---- ending the program
// Ends the program: leaves the event loop (every nested loop with it) without
// running the windows' unload steps.
void EndProgram(int status = 0);
using EndHook = std::function<void(int)>;
void SetEndHook(EndHook hook);  // tests record the request instead

// ---- run-time errors
// Runs a handler; an exception escaping it is shown as a run-time error and ends
// the program, as an untrapped error does.
void Guard(const std::function<void()>& handler);
void ReportFatal(const std::exception& e);

}  // namespace plat
