// The test programs' own machinery, tried on this program run again as a
// child with one hidden case: the watchdog stops a case that hangs and names
// it, and the temporary folder goes with its process however it ends.
#include "support/watchdog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

// Makes something in the temporary folder, as a test's program folder is made.
void LeaveSomething() {
    auto* dir = new QTemporaryDir;  // never removed by this process itself
    ASSERT_TRUE(dir->isValid());
    QFile f(dir->filePath("PEMUV2.0.db"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
}

}  // namespace

// The hidden cases: run only by the cases below, each in a child of its own.
TEST(HarnessChild, DISABLED_HangsUntilStopped) {
    LeaveSomething();
    for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}
TEST(HarnessChild, DISABLED_Aborts) {
    LeaveSomething();
    std::abort();
}
TEST(HarnessChild, DISABLED_EndsAChildThatLeavesItsFolder) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            LeaveSomething();
            std::_Exit(0);
        },
        ::testing::ExitedWithCode(0), "");
}

namespace {

struct ChildRun {
    int status = -1;
    bool crashed = false;
    QString err;
    QStringList left;  // what is left in the child's temporary folder
};

// Runs one hidden case of this program in a child whose temporary folder is
// a fresh one, with the watchdog's limit set to `limit` seconds.
ChildRun RunHidden(const char* name, const char* limit = "60") {
    ChildRun r;
    QTemporaryDir tmp;
    EXPECT_TRUE(tmp.isValid());
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", tmp.path());
    env.insert("PEMU_TEST_TIMEOUT", limit);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral("/proc/self/exe"),
            {QStringLiteral("--gtest_also_run_disabled_tests"), QStringLiteral("--gtest_filter=HarnessChild.") + name});
    // Far beyond what the child takes; only a broken watchdog meets it.
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished();
        ADD_FAILURE() << "the child running " << name << " did not end";
    }
    r.status = p.exitCode();
    r.crashed = p.exitStatus() == QProcess::CrashExit;
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    r.left = QDir(tmp.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot);
    return r;
}

}  // namespace

TEST(Watchdog, StopsAHangingCaseByItsFullNameAndTakesItsFolderAlong) {
    const ChildRun r = RunHidden("DISABLED_HangsUntilStopped", "1");
    EXPECT_FALSE(r.crashed);
    EXPECT_EQ(r.status, pemu_test::kWatchdogStatus) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("HarnessChild.DISABLED_HangsUntilStopped is still running after 1 s"))
        << r.err.toStdString();
    EXPECT_TRUE(r.left.isEmpty()) << r.left.join(", ").toStdString();
}

TEST(TempFolder, GoesWithAProcessThatAbortsAndWithAChildThatSkipsItsCleanUp) {
    const ChildRun aborted = RunHidden("DISABLED_Aborts");
    EXPECT_TRUE(aborted.crashed) << aborted.err.toStdString();
    EXPECT_TRUE(aborted.left.isEmpty()) << aborted.left.join(", ").toStdString();

    const ChildRun skipped = RunHidden("DISABLED_EndsAChildThatLeavesItsFolder");
    EXPECT_EQ(skipped.status, 0) << skipped.err.toStdString();
    EXPECT_TRUE(skipped.left.isEmpty()) << skipped.left.join(", ").toStdString();
}
