// Question selection on generated banks of 1,000, 10,000 and 30,000 questions:
// the selection as built (draws in memory, one transaction) beside a literal
// reference that draws one value at a time and asks the database with one count
// per draw, writing one row per statement, as the selection was first described.
// The reference runs twice: each statement committed on its own (as the literal
// algorithm runs), and all of it inside one transaction, which shows how much of
// the difference is disk flushes and how much is the algorithm.
//
//   bench_selection [seconds per reference case, default 20; 0 skips the reference]
#include "exam/selection.h"
#include "platform/database.h"
#include "support/largebank.h"

#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using plat::Database;
using plat::Value;

namespace {

using largebank::kCategories;

// A bank of n questions: QIds with a gap after every ninth, levels and
// categories mixed, one in ten drag-and-drop, one in ten simulation, the others
// with four options.
void MakeBank(Database& db, int n) { largebank::MakeBank(db, largebank::Shape{n}); }

void EmptyRun(Database& db) {
    db.Execute("DELETE * from QuestIds");
    db.Execute("DELETE * from AnsIds");
}

// ---------------------------------------------------------------- literal reference

class Literal {
public:
    explicit Literal(Database& db) : db_(db), rng_(12345) {}

    // r uniform in [0, 1), x = r * (hi - lo + 1) + lo in single precision, rounded down.
    long long Draw(long long lo, long long hi) {
        float r = std::uniform_real_distribution<float>(0.0f, 1.0f)(rng_);
        if (r >= 1.0f) r = std::nextafter(1.0f, 0.0f);
        return static_cast<long long>(std::floor(r * static_cast<float>(hi - lo + 1) + static_cast<float>(lo)));
    }

    long long Count(const std::string& sql, std::initializer_list<Value> params) {
        return db_.OpenRecordset(sql, params).Fields(0).toInt();
    }

    long long NextIndex(const std::string& sql) {
        plat::Recordset rs = db_.OpenRecordset(sql);
        if (rs.Eof()) return 1;
        rs.MoveLast();
        return rs.Fields(0).toInt() + 1;
    }

    void FetchQuest(const std::string& t, int max, bool randAns, int start, bool examMode, bool& full) {
        plat::Recordset rs = db_.OpenRecordset("SELECT QId FROM " + t + " Order By QId ");
        rs.MoveFirst();
        rs.Move(start - 1);
        const long long lo = rs.Fields(0).toInt();
        if (full) {
            rs.MoveLast();
            full = false;
        } else {
            rs.Move(max - 1);
        }
        const long long hi = rs.Fields(0).toInt();
        rs.Close();
        int count = 0;
        do {
            const long long x = Draw(lo, hi);
            if (Count("SELECT Count (*) FROM " + t + " where QId = ? ", {x}) == 0) continue;
            if (Count("SELECT Count (*) FROM QuestIds where QId = ? ", {x}) != 0) continue;
            const long long i = NextIndex("SELECT Index FROM QuestIds order by Index ");
            if (examMode) {
                const std::string d =
                    db_.OpenRecordset("SELECT DiffLevel FROM " + t + " where QId = ? ", {x}).Fields(0).toString();
                db_.Execute("INSERT INTO QuestIds (Index,QId,DiffLvl) VALUES (?,?,?)", {i, x, d});
            } else {
                db_.Execute("INSERT INTO QuestIds (Index,QId) VALUES (?,?)", {i, x});
            }
            ++count;
        } while (count < max);
        RandAns(randAns);
    }

    void FetchCustQuest(const std::vector<std::string>& cats, const std::vector<int>& cells, bool randAns) {
        static const char* letters[] = {"B", "I", "E"};
        plat::Recordset rs = db_.OpenRecordset("SELECT QId FROM Questions Order By QId ");
        const long long lo = rs.Fields(0).toInt();
        rs.MoveLast();
        const long long hi = rs.Fields(0).toInt();
        rs.Close();
        size_t cell = 0;
        while (cell < cells.size() && cells[cell] == 0) ++cell;
        db_.Execute("CREATE TABLE TempRandTble (QIndex NUMBER,RandQId NUMBER)");
        int count = 0;
        while (cell < cells.size()) {
            const long long x = Draw(lo, hi);
            if (Count("SELECT  Count (Questions.QId)  FROM Categories INNER JOIN Questions ON Categories.Index = "
                      "Questions.CatInd WHERE (((Questions.QId)=?) AND ((Categories.CatName)=?) AND "
                      "((Questions.DiffLevel)=?))",
                      {x, cats[cell / 3], letters[cell % 3]}) != 0 &&
                Count("SELECT Count (*) FROM TempRandTble where RandQId = ? ", {x}) == 0) {
                const long long q = NextIndex("SELECT QIndex FROM TempRandTble order by QIndex ");
                db_.Execute("INSERT INTO TempRandTble (QIndex,RandQId) VALUES (?,?)", {q, x});
                ++count;
            }
            if (cells[cell] > count) continue;
            ++cell;
            while (cell < cells.size() && cells[cell] == 0) ++cell;
            count = 0;
        }
        const long long n = Count("SELECT count (*) FROM TempRandTble", {});
        count = 0;
        do {
            const long long q = Draw(1, n);
            const long long rq =
                db_.OpenRecordset("SELECT RandQId FROM TempRandTble where QIndex = ? ", {q}).Fields(0).toInt();
            if (Count("SELECT Count (*) FROM QuestIds where QId = ? ", {rq}) != 0) continue;
            const long long i = NextIndex("SELECT Index FROM QuestIds order by Index ");
            db_.Execute("INSERT INTO QuestIds (Index,QId) VALUES (?,?)", {i, rq});
            ++count;
        } while (count < n);
        db_.Execute("DROP TABLE TempRandTble ");
        RandAns(randAns);
    }

    void RandAns(bool randAns) {
        plat::Recordset run = db_.OpenRecordset("SELECT QId FROM QuestIds order by Index ");
        long long i = 0;
        for (; !run.Eof(); run.MoveNext()) {
            const long long q = run.Fields(0).toInt();
            plat::Recordset opts = db_.OpenRecordset("SELECT Index FROM Answers where QId = ? order by Index  ", {q});
            if (!randAns) {
                for (; !opts.Eof(); opts.MoveNext())
                    db_.Execute("INSERT INTO AnsIds (Index,AnsId,Qid) VALUES (?,?,?)", {++i, opts.Fields(0), q});
                continue;
            }
            if (opts.Eof()) continue;
            const long long lo = opts.Fields(0).toInt();
            opts.MoveLast();
            const long long hi = opts.Fields(0).toInt();
            const long long n = opts.RecordCount();
            long long count = 0;
            do {
                const long long x = Draw(lo, hi);
                if (Count("SELECT Count (*) FROM Answers where Index = ? and QId = ? ", {x, q}) == 0) continue;
                if (Count("SELECT Count (*) FROM AnsIds where AnsId = ? ", {x}) != 0) continue;
                const long long idx = NextIndex("SELECT Index FROM AnsIds order by Index ");
                db_.Execute("INSERT INTO AnsIds (Index,AnsId,Qid) VALUES (?,?,?)", {idx, x, q});
                ++count;
            } while (count < n);
        }
    }

private:
    Database& db_;
    std::mt19937 rng_;
};

// ---------------------------------------------------------------- timing

double Ms(std::chrono::steady_clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

struct Timing {
    double median = 0;
    int reps = 0;
};

// Runs `prepare` (untimed) and `body` (timed) up to maxReps times, or until the
// time budget is spent after at least one run; returns the median.
Timing Measure(const std::function<void()>& prepare, const std::function<void()>& body, int maxReps,
               double budgetMs) {
    std::vector<double> ms;
    double spent = 0;
    while (static_cast<int>(ms.size()) < maxReps && (ms.empty() || spent < budgetMs)) {
        prepare();
        const auto t0 = std::chrono::steady_clock::now();
        body();
        const double t = Ms(std::chrono::steady_clock::now() - t0);
        ms.push_back(t);
        spent += t;
    }
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], static_cast<int>(ms.size())};
}

void Require(const selection::Outcome& o) {
    if (!o) {
        std::fprintf(stderr, "selection refused: %s\n", o.problem.c_str());
        std::exit(1);
    }
}

long long RunRows(Database& db) { return db.Scalar("SELECT count(*) FROM QuestIds").toInt(); }

}  // namespace

int main(int argc, char** argv) {
    const double referenceBudgetMs = (argc > 1 ? std::atof(argv[1]) : 20.0) * 1000.0;
    QTemporaryDir dir;
    std::ifstream schemaFile(std::string(PEMU_DATA_DIR) + "/schema.sql");
    std::stringstream schema;
    schema << schemaFile.rdbuf();

    std::printf("Question selection: as built (in memory, one transaction) beside the literal reference\n"
                "(one SQL count per draw, one statement per row), each statement committed on its own (ref)\n"
                "and inside one transaction (ref 1 tx).\n"
                "Medians; the reference repeats until %.0f s are spent (at least once, at most 5 times),\n"
                "the selection as built 25 times. The reference draws from one generator seeded once: re-seeded\n"
                "from a coarse clock before every draw, as first described, it repeats values and may not end.\n\n",
                referenceBudgetMs / 1000.0);
    std::printf("%-7s %-44s %11s %11s %11s %10s %8s %9s\n", "bank", "case", "built (ms)", "ref (ms)",
                "ref 1 tx", "reps", "ratio", "ratio 1tx");

    for (int n : {1000, 10000, 30000}) {
        const std::string file = (dir.path() + "/bank" + QString::number(n) + ".db").toStdString();
        Database db = Database::Create(file);
        db.ExecScript(schema.str());
        MakeBank(db, n);
        selection::Rng rng(2024);
        Literal literal(db);

        auto row = [&](const std::string& label, const std::function<void()>& prepare,
                       const std::function<void()>& built, const std::function<void()>& reference,
                       long long expectRows) {
            const Timing b = Measure(prepare, built, 25, 1e18);
            if (RunRows(db) != expectRows) {
                std::fprintf(stderr, "%s: %lld rows, expected %lld\n", label.c_str(), RunRows(db), expectRows);
                std::exit(1);
            }
            if (referenceBudgetMs <= 0) {
                std::printf("%-7d %-44s %11.2f %11s %11s %4d/%-5s %8s %9s\n", n, label.c_str(), b.median, "-", "-",
                            b.reps, "0", "-", "-");
                return;
            }
            auto checked = [&](const char* what) {
                if (RunRows(db) != expectRows) {
                    std::fprintf(stderr, "%s (%s): %lld rows, expected %lld\n", label.c_str(), what, RunRows(db),
                                 expectRows);
                    std::exit(1);
                }
            };
            const Timing r = Measure(prepare, reference, 5, referenceBudgetMs);
            checked("reference");
            const Timing t = Measure(prepare,
                                     [&] {
                                         db.BeginTrans();
                                         reference();
                                         db.CommitTrans();
                                     },
                                     5, referenceBudgetMs);
            checked("reference in one transaction");
            std::printf("%-7d %-44s %11.2f %11.1f %11.1f %4d/%-5d %7.0fx %8.0fx\n", n, label.c_str(), b.median,
                        r.median, t.median, b.reps, r.reps, r.median / b.median, t.median / b.median);
            std::fflush(stdout);
        };
        auto empty = [&] { EmptyRun(db); };

        for (int count : {25, 100, 1000}) {
            // The second numbered exam of `count` questions (the first when the bank
            // holds no second block).
            const int start = n >= 2 * count ? count + 1 : 1;
            bool full = false;
            row("FetchQuest random " + std::to_string(count) + " from position " + std::to_string(start), empty,
                [&] {
                    Require(selection::FetchQuest(db, "Questions", count, true, false, start, true, full, rng));
                },
                [&] { literal.FetchQuest("Questions", count, false, start, true, full); }, count);
        }
        if (n >= 10000) {
            bool full = true;
            row("Full Exam: 1000 from the whole bank", [&] { EmptyRun(db); full = true; },
                [&] { Require(selection::FetchQuest(db, "Questions", 1000, true, false, 1, true, full, rng)); },
                [&] { literal.FetchQuest("Questions", 1000, false, 1, true, full); }, 1000);
        }

        // Custom at random: 4 beginner, 3 intermediate and 3 expert questions of
        // each category (100 in all).
        std::vector<std::string> cats;
        std::vector<int> cells;
        for (int c = 1; c <= kCategories; ++c) {
            cats.push_back("Category " + std::to_string(c));
            cells.insert(cells.end(), {4, 3, 3});
        }
        row("FetchCustQuest random 100 (10 categories)", empty,
            [&] {
                selection::CustomGrid grid{cats, cells, {}};
                Require(selection::FetchCustQuest(db, grid, true, true, rng));
            },
            [&] { literal.FetchCustQuest(cats, cells, true); }, 100);

        // Shuffling the options of a run of 1,000 questions (the whole bank of 1,000).
        const int runSize = 1000;
        auto fillRun = [&] {
            EmptyRun(db);
            bool full = false;
            Require(selection::FetchQuest(db, "Questions", runSize, false, false, 1, false, full, rng));
            db.Execute("DELETE * from AnsIds");
        };
        row("RandAns shuffled, run of 1000 questions", fillRun,
            [&] { Require(selection::RandAns(db, true, rng)); }, [&] { literal.RandAns(true); }, runSize);
    }
    return 0;
}
