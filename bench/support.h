// What the in-process benchmarks share: Qt's notices kept off the tables, the
// headless platform unless another is asked for, and a program folder with a
// fresh copy of the shipped database, its connection open.
#pragma once

#include "dbbuild/dbbuild.h"
#include "platform/form.h"
#include "platform/runtime.h"
#include "startup/module1.h"

#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace bench {

// Before the application object: only real errors reach the terminal.
inline void QuietHeadless() {
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& msg) {
        if (type != QtDebugMsg && type != QtWarningMsg && type != QtInfoMsg)
            std::fprintf(stderr, "%s\n", qPrintable(msg));
    });
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
}

// After the application object: the program's fonts, a program folder with
// the shipped database, the connection open; ending and message boxes are
// answered so that a benchmark never waits.
class ProgramFolder {
public:
    explicit ProgramFolder(plat::MsgBoxHook boxes) {
        plat::InstallDesignFonts();
        dbbuild::makeDatabase(PEMU_DATA_DIR, database());
        plat::SetAppPathForTesting(dir());
        plat::SetEndHook([](int) {});
        plat::SetMsgBoxHook(std::move(boxes));
        Module1::Connect(QString::fromStdString(database().string()));
    }
    std::filesystem::path dir() const { return folder_.path().toStdString(); }
    std::filesystem::path database() const { return dir() / Module1::kDatabaseFile; }

private:
    QTemporaryDir folder_;
};

// For a benchmark that expects no message box: one that comes is shown on the
// terminal, since its figures then measure something else.
inline int UnexpectedBox(const plat::MsgBoxCall& c) {
    std::fprintf(stderr, "unexpected message: %s\n", qPrintable(c.text));
    return int(plat::vbOK);
}

// The candidate the benchmark's runs belong to.
inline void SignInBenchCandidate() {
    gstrUserName = "bench";
    gstrCandName = "Bench Candidate";
}

}  // namespace bench
