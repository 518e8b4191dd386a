#include "menustrip.h"

#include "platform/runtime.h"
#include "startup/state.h"

#include <QMenuBar>

namespace {

QMenu* subMenu(QWidget* parentMenu, const QString& caption, const QString& name) {
    auto* m = new QMenu(caption, parentMenu);
    m->setObjectName(name);
    m->menuAction()->setObjectName(name);
    return m;
}

QAction* item(QMenu* menu, const QString& caption, const QString& name) {
    QAction* a = menu->addAction(caption);
    a->setObjectName(name);
    return a;
}

}  // namespace

void SetMenuEnabled(QMenu* menu, bool enabled) {
    menu->setEnabled(enabled);
    menu->menuAction()->setEnabled(enabled);
}

bool MenuEnabled(const QMenu* menu) { return menu->menuAction()->isEnabled(); }

void BuildMenuStrip(QMenuBar* bar, StripKind kind, MenuStrip& s) {
    const bool login = kind == StripKind::Login;
    const bool mode = kind == StripKind::Mode;
    const bool setupOrExam = kind == StripKind::Settings || kind == StripKind::Exam;

    // File
    s.file = subMenu(bar, "&File", setupOrExam ? "file" : "mnuFile");
    bar->addMenu(s.file);
    s.esim = subMenu(s.file, plat::AppTitle(), "mnuESim");
    s.file->addMenu(s.esim);
    s.lm = item(s.esim, "&Learn Mode", "mnuLM");
    QMenu* certParent = s.esim;
    if (login) {
        s.cm = subMenu(s.esim, "&Cert Mode", "mnuCM");
        s.esim->addMenu(s.cm);
        certParent = s.cm;
    }
    s.cmLin = subMenu(certParent, "&Cert Mode(Linear)", "mnuCMLin");
    certParent->addMenu(s.cmLin);
    s.examLin.Reset("mnuExamLin", s.cmLin, item(s.cmLin, "Exam", "mnuExamLin"));
    s.cmAdap = subMenu(certParent, "&Cert Mode(Adaptive)", "mnuCMAdap");
    certParent->addMenu(s.cmAdap);
    s.examAdap.Reset("mnuExamAdap", s.cmAdap, item(s.cmAdap, "Exam", "mnuExamAdap"));
    s.file->addSeparator()->setObjectName("mnuln");
    s.exit = item(s.file, "&Exit", setupOrExam ? "exit" : "mnuExit");
    SetMenuEnabled(s.esim, mode);

    // Options
    s.options = subMenu(bar, "&Options", setupOrExam ? "options" : login ? "mnuoptions" : "mnuOptions");
    bar->addMenu(s.options);
    s.savRes = item(s.options, "&Manage Saved Results", "mnuSavRes");
    s.savRes->setEnabled(mode);
    s.user = item(s.options, "User", "mnuUser");
    s.user->setCheckable(true);
    s.user->setChecked(true);
    s.user->setEnabled(login);
    s.adminConfig = item(s.options, "Norvi", "mnuAdminConfig");
    s.adminConfig->setCheckable(true);
    s.adminConfig->setEnabled(login);
    const char* sizeName = login ? "mnusize"
                           : (mode || kind == StripKind::Grade) ? "mnuSize"
                                                                : "mnuTxtSize";
    s.txtSize = subMenu(s.options, mode ? "&Text Size" : "Text Si&ze", sizeName);
    s.options->addMenu(s.txtSize);
    s.incFont = item(s.txtSize, "Increase Font", "mnuIncFont");
    s.decFont = item(s.txtSize, "Decrease Font", "mnuDecFont");
    if (login || mode || kind == StripKind::Exam) {
        s.incFont->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
        s.decFont->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    }
    SetMenuEnabled(s.txtSize, kind == StripKind::Exam);
    const char* printName = login                        ? "mnuprint"
                            : kind == StripKind::Settings ? "print"
                            : kind == StripKind::Grade    ? "mnuScreen"
                                                          : "mnuPrint";
    s.print = item(s.options, "&Print Screen", printName);
    s.print->setEnabled(kind == StripKind::Exam || kind == StripKind::Grade);

    // Help: the three items do the same thing.
    s.help = subMenu(bar, "&Help", setupOrExam ? "help" : login ? "mnuhelp" : "mnuHelp");
    bar->addMenu(s.help);
    s.cont = item(s.help, "C&ontents", "mnuCont");
    s.disc = item(s.help, "&Disclaimer", "mnuDisc");
    s.about = item(s.help, "&About", "mnuAbout");
    for (QAction* a : {s.cont, s.disc, s.about}) plat::OnTriggered(a, [] { plat::HelpCommand(); });
}

void MarkAdminMode(MenuStrip& strip) {
    if (!gblnAdminMode) return;
    strip.adminConfig->setChecked(true);
    strip.user->setChecked(false);
}
