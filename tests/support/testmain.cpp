// Runs the tests inside one QApplication on the offscreen platform, with the
// user's configuration folder (where the data-source entries go) kept apart,
// everything temporary in one folder of the process's own that goes with it,
// and a watchdog that stops a case that hangs.
#include <gtest/gtest.h>

#include "platform/form.h"
#include "support/tempfolder.h"
#include "support/watchdog.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdlib>

int main(int argc, char** argv) {
    pemu_test::MakeProcessTempFolder(argc > 0 ? argv[0] : nullptr);
    ::testing::InitGoogleTest(&argc, argv);
    pemu_test::InstallWatchdog();
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir config;
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    // The windows are measured and drawn in the fonts the program uses.
    plat::InstallDesignFonts();
    return RUN_ALL_TESTS();
}
