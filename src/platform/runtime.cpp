#include "runtime.h"

#include "database.h"
#include "form.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QGridLayout>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include <algorithm>
#include <optional>

namespace plat {

namespace {
std::filesystem::path gTestAppPath;
MsgBoxHook gMsgBoxHook;
HelpHook gHelpHook;
EndHook gEndHook;

bool gEnding = false;
int gGuardDepth = 0;
std::optional<QString> gPendingError;  // caught inside a nested handler, reported by the outermost
bool gHelpFileSet = false;
std::vector<QEventLoop*> gModalLoops;
std::vector<QPointer<QMessageBox>> gOpenBoxes;
}  // namespace

QString AppTitle() { return QStringLiteral("PEMU Network Exam Practice"); }

std::filesystem::path AppPath() {
    if (!gTestAppPath.empty()) return gTestAppPath;
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
}

QString AppPathQ() { return QString::fromStdString(AppPath().string()); }

void SetAppPathForTesting(const std::filesystem::path& folder) { gTestAppPath = folder; }

// ---------------------------------------------------------------- message boxes

namespace {

// The window a box belongs over: the window the user is looking at. The
// active window is no guide: right after another box closes there is none
// until the window manager hands the focus back.
QWidget* boxOwner() {
    if (QWidget* w = Form::FrontWindow()) return w;
    return QApplication::activeWindow();
}

}  // namespace

QMessageBox* NewMsgBox(const MsgBoxCall& call) {
    auto* box = new QMessageBox(call.owner.data());
    box->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Typed and stored text shows as it stands, never as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(call.text);
    box->setWindowTitle(call.title);
    switch (call.icon()) {
    case vbCritical: box->setIcon(QMessageBox::Critical); break;
    case vbQuestion: box->setIcon(QMessageBox::Question); break;
    case vbExclamation: box->setIcon(QMessageBox::Warning); break;
    case vbInformation: box->setIcon(QMessageBox::Information); break;
    default: box->setIcon(QMessageBox::NoIcon); break;
    }
    if (call.buttons() == vbYesNo) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::Yes);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
    }
    // Some window managers draw their own buttons whatever the flags ask:
    // the box is made wide enough for its whole title beside four of them.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
        titleFont.setBold(true);
        const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(call.title) + kTitleBarRoom;
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0,
                      1, std::max(1, grid->columnCount()));
    }
    return box;
}

namespace {

int showBox(MsgBoxCall call) {
    call.owner = boxOwner();
    if (gMsgBoxHook) return gMsgBoxHook(call);

    // On the heap and watched: a timer may unload the window the box belongs
    // to while it waits, and the box goes with its owner.
    QMessageBox* box = NewMsgBox(call);
    QPointer<QMessageBox> alive(box);
    gOpenBoxes.push_back(box);
    int result = vbOK;
    if (call.buttons() == vbYesNo) {
        const int pressed = box->exec();
        result = alive && pressed == QMessageBox::Yes ? vbYes : vbNo;
    } else {
        box->exec();
    }
    gOpenBoxes.erase(std::remove(gOpenBoxes.begin(), gOpenBoxes.end(), alive), gOpenBoxes.end());
    delete alive.data();
    return result;
}

}  // namespace

int MsgBox(const QString& text, int style, const QString& title) {
    ThrowIfEnding();
    const int answer = showBox(MsgBoxCall{text, style, title.isEmpty() ? AppTitle() : title, nullptr});
    // A timer may have ended the program while the box waited.
    ThrowIfEnding();
    return answer;
}

void SetMsgBoxHook(MsgBoxHook hook) { gMsgBoxHook = std::move(hook); }

// ---------------------------------------------------------------- help

std::filesystem::path HelpFile() { return AppPath() / "help" / "Tavolin.html"; }

bool HelpFileSet() { return gHelpFileSet; }

void HelpCommand() {
    gHelpFileSet = true;
    PressF1();
}

void PressF1() {
    if (gHelpFileSet) ShowHelp();
}

void ShowHelp() {
    const std::filesystem::path file = HelpFile();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        MsgBox(QStringLiteral("The help page %1 is missing.").arg(QString::fromStdString(file.string())),
               vbExclamation, QStringLiteral("Help"));
        return;
    }
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(file.string()));
    const bool opened = gHelpHook ? gHelpHook(file) : QDesktopServices::openUrl(url);
    if (opened) return;
    // No browser on this desktop: the program shows the page itself.
    static QPointer<QTextBrowser> viewer;
    if (!viewer) {
        viewer = new QTextBrowser;
        viewer->setObjectName(QStringLiteral("helpViewer"));
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        viewer->setOpenExternalLinks(false);
        viewer->resize(720, 540);
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, viewer, &QObject::deleteLater);
    }
    viewer->setWindowTitle(AppTitle() + QStringLiteral(" Help"));
    viewer->setSource(url);
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

void SetHelpHook(HelpHook hook) { gHelpHook = std::move(hook); }

// ---------------------------------------------------------------- ending

void PushModalLoop(QEventLoop* loop) { gModalLoops.push_back(loop); }
void PopModalLoop(QEventLoop* loop) {
    gModalLoops.erase(std::remove(gModalLoops.begin(), gModalLoops.end(), loop), gModalLoops.end());
}

namespace {
// Every modal window and box a handler waits in returns, so the chain unwinds.
void leaveModalLoops() {
    for (QEventLoop* l : gModalLoops) l->quit();
    for (const QPointer<QMessageBox>& b : gOpenBoxes)
        if (b) b->done(0);
}
}  // namespace

void EndProgram(int status) {
    gEnding = true;
    leaveModalLoops();
    if (gEndHook) {
        gEndHook(status);
        return;
    }
    QCoreApplication::exit(status);
}

bool Ending() { return gEnding; }

void SetEndHook(EndHook hook) { gEndHook = std::move(hook); }

void ResetEndingForTesting() {
    gEnding = false;
    gGuardDepth = 0;
    gPendingError.reset();
    gHelpFileSet = false;
}

void ThrowIfEnding() {
    if (gEnding && gGuardDepth > 0) throw EndingChain{};
}

// ---------------------------------------------------------------- run-time errors

namespace {
void reportFatal(const QString& text) {
    showBox(MsgBoxCall{QStringLiteral("Run-time error:\n\n") + text, vbCritical, AppTitle(), nullptr});
    EndProgram(1);
}
}  // namespace

void Guard(const std::function<void()>& handler) {
    // After the program has begun to end, no handler code runs.
    if (gEnding) return;
    ++gGuardDepth;
    try {
        handler();
    } catch (const EndingChain&) {
    } catch (const std::exception& e) {
        if (!gEnding) {
            gPendingError = QString::fromStdString(e.what());
            // Stop the chain at once: boxes and modal windows it waits in return,
            // and every later guard or resume point unwinds.
            gEnding = true;
            leaveModalLoops();
        }
    }
    --gGuardDepth;
    if (gGuardDepth == 0 && gPendingError) {
        const QString text = *gPendingError;
        gPendingError.reset();
        reportFatal(text);
    }
}

}  // namespace plat
