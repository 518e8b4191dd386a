// The menu strip that the sign-in, mode, set-up, exam, review and grade windows
// carry, each with its own item names and enabled items.
#pragma once

#include "platform/form.h"

#include <QAction>
#include <QMenu>

class QMenuBar;

enum class StripKind { Login, Mode, Settings, Exam, Review, Grade };

struct MenuStrip {
    QMenu* file = nullptr;
    QMenu* esim = nullptr;      // the program's title: learn and exam shortcuts
    QAction* lm = nullptr;      // "&Learn Mode"
    QMenu* cm = nullptr;        // "&Cert Mode" (sign-in window only)
    QMenu* cmLin = nullptr;     // "&Cert Mode(Linear)"
    QMenu* cmAdap = nullptr;    // "&Cert Mode(Adaptive)"
    plat::MenuArray examLin;    // numbered linear exams, element 0 "Exam"
    plat::MenuArray examAdap;   // numbered adaptive exams
    QAction* exit = nullptr;
    QMenu* options = nullptr;
    QAction* savRes = nullptr;  // "&Manage Saved Results"
    QAction* user = nullptr;    // "User"
    QAction* adminConfig = nullptr;  // "Norvi"
    QMenu* txtSize = nullptr;
    QAction* incFont = nullptr;
    QAction* decFont = nullptr;
    QAction* print = nullptr;   // "&Print Screen"
    QMenu* help = nullptr;
    QAction* cont = nullptr;
    QAction* disc = nullptr;
    QAction* about = nullptr;
};

// Builds the strip on a window's menu bar with the names, enabled items and
// shortcuts of that window; the three help items open the help page.
void BuildMenuStrip(QMenuBar* bar, StripKind kind, MenuStrip& strip);

// Enables or disables a submenu as the item that opens it.
void SetMenuEnabled(QMenu* menu, bool enabled);
bool MenuEnabled(const QMenu* menu);

// Ticks "Norvi" and unticks "User" while the administrator's configuration mode is on.
void MarkAdminMode(MenuStrip& strip);
