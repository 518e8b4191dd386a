// The program as the start-up benchmark launches it: the program's own start
// (application object, start-up routine, sign-in window), which reports, at the
// sign-in window's first paint, the time since the launcher's stamp and exits.
//
//   bench_startup_child PROGRAM_FOLDER [MAPS_FILE]
// The launcher puts its CLOCK_MONOTONIC stamp (ns) in PEMU_LAUNCH_NS.
#include "platform/runtime.h"
#include "support.h"
#include "signin/frmLogin.h"
#include "startup/module1.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>

namespace {

long long nowNs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1000000000LL + ts.tv_nsec;
}

class FirstPaint : public QObject {
public:
    FirstPaint(long long launched, const char* mapsFile) : launched_(launched), mapsFile_(mapsFile) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::Paint) return false;
        const long long elapsed = nowNs() - launched_;
        std::printf("%lld\n", elapsed);
        std::fflush(stdout);
        // The files this process has mapped: what a cold start has to read.
        if (mapsFile_) {
            std::ifstream maps("/proc/self/maps");
            std::ofstream out(mapsFile_);
            out << maps.rdbuf();
        }
        std::_Exit(0);
    }

private:
    long long launched_;
    const char* mapsFile_;
};

}  // namespace

int main(int argc, char** argv) {
    const char* stamp = std::getenv("PEMU_LAUNCH_NS");
    if (argc < 2 || !stamp) return 2;
    // The headless platform's notices would bury the launcher's table.
    bench::QuietHeadless();
    QApplication app(argc, argv);
    plat::SetAppPathForTesting(argv[1]);
    if (Module1::Main() != 0) return 1;
    FirstPaint filter(std::atoll(stamp), argc > 2 ? argv[2] : nullptr);
    frmLogin.Window()->installEventFilter(&filter);
    frmLogin.Window()->update();
    return app.exec();
}
