// Saved results at 10, 1,000 and 10,000 results kept: saving one (file written
// and flushed, row committed), the saved-results window filling its list,
// reopening the last result of the list and deleting it, each as the
// administrator, who sees every result; then reopening a result of 1,000
// answered questions, and what the database's checkpoint after a save or a
// delete costs on its own. Median and worst over repeated runs. A save's time
// includes its flushes to the disk and the database commit, so it follows the
// disk; the list, reopen and delete rows show the lookups.
//
//   bench_results
#include "results/frmResBrief.h"
#include "results/resultfile.h"
#include "results/savedresults.h"
#include "startup/state.h"
#include "runbank.h"
#include "support.h"

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr int kRepeats = 21;
const results::Viewer kAdmin{"norvi", true};

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The processor time this thread spent, which a busy machine does not
// inflate as it does the elapsed time, and which leaves out waiting for the
// disk's flushes.
double CpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

struct Sample {
    double wall = 0, cpu = 0;
};

void Report(const char* what, size_t size, std::vector<Sample> s) {
    std::vector<double> wall, cpu;
    for (const Sample& x : s) {
        wall.push_back(x.wall);
        cpu.push_back(x.cpu);
    }
    std::sort(wall.begin(), wall.end());
    std::sort(cpu.begin(), cpu.end());
    std::printf("%-34s %6zu results   median %7.2f ms   worst %7.2f ms   (processor: median %6.2f ms)\n", what,
                size, wall[wall.size() / 2], wall.back(), cpu[cpu.size() / 2]);
}

Sample Time(const std::function<void()>& f) {
    const double c0 = CpuMs();
    const auto t0 = std::chrono::steady_clock::now();
    f();
    return {Ms(std::chrono::steady_clock::now() - t0), CpuMs() - c0};
}

// A run of the shipped bank's first 40 questions, the size of an exam.
void MakeRun(plat::Database& db) {
    db.Execute("DELETE * from QuestIds");
    plat::Recordset rs = db.OpenRecordset("SELECT QId FROM Questions ORDER BY QId LIMIT 40");
    for (long long i = 1; !rs.Eof(); rs.MoveNext(), ++i)
        db.Execute("INSERT INTO QuestIds (Index,QId) VALUES (?,?)", {i, rs.Fields(0)});
}

results::SaveRequest Request(int n) {
    results::SaveRequest r;
    r.candName = "Candidate " + QString::number(n % 50);
    r.userName = "cand" + QString::number(n % 50);
    r.examName = "Practice";
    r.date = QDate(2026, 1 + n % 12, 1 + n % 28);
    r.time = QTime(n % 24, (n / 24) % 60, 0);
    r.scoreObt = 650;
    r.passScore = 700;
    r.maxScore = 1000;
    r.percentage = 65;
    r.result = "Fail";
    return r;
}

long long Count(plat::Database& db) { return db.Scalar("SELECT count(*) FROM ResultsBrief").toInt(); }

// Results added as the program leaves them, rows and files, without a save's
// flushes, so that 10,000 are in place in seconds.
void Fill(plat::Database& db, const fs::path& folder, int upTo) {
    const QByteArray text = results::RunFileText(db, false);
    plat::Transaction t(db);
    long long index = db.Scalar("SELECT max(Index) FROM ResultsBrief").toInt();
    for (long long count = Count(db); count < upTo; ++count, ++index) {
        const std::string key = "filled" + std::to_string(index + 1) + "_12726_1405";
        std::ofstream(results::ResultsFolder(folder) / (key + ".erf"), std::ios::binary)
            .write(text.constData(), text.size());
        db.Execute("INSERT INTO ResultsBrief (Index,CandidateName,UserName,ExamName,ExDate,ExTime,Score,PassScore,"
                   "MaxScore,Percentage,Result,FileName) VALUES (?,'Candidate','cand','Practice','2026-12-07',"
                   "'14:05:33',650,700,1000,65,'Fail',?)",
                   {index + 1, key});
    }
    t.Commit();
}

bool Measure(plat::Database& db, const fs::path& folder, size_t size, bool save) {
    int n = static_cast<int>(size) * 7;
    if (save) {
        std::vector<Sample> ms;
        for (int i = 0; i < kRepeats; ++i) {
            bool ok = false;
            ms.push_back(Time([&] { ok = results::SaveResult(db, folder, Request(n++)).saved; }));
            if (!ok) return false;
        }
        Report("save", size, ms);
    }

    std::vector<Sample> list, window, reopen, del;
    for (int i = 0; i < kRepeats; ++i) {
        list.push_back(Time([&] {
            results::ListedCells(db, kAdmin);
        }));
        window.push_back(Time([&] {
            frmResBrief.Show();
            QCoreApplication::processEvents();
        }));
        frmResBrief.Unload();
        const int last = static_cast<int>(Count(db));
        bool ok = false;
        reopen.push_back(Time([&] { ok = results::ReopenResult(db, folder, kAdmin, last).ok; }));
        if (!ok) return false;
        del.push_back(Time([&] {
            const results::DeleteSelection s = results::SelectForDelete(db, kAdmin, last);
            ok = s.target && results::DeleteResult(db, folder, *s.target).deleted;
        }));
        if (!ok || !results::SaveResult(db, folder, Request(n++)).saved) return false;
    }
    Report("list (cells of every row)", size, list);
    Report("list window shown", size, window);
    Report("reopen the last", size, reopen);
    Report("delete the last (find and delete)", size, del);
    return true;
}

// A result of 1,000 questions of every type, every one answered, saved once
// and reopened again and again; then the checkpoint that follows a save, timed
// alone after a commit like a save's.
bool MeasureLarge(plat::Database& db, const fs::path& folder) {
    bench::MakeRunBank(db, 1000);
    for (long long q = 1; q <= 1000; ++q) bench::Answer(db, q);
    const results::SaveOutcome saved = results::SaveResult(db, folder, Request(1));
    if (!saved.saved) return false;
    const int row = static_cast<int>(Count(db));
    std::vector<Sample> reopen, checkpoint;
    for (int i = 0; i < kRepeats; ++i) {
        bool ok = false;
        reopen.push_back(Time([&] { ok = results::ReopenResult(db, folder, kAdmin, row).ok; }));
        if (!ok) return false;
        db.Execute("UPDATE ResultsBrief SET Score = ? where Index = ?", {650 + i, saved.index});
        checkpoint.push_back(Time([&] { db.Checkpoint(); }));
    }
    Report("reopen 1,000 answered questions", static_cast<size_t>(row), reopen);
    Report("checkpoint after a commit", static_cast<size_t>(row), checkpoint);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    bench::QuietHeadless();
    QApplication app(argc, argv);
    bench::ProgramFolder program([](const plat::MsgBoxCall&) { return int(plat::vbOK); });
    fs::create_directories(results::ResultsFolder(program.dir()));
    MakeRun(*gcnExam);
    gstrUserName = "norvi";
    gblnAdminSignedIn = true;

    std::printf("Saved results, a run of 40 questions, as the administrator\n");
    for (int size : {10, 1000, 10000}) {
        Fill(*gcnExam, program.dir(), size);
        if (!Measure(*gcnExam, program.dir(), static_cast<size_t>(Count(*gcnExam)), size != 1000)) {
            std::fprintf(stderr, "a step failed at %d results\n", size);
            return 1;
        }
    }
    if (!MeasureLarge(*gcnExam, program.dir())) {
        std::fprintf(stderr, "the result of 1,000 questions failed\n");
        return 1;
    }
    return 0;
}
