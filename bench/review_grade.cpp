// The windows at the end of a run, as the candidate waits for them, on runs of
// 250, 1,000 and 4,000 questions of every type, half of them answered and some
// bookmarked, on the offscreen platform:
//   - the review list: the exam window's Review click to the list's first paint;
//   - the grade report: End Exam's click (its question answered Yes) to the
//     report's first paint, every question of the run judged;
//   - the saved result file's text for the run (what the save writes);
//   - Next while reviewing unanswered questions, at 1,000 questions, with only
//     the first, the middle and the last question unanswered, so that each
//     Next passes ~500 answered ones, and the last finds none after it.
// Median and worst over repeated runs.
//
//   bench_review_grade [runs, default 10] [sizes..., default 250 1000 4000]
#include "exam/frmExam.h"
#include "platform/runtime.h"
#include "results/frmGrade.h"
#include "results/frmReview.h"
#include "results/resultfile.h"
#include "results/reviewlist.h"
#include "results/scoring.h"
#include "runbank.h"
#include "startup/module1.h"
#include "startup/state.h"
#include "support.h"

#include <QApplication>
#include <QPushButton>
#include <QTimer>

#include <cstdlib>

namespace {

using Clock = std::chrono::steady_clock;

QWidget* ReviewWindow() { return frmReview.IsLoaded() ? frmReview.Window() : nullptr; }
QWidget* GradeWindow() { return frmGrade.IsLoaded() ? frmGrade.Window() : nullptr; }

// A linear exam over the whole run, its window up at the first question.
void StartExam(int n) {
    gblnExamMode = true;
    gblnAdaptive = false;
    gblnFromResults = false;
    gintExamTime = 600;
    gintExamLimit = static_cast<int16_t>(n);
    gintAdapScore = 0;
    frmExam.Show();
    QCoreApplication::processEvents();
}

// Every other question answered; every tenth bookmarked for the exam.
void AnswerHalf(plat::Database& db, int n) {
    plat::Transaction t(db);
    for (long long q = 1; q <= n; ++q) {
        if (q % 2 == 0) bench::Answer(db, q);
        if (q % 10 == 0) db.Execute("INSERT INTO BookMarkExam (QId) VALUES (?)", {q});
    }
    t.Commit();
}

// Deletes what closed windows left. Events are not run here: with no window
// loaded, the program's end check would end it.
void Settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

std::vector<double> ReviewList(int n, int runs) {
    std::vector<double> ms;
    StartExam(n);
    AnswerHalf(*gcnExam, n);
    bench::FirstPaint paint(ReviewWindow);
    for (int i = 0; i < runs; ++i) {
        paint.Arm();
        // Closed as soon as it has painted; the click returns when it closes.
        QTimer poll;
        int rows = 0;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            if (!paint.Painted() || !frmReview.IsModalShown()) return;
            rows = frmReview.msgReview()->rowCount();
            frmReview.Unload();
        });
        poll.start(1);
        const Clock::time_point t0 = Clock::now();
        frmExam.cmdReview()->click();
        poll.stop();
        if (!paint.Painted() || rows != n) {
            std::fprintf(stderr, "the review list did not paint its %d rows\n", n);
            std::exit(1);
        }
        ms.push_back(bench::Ms(paint.At() - t0));
        Settle();
    }
    frmExam.Unload();
    Settle();
    return ms;
}

std::vector<double> GradeReport(int n, int runs) {
    std::vector<double> ms;
    bench::FirstPaint paint(GradeWindow);
    for (int i = 0; i < runs; ++i) {
        StartExam(n);  // a fresh run empties the answers
        AnswerHalf(*gcnExam, n);
        paint.Arm();
        const Clock::time_point t0 = Clock::now();
        frmExam.cmdEndExam()->click();
        for (int wait = 0; !paint.Painted(); ++wait) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
            if (wait > 2000) {
                std::fprintf(stderr, "the grade report did not paint (exam window %s, report %s)\n",
                             frmExam.IsLoaded() ? "open" : "closed", frmGrade.IsLoaded() ? "open" : "closed");
                std::exit(1);
            }
        }
        ms.push_back(bench::Ms(paint.At() - t0));
        frmGrade.Unload();
        Settle();
    }
    return ms;
}

// What the two windows read, on the answers the last grade report's run left:
// the review list's rows and the grade report's judging.
std::vector<double> Reading(bool review, int runs) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const Clock::time_point t0 = Clock::now();
        const size_t rows = review ? results::ReviewRows(*gcnExam, true, false).size()
                                   : scoring::JudgeRun(*gcnExam).categories.size();
        ms.push_back(bench::Ms(Clock::now() - t0));
        if (rows == 0) std::exit(1);
    }
    return ms;
}

// On the answers the last grade report's run left.
std::vector<double> FileText(int runs) {
    std::vector<double> ms;
    for (int i = 0; i < runs; ++i) {
        const Clock::time_point t0 = Clock::now();
        const QByteArray text = results::RunFileText(*gcnExam, false);
        ms.push_back(bench::Ms(Clock::now() - t0));
        if (text.isEmpty()) std::exit(1);
    }
    return ms;
}

// Each pass starts at the first unanswered question and goes Next until the
// last unanswered one says so.
std::vector<double> ReviewUnansweredNext(int n, int runs) {
    std::vector<double> ms;
    StartExam(n);
    {
        plat::Transaction t(*gcnExam);
        for (long long q = 1; q <= n; ++q)
            if (q != 1 && q != n / 2 && q != n) bench::Answer(*gcnExam, q);
        t.Commit();
    }
    for (int i = 0; i < runs; ++i) {
        frmExam.cmdNext()->setEnabled(true);
        if (!frmExam.ReviewUnanswered()) std::exit(1);
        while (frmExam.cmdNext()->isEnabled()) {
            const Clock::time_point t0 = Clock::now();
            frmExam.cmdNext()->click();
            QCoreApplication::processEvents();
            ms.push_back(bench::Ms(Clock::now() - t0));
        }
    }
    gblnRevUnAns = false;
    frmExam.Unload();
    Settle();
    return ms;
}

}  // namespace

int main(int argc, char** argv) {
    bench::QuietHeadless();
    QApplication app(argc, argv);
    // End Exam's question is answered Yes; the ends of the run say so and the
    // benchmark reads on.
    bench::ProgramFolder program([](const plat::MsgBoxCall&) { return int(plat::vbYes); });
    bench::SignInBenchCandidate();
    gstrExamName = "Exam1";
    gvarExamDate = QDate::currentDate();
    gvarExamTime = QTime::currentTime();
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    std::vector<int> sizes;
    for (int arg = 2; arg < argc; ++arg) sizes.push_back(std::atoi(argv[arg]));
    if (sizes.empty()) sizes = {250, 1000, 4000};

    for (int n : sizes) {
        bench::MakeRunBank(*gcnExam, n);
        std::printf("Run of %d questions:\n", n);
        const std::vector<double> review = ReviewList(n, runs), grade = GradeReport(n, runs);
        bench::Report("  review list, click to paint", review);
        bench::Report("    of which reading its rows", Reading(true, runs));
        bench::Report("  grade report, click to paint", grade);
        bench::Report("    of which judging the run", Reading(false, runs));
        bench::Report("  result file's text", FileText(runs));
        if (n == 1000) bench::Report("  review-unanswered Next", ReviewUnansweredNext(n, std::max(1, runs / 5)));
    }
    return 0;
}
