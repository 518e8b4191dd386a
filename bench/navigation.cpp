// Next and Previous in the exam window on a run of 1,000 questions of every
// type (single and multiple answer with four options, drag and drop, router
// simulation), from the click to the new question laid out and the window's
// events handled, on the offscreen platform: median and worst of each, for a
// linear run and for an adaptive one that issues a question at every Next.
// Next is timed twice, on a fresh run each time: leaving every question as it
// came, and with an option ticked on every single- and multiple-answer
// question before it is left, so that its answer is written (drag-and-drop
// and simulation questions are answered in their own windows, not here).
// Previous then walks back over the answered run.
// Each click commits once to the database file, so the worst click follows
// the disk's slowest flush; the 99th percentile shows the window's own cost.
//
//   bench_navigation
#include "exam/frmExam.h"
#include "platform/runtime.h"
#include "startup/module1.h"
#include "startup/state.h"
#include "runbank.h"
#include "support.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr int kQuestions = 1000;

// One click, timed until the new question is built and the events it posted
// (deferred deletes of the old one, layout requests) are handled.
double Click(QPushButton* b) {
    const auto t0 = std::chrono::steady_clock::now();
    b->click();
    QCoreApplication::processEvents();
    return bench::Ms(std::chrono::steady_clock::now() - t0);
}

void Report(const std::string& what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-28s %5zu clicks   median %6.2f ms   99th %6.2f ms   worst %6.2f ms\n", what.c_str(), ms.size(),
                ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back());
}

// The first option of the question on screen, as the candidate ticks it.
void TickOne() {
    if (frmExam.intAnsLbls < 1) return;
    if (frmExam.strQuestType == u"S") frmExam.optAnswer()(1)->click();
    else if (frmExam.strQuestType == u"M") frmExam.chkAnswer()(1)->click();
}

void Start(bool adaptive) {
    gblnExamMode = true;
    gblnAdaptive = adaptive;
    gintExamTime = 600;
    gintBeginScore = 1;
    gintIntScore = 2;
    gintExpScore = 3;
    gintExamLimit = adaptive ? 30000 : kQuestions;
    gcnExam->Execute("UPDATE QuestIds SET Attempted = 0, ExamQIdsOrder = 0");
    frmExam.Show();
    QCoreApplication::processEvents();
}

void Stop() {
    frmExam.Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool Run(bool adaptive) {
    const std::string kind = adaptive ? "adaptive" : "linear";
    std::vector<double> bare, ticked, prev;
    Start(adaptive);
    for (int i = 1; i < kQuestions; ++i) bare.push_back(Click(frmExam.cmdNext()));
    Stop();
    Start(adaptive);
    for (int i = 1; i < kQuestions; ++i) {
        TickOne();
        ticked.push_back(Click(frmExam.cmdNext()));
    }
    if (frmExam.mintCurQuesInd == 0 || gintCurQId == 0) return false;
    for (int i = 1; i < kQuestions; ++i) prev.push_back(Click(frmExam.cmdPrev()));
    Stop();
    Report(kind + ", Next", bare);
    Report(kind + ", Next with a tick", ticked);
    Report(kind + ", Previous", prev);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    bench::QuietHeadless();
    QApplication app(argc, argv);
    // The ends of the run say so; the benchmark reads on.
    bench::ProgramFolder program([](const plat::MsgBoxCall&) { return int(plat::vbOK); });
    bench::MakeRunBank(*gcnExam, kQuestions);

    std::printf("Exam window, run of %d questions of every type: click to the new question laid out\n", kQuestions);
    if (!Run(false) || !Run(true)) {
        std::fprintf(stderr, "the run did not move\n");
        return 1;
    }
    return 0;
}
