// The set-up window's Next with "Customize" chosen and every cell at its
// largest value, questions in order: from the click until the exam window is
// up, on the shipped bank and on generated banks of 10,000 and 30,000
// questions (the whole bank becomes the run).
//
//   bench_setup_custom [runs per bank, default 15]
#include "exam/FrmSettings.h"
#include "exam/frmExam.h"
#include "startup/state.h"
#include "support.h"

#include <QApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Replaces the shipped bank by n questions over its categories: levels and
// categories mixed, one in ten drag-and-drop, one in ten simulation, the
// others with four options.
void MakeBank(plat::Database& db, int n) {
    static const char* levels[] = {"B", "I", "E"};
    std::vector<long long> cats;
    for (plat::Recordset rs = db.OpenRecordset("SELECT Index FROM Categories ORDER BY Index"); !rs.Eof();
         rs.MoveNext())
        cats.push_back(rs.Fields(0).toInt());
    db.BeginTrans();
    for (const char* t : {"Questions", "Answers", "DragNDrop", "SimCommands", "BookMark"})
        db.Execute(std::string("DELETE * from ") + t);
    long long option = 1;
    for (int i = 0; i < n; ++i) {
        const long long qid = i + 1;
        const char* type = i % 10 == 3 ? "D" : i % 10 == 7 ? "SIM" : i % 2 ? "M" : "S";
        db.Execute("INSERT INTO Questions (QId,QName,DiffLevel,QType,CatInd,ExhibitPath,Expln) "
                   "VALUES (?,?,?,?,?,'NA','NA')",
                   {qid, "Question " + std::to_string(qid), levels[(i / 7) % 3], type,
                    cats[static_cast<size_t>(i * 7) % cats.size()]});
        if (std::string(type) == "S" || std::string(type) == "M") {
            for (int o = 0; o < 4; ++o)
                db.Execute("INSERT INTO Answers (Index,QId,Answer,CorrectAns) VALUES (?,?,?,?)",
                           {option++, qid, "Option " + std::to_string(o), o == 0 ? 1 : 0});
        }
    }
    db.CommitTrans();
}

struct Figures {
    double median = 0, worst = 0;
    long long questions = 0;
};

Figures Measure(int runs) {
    std::vector<double> ms;
    long long questions = 0;
    for (int i = 0; i < runs; ++i) {
        FrmSettings.Show();
        FrmSettings.optCustom()->click();
        FrmSettings.txtMin()->setText("60");
        QCoreApplication::processEvents();
        QElapsedTimer t;
        t.start();
        FrmSettings.cmdNext()->click();
        ms.push_back(t.nsecsElapsed() / 1e6);
        if (!frmExam.IsLoaded()) {
            std::fprintf(stderr, "the exam window did not open\n");
            std::exit(1);
        }
        questions = gcnExam->Scalar("SELECT count(*) FROM QuestIds").toInt();
        frmExam.Unload();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms.back(), questions};
}

}  // namespace

int main(int argc, char** argv) {
    bench::QuietHeadless();
    QApplication app(argc, argv);
    bench::ProgramFolder program(bench::UnexpectedBox);
    bench::SignInBenchCandidate();
    const int runs = std::max(1, argc > 1 ? std::atoi(argv[1]) : 15);

    std::printf("Set-up window Next, Customize, every cell at its largest, in order (%d runs each):\n", runs);
    std::printf("%-10s %12s %12s %12s\n", "bank", "run size", "median (ms)", "worst (ms)");
    for (int n : {0, 10000, 30000}) {
        if (n) MakeBank(*gcnExam, n);
        const Figures f = Measure(runs);
        std::printf("%-10s %12lld %12.1f %12.1f\n", n ? std::to_string(n).c_str() : "shipped", f.questions, f.median,
                    f.worst);
        std::fflush(stdout);
    }
    return 0;
}
