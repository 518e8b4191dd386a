// Next and Previous in the exam window on a run of 1,000 questions of every
// type (single and multiple answer with four options, drag and drop, router
// simulation), from the click to the new question laid out and the window's
// events handled, on the offscreen platform: median and worst of each, for a
// linear run and for an adaptive one that issues a question at every Next.
// Each click commits once to the database file, so the worst click follows
// the disk's slowest flush; the 99th percentile shows the window's own cost.
//
//   bench_navigation
#include "exam/frmExam.h"
#include "platform/runtime.h"
#include "startup/module1.h"
#include "startup/state.h"
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

// The bank: 1,000 questions; every fourth of each type in turn, levels mixed,
// texts of a few sentences as in the shipped bank.
void MakeBank(plat::Database& db) {
    static const char* types[] = {"S", "M", "D", "SIM"};
    static const char* levels[] = {"B", "I", "E"};
    plat::Transaction t(db);
    db.Execute("DELETE * from Questions");
    db.Execute("DELETE * from Answers");
    db.Execute("DELETE * from QuestIds");
    db.Execute("DELETE * from AnsIds");
    long long option = 1, ansId = 1;
    const std::string text =
        "Refer to the exhibit. A router receives a packet for a destination that matches two routes in its "
        "table. Which route does it use, and why does the administrative distance not decide here?";
    for (int i = 0; i < kQuestions; ++i) {
        const long long qid = i + 1;
        const std::string type = types[i % 4];
        const std::string level = levels[(i / 4) % 3];
        db.Execute("INSERT INTO Questions (QId,QName,DiffLevel,QType,CatInd,ExhibitPath,Expln) "
                   "VALUES (?,?,?,?,1,'NA','An explanation.')",
                   {qid, text + " (" + std::to_string(qid) + ")", level, type});
        db.Execute("INSERT INTO QuestIds (Index,QId,DiffLvl) VALUES (?,?,?)", {qid, qid, level});
        if (type != "S" && type != "M") continue;
        for (int o = 0; o < 4; ++o) {
            db.Execute("INSERT INTO Answers (Index,QId,Answer,CorrectAns) VALUES (?,?,?,?)",
                       {option, qid, "The route with the longest matching prefix, option " + std::to_string(o),
                        o < (type == "M" ? 2 : 1) ? 1 : 0});
            db.Execute("INSERT INTO AnsIds (Index,AnsId,Qid) VALUES (?,?,?)", {ansId++, option++, qid});
        }
    }
    t.Commit();
}

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// One click, timed until the new question is built and the events it posted
// (deferred deletes of the old one, layout requests) are handled.
double Click(QPushButton* b) {
    const auto t0 = std::chrono::steady_clock::now();
    b->click();
    QCoreApplication::processEvents();
    return Ms(std::chrono::steady_clock::now() - t0);
}

void Report(const char* what, std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    std::printf("%-20s %5zu clicks   median %6.2f ms   99th %6.2f ms   worst %6.2f ms\n", what, ms.size(),
                ms[ms.size() / 2], ms[ms.size() * 99 / 100], ms.back());
}

bool Run(bool adaptive) {
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
    std::vector<double> next, prev;
    for (int i = 1; i < kQuestions; ++i) next.push_back(Click(frmExam.cmdNext()));
    if (frmExam.mintCurQuesInd == 0 || gintCurQId == 0) return false;
    for (int i = 1; i < kQuestions; ++i) prev.push_back(Click(frmExam.cmdPrev()));
    const char* kind = adaptive ? "adaptive" : "linear";
    Report((std::string(kind) + ", Next").c_str(), next);
    Report((std::string(kind) + ", Previous").c_str(), prev);
    frmExam.Unload();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    bench::QuietHeadless();
    QApplication app(argc, argv);
    // The ends of the run say so; the benchmark reads on.
    bench::ProgramFolder program([](const plat::MsgBoxCall&) { return int(plat::vbOK); });
    MakeBank(*gcnExam);

    std::printf("Exam window, run of %d questions of every type: click to the new question laid out\n", kQuestions);
    if (!Run(false) || !Run(true)) {
        std::fprintf(stderr, "the run did not move\n");
        return 1;
    }
    return 0;
}
