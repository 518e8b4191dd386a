// The mode window's Next for an exam, as the candidate waits for it: from the
// click to the exam window's first paint, the selection of a numbered exam's
// questions and the progress bar included, on the shipped database.
//
//   bench_mode_next [runs, default 50]      (QT_QPA_PLATFORM=xcb to paint under X)
#include "exam/frmExam.h"
#include "exam/frmMode.h"
#include "platform/runtime.h"
#include "startup/module1.h"
#include "support.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

class PaintWatch : public QObject {
public:
    bool painted = false;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) painted = true;
        return false;
    }
};

}  // namespace

int main(int argc, char** argv) {
    bench::QuietHeadless();
    QApplication app(argc, argv);
    bench::ProgramFolder program(bench::UnexpectedBox);
    bench::SignInBenchCandidate();

    const int runs = argc > 1 ? std::atoi(argv[1]) : 50;
    std::vector<double> ms, handler;
    for (int i = 0; i < runs; ++i) {
        frmMode.ShowAfterSignIn(false);
        frmMode.optExam()->SetValue(true);
        frmMode.optLinear()->SetValue(true);
        frmMode.optExamNum()(2)->SetValue(true);
        QCoreApplication::processEvents();
        PaintWatch watch;
        QElapsedTimer t;
        t.start();
        frmMode.cmdNext()->click();
        handler.push_back(t.nsecsElapsed() / 1e6);
        if (!frmExam.IsLoaded()) {
            std::fprintf(stderr, "the exam window did not open\n");
            return 1;
        }
        frmExam.Window()->installEventFilter(&watch);
        while (!watch.painted) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        ms.push_back(t.nsecsElapsed() / 1e6);
        frmExam.Window()->removeEventFilter(&watch);
        frmExam.Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::sort(ms.begin(), ms.end());
    std::sort(handler.begin(), handler.end());
    std::printf("Mode window Next for Exam2 (40 questions) to the exam window's first paint, %d runs:\n"
                "median %.2f ms, min %.2f ms, max %.2f ms (of which the click's handler: median %.2f ms, max %.2f ms)\n",
                runs, ms[ms.size() / 2], ms.front(), ms.back(), handler[handler.size() / 2], handler.back());
    return 0;
}
