// Runs the tests inside one QApplication on the offscreen platform, with the
// user's configuration folder (where the data-source entries go) kept apart.
#include <gtest/gtest.h>

#include "platform/form.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdlib>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QTemporaryDir config;
    setenv("XDG_CONFIG_HOME", config.path().toLocal8Bit().constData(), 1);
    QApplication app(argc, argv);
    // The windows are measured and drawn in the fonts the program uses.
    plat::InstallDesignFonts();
    return RUN_ALL_TESTS();
}
