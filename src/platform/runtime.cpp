#include "runtime.h"

#include "database.h"

#include <QApplication>
#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

namespace plat {

namespace {
std::filesystem::path gTestAppPath;
MsgBoxHook gMsgBoxHook;
HelpHook gHelpHook;
EndHook gEndHook;
}  // namespace

QString AppTitle() { return QStringLiteral("PEMU Network Exam Practice"); }

std::filesystem::path AppPath() {
    if (!gTestAppPath.empty()) return gTestAppPath;
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
}

QString AppPathQ() { return QString::fromStdString(AppPath().string()); }

void SetAppPathForTesting(const std::filesystem::path& folder) { gTestAppPath = folder; }

int MsgBox(const QString& text, int style, const QString& title) {
    MsgBoxCall call{text, style, title.isEmpty() ? AppTitle() : title};
    if (gMsgBoxHook) return gMsgBoxHook(call);

    QMessageBox box;
    box.setText(text);
    box.setWindowTitle(call.title);
    switch (call.icon()) {
    case vbCritical: box.setIcon(QMessageBox::Critical); break;
    case vbQuestion: box.setIcon(QMessageBox::Question); break;
    case vbExclamation: box.setIcon(QMessageBox::Warning); break;
    case vbInformation: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon); break;
    }
    if (call.buttons() == vbYesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? vbYes : vbNo;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return vbOK;
}

void SetMsgBoxHook(MsgBoxHook hook) { gMsgBoxHook = std::move(hook); }

std::filesystem::path HelpFile() { return AppPath() / "help" / "Tavolin.html"; }

void ShowHelp() {
    auto file = HelpFile();
    if (gHelpHook) {
        gHelpHook(file);
        return;
    }
    QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(file.string())));
}

void SetHelpHook(HelpHook hook) { gHelpHook = std::move(hook); }

void EndProgram(int status) {
    if (gEndHook) {
        gEndHook(status);
        return;
    }
    QCoreApplication::exit(status);
}

void SetEndHook(EndHook hook) { gEndHook = std::move(hook); }

void ReportFatal(const std::exception& e) {
    QString text = QString::fromStdString(e.what());
    if (auto* db = dynamic_cast<const DbError*>(&e); db && db->isReadOnly())
        text = QStringLiteral("The program folder %1 cannot be written.\n\n%2").arg(AppPathQ(), text);
    MsgBox(QStringLiteral("Run-time error:\n\n") + text, vbCritical);
    EndProgram(1);
}

void Guard(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const std::exception& e) {
        ReportFatal(e);
    }
}

}  // namespace plat
