// The whole road of a candidate through the real windows on a generated bank
// of 30,000 questions (QIds to 33,333, about 96,000 options, drag-and-drop rows
// and router commands): a full exam of every question from the mode window,
// the set-up window's All and Custom runs, Next and Previous, the review list,
// the grade report, the save and the reopening. Prints the time of each step
// and fails when any step stops the program or does not get where it should.
//
//   bench_large_bank_road [questions, default 30000]
#include "exam/FrmSettings.h"
#include "exam/frmExam.h"
#include "exam/frmMode.h"
#include "platform/runtime.h"
#include "results/frmGrade.h"
#include "results/frmResBrief.h"
#include "results/frmReview.h"
#include "signin/frmLogin.h"
#include "startup/state.h"
#include "support.h"
#include "support/largebank.h"

#include <QApplication>
#include <QComboBox>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

std::vector<QString> gBoxes;
bool gEnded = false;

void Fail(const std::string& why) {
    std::fprintf(stderr, "FAILED: %s\n", why.c_str());
    for (const QString& b : gBoxes) std::fprintf(stderr, "  box: %s\n", qPrintable(b));
    std::exit(1);
}

void Check(bool ok, const std::string& what) {
    if (!ok) Fail(what);
    for (const QString& b : gBoxes)
        if (b.contains(QStringLiteral("Run-time error"))) Fail(what + ": " + b.toStdString());
    if (gEnded) Fail(what + ": the program ended");
}

// Runs one step and prints its time.
void Step(const char* what, const std::function<void()>& body) {
    const auto t0 = std::chrono::steady_clock::now();
    body();
    QCoreApplication::processEvents();
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
    std::printf("%-58s %10.1f ms\n", what, ms);
    std::fflush(stdout);
}

// `inside` runs once the modal window that `open` shows is up.
void WhileModal(plat::Form& modal, const std::function<void()>& open, const std::function<void()>& inside) {
    QTimer::singleShot(0, [&] {
        inside();
        if (modal.IsModalShown()) modal.Unload();
    });
    open();
}

void SignIn() {
    frmLogin.Show();
    frmLogin.cboUname()->setEditText(QStringLiteral("cand"));
    frmLogin.cmdEnter()->click();
    Check(frmMode.Visible(), "sign-in");
}

void Moves(int next, int prev) {
    for (int i = 0; i < next; ++i) frmExam.cmdNext()->click();
    for (int i = 0; i < prev; ++i) frmExam.cmdPrev()->click();
}

}  // namespace

int main(int argc, char** argv) {
    const int questions = argc > 1 ? std::atoi(argv[1]) : 30000;
    bench::QuietHeadless();
    QApplication app(argc, argv);
    bench::ProgramFolder program([](const plat::MsgBoxCall& c) {
        gBoxes.push_back(c.text);
        return c.buttons() == plat::vbYesNo ? int(plat::vbYes) : int(plat::vbOK);
    });
    plat::SetEndHook([](int) { gEnded = true; });
    plat::Database& db = *gcnExam;

    std::printf("The road of a candidate on a bank of %d questions, through the real windows\n\n", questions);
    Step("generate the bank", [&] { largebank::ReplaceBank(db, largebank::Shape{questions}); });
    std::printf("  (largest QId %lld, largest option Index %lld)\n",
                db.Scalar("SELECT max(QId) FROM Questions").toInt(), db.Scalar("SELECT max(Index) FROM Answers").toInt());
    db.Execute("INSERT INTO User (Uname,Name,Email,Phone) VALUES ('cand','Cand Idate','NA','NA')");
    db.Execute("UPDATE AdminConfig SET Etype = 'B', Exams = 1, NofQues = ?, MaxTime = 600 where Index = 1",
               {static_cast<long long>(questions)});

    SignIn();
    Step("Full Exam: every question drawn, the first shown", [] { frmMode.Menu().examLin(2)->trigger(); });
    Check(frmExam.Visible() && frmExam.lblTot()->text() == QString::number(questions), "full exam");
    Step("Next x 50, Previous x 10", [] { Moves(50, 10); });
    Check(frmExam.mintCurQuesInd == 41, "full exam moves");
    Step("Review: the list of every question, jump to the last", [] {
        WhileModal(frmReview, [] { frmExam.cmdReview()->click(); },
                   [] { frmReview.msgReview_DblClick(frmReview.msgReview()->rowCount() - 1); });
    });
    Check(frmExam.mintCurQuesInd == questions, "review jump");
    Step("Review again, End Exam there: the grade report", [] {
        WhileModal(frmReview, [] { frmExam.cmdReview()->click(); }, [] { frmReview.cmdGrade()->click(); });
    });
    Check(frmGrade.Visible(), "grade");
    Step("Save Results", [] { frmGrade.cmdSave()->click(); });
    Check(!gBoxes.empty() && gBoxes.back() == "Result Saved", "save");
    frmGrade.cmdClose()->click();

    SignIn();
    frmMode.optLearn()->click();
    frmMode.cmdNext()->click();
    Check(FrmSettings.Visible(), "set-up window");
    Step("Set-up window, All: the run of every question", [] {
        FrmSettings.optAll()->click();
        FrmSettings.cmdNext()->click();
    });
    Check(frmExam.Visible() && frmExam.lblTot()->text() == QString::number(questions), "all");
    Step("Next x 50, Previous x 10", [] { Moves(50, 10); });
    Step("End Exam: the grade report", [] { frmExam.cmdEndExam()->click(); });
    Check(frmGrade.Visible(), "grade of all");
    Step("Save Results", [] { frmGrade.cmdSave()->click(); });
    Check(gBoxes.back() == "Result Saved", "save of all");
    frmGrade.cmdClose()->click();

    SignIn();
    frmMode.optLearn()->click();
    frmMode.cmdNext()->click();
    Step("Set-up window, Custom: 5 of every category and level", [] {
        FrmSettings.optCustom()->click();
        for (int e = 1; e <= FrmSettings.mintCmbCount; ++e) {
            QComboBox* box = FrmSettings.cmbDiffLvl()(e);
            box->setCurrentIndex(box->findText(QStringLiteral("5")));
        }
        FrmSettings.cmdNext()->click();
    });
    Check(frmExam.Visible() && frmExam.lblTot()->text() == "150", "custom");
    Step("Next x 50, Previous x 10", [] { Moves(50, 10); });
    frmExam.cmdEndExam()->click();
    frmGrade.cmdClose()->click();

    SignIn();
    frmMode.Menu().savRes->trigger();
    Check(frmResBrief.Visible() && frmResBrief.msgResults()->item(1, 0), "saved results");
    Step("Reopen the All run", [] {
        frmResBrief.msgResults()->setCurrentCell(1, 0);
        frmResBrief.msgResults_DblClick();
    });
    Check(frmGrade.Visible() && db.Scalar("SELECT count(*) FROM QuestIds").toInt() == questions, "reopen");
    Step("Review Questions read-only, Next x 50, Close", [] {
        WhileModal(frmExam, [] { frmGrade.cmdSave()->click(); }, [] {
            Moves(50, 0);
            frmExam.cmdEndExam()->click();
        });
    });
    Check(true, "review of the reopened run");
    std::printf("\nNo step stopped the program.\n");
    return 0;
}
