// Next and Previous, the linear and adaptive steps behind Next, and the
// review list's jumps. Every step finds where it leads before it takes the
// question on screen down, so an end of the run leaves that question in place.
#include "frmExam.h"

#include "exam/examnav.h"
#include "platform/convert.h"
#include "platform/runtime.h"
#include "startup/state.h"

using namespace plat;

namespace {
const QString kQuestionsTitle = QStringLiteral("Exam Questions");
const QString kFirstTitle = QStringLiteral("Exam Questions...");
}  // namespace

struct TfrmExam::StepScope {
    explicit StepScope(TfrmExam& w) : window(w), trans(*gcnExam) { window.step_ = &trans; }
    ~StepScope() { window.step_ = nullptr; }  // not finished: rolled back
    TfrmExam& window;
    Transaction trans;
};

void TfrmExam::finishStep() {
    if (!step_) return;
    step_->Commit();
    step_ = nullptr;
}

void TfrmExam::enablePrevious() {
    if (mblnPrevOffered) m_cmdPrev->setEnabled(true);
}

// The end of the run in one direction: the message, then the button that was
// pressed is disabled; nothing else changes.
void TfrmExam::atEnd(const QString& text, const QString& title, QPushButton* pressed) {
    const int id = runId();
    finishStep();
    MsgBox(text, vbInformation, title);
    if (!stillRunning(id)) return;
    pressed->setEnabled(false);
}

void TfrmExam::showRunQuestion(const examnav::RunQuestion& q) {
    RemControls();
    mintCurQuesInd = q.index;
    DispQuestNOpts(q.qid);
}

// In an adaptive run the issue position follows the question shown when it
// was issued; a question never issued leaves the position where it was.
void TfrmExam::followIssuePosition(const examnav::RunQuestion& q) {
    if (q.order == 0) {
        mblnOffIssued = true;
        return;
    }
    mintAdapPos = q.order;
    mstrCurDiffLvl = q.level;
    mblnOffIssued = false;
}

void TfrmExam::issue(const examnav::RunQuestion& q) {
    ++mintAdapIssued;
    mintAdapPos = mintAdapIssued;
    mstrCurDiffLvl = q.level;
    adaptive::Issue(*gcnExam, q.index, mintAdapIssued);
    score_.Add(*gcnExam, q.qid, adaptive::WeightOf(q.level, weights()));
    gintAdapScore = score_.Total();
    mblnAdapFrontier = true;
}

// Leaving the newest issued question counts its weight, once.
void TfrmExam::countWeight() {
    if (!adaptiveRun() || !mblnAdapFrontier || mblnOffIssued || mintAdapPos != mintAdapIssued) return;
    mintAdapWeight = CInt(mintAdapWeight + adaptive::WeightOf(mstrCurDiffLvl, weights()));
    mblnAdapFrontier = false;
}

// ---------------------------------------------------------------- Next

void TfrmExam::cmdNext_Click() {
    const int id = runId();
    StepScope step(*this);
    if (!m_cmdPrev->isEnabled()) enablePrevious();
    saveAnswers();
    countWeight();
    if (adaptiveRun()) FetchAdapQues();
    else FetchNormQues();
    if (!stillRunning(id)) return;
    showBookMarks();
    finishStep();
}

void TfrmExam::FetchNormQues() {
    EnsureLoaded();
    const auto next = examnav::After(*gcnExam, mintCurQuesInd, gblnRevUnAns);
    if (!next) {
        if (!questionShown()) return;
        atEnd(gblnRevUnAns ? QStringLiteral("You are at the Last Unaswered Question")
                           : QStringLiteral("You are at the Last Question"),
              kQuestionsTitle, m_cmdNext);
        return;
    }
    showRunQuestion(*next);
}

void TfrmExam::FetchAdapQues() {
    EnsureLoaded();
    Database& db = *gcnExam;
    if (!questionShown()) return;

    // Over the issued questions only, never issuing: while the unanswered ones
    // are reviewed, or back from a question a review jump showed that was
    // never issued.
    if (gblnRevUnAns || mblnOffIssued) {
        const long long from = mblnOffIssued ? mintAdapPos - 1 : mintAdapPos;
        const auto next = examnav::IssuedAfter(db, from, gblnRevUnAns);
        if (!next) {
            atEnd(gblnRevUnAns ? QStringLiteral("You are at the Last Unaswered Question")
                               : QStringLiteral("You are at the Last Question"),
                  kQuestionsTitle, m_cmdNext);
            return;
        }
        showRunQuestion(*next);
        followIssuePosition(*next);
        return;
    }

    // Behind the frontier: the next question in the order of issue.
    if (mintAdapPos < mintAdapIssued) {
        const auto next = examnav::IssuedAfter(db, mintAdapPos, false);
        if (!next) return;
        showRunQuestion(*next);
        followIssuePosition(*next);
        return;
    }

    // At the frontier: the answer decides the next level, until the weights
    // counted reach the limit or no question is left.
    const bool correct = ChkAnsCor();
    if (adaptive::Stopped(mintAdapWeight, gintExamLimit)) {
        finishStep();
        MsgBox("You are at the Last Question", vbInformation, adaptive::StopTitle(mstrCurDiffLvl, correct));
        return;
    }
    const auto next = adaptive::ChooseNext(db, mstrCurDiffLvl, correct);
    if (!next) {
        finishStep();
        MsgBox("You are at the Last Question", vbInformation, "Exam Score");
        return;
    }
    showRunQuestion(*next);
    issue(*next);
}

// ---------------------------------------------------------------- Previous

void TfrmExam::cmdPrev_Click() {
    Database& db = *gcnExam;
    const int id = runId();
    StepScope step(*this);
    if (!m_cmdNext->isEnabled()) m_cmdNext->setEnabled(true);
    keepLearnMark();
    saveAnswers();
    countWeight();

    std::optional<examnav::RunQuestion> prev;
    if (adaptiveRun()) {
        const long long from = mblnOffIssued ? mintAdapPos + 1 : mintAdapPos;
        prev = examnav::IssuedBefore(db, from, gblnRevUnAns);
    } else {
        prev = examnav::Before(db, mintCurQuesInd, gblnRevUnAns);
    }
    if (prev) {
        showRunQuestion(*prev);
        if (adaptiveRun()) followIssuePosition(*prev);
    } else if (questionShown()) {
        atEnd(gblnRevUnAns ? QStringLiteral("You are at the First Unaswered Question")
                           : QStringLiteral("You are at the First Question"),
              kFirstTitle, m_cmdPrev);
    }
    if (!stillRunning(id)) return;
    showBookMarks();
    finishStep();
}

// ---------------------------------------------------------------- the review list's jumps

void TfrmExam::ShowQuestionAt(long long index) {
    if (!IsLoaded()) return;
    const auto q = examnav::At(*gcnExam, index);
    if (!q) return;
    showRunQuestion(*q);
    if (adaptiveRun()) followIssuePosition(*q);
    showBookMarks();
}

bool TfrmExam::ReviewUnanswered() {
    if (!IsLoaded()) return false;
    const auto q = examnav::FirstUnanswered(*gcnExam, adaptiveRun());
    if (!q) return false;
    showRunQuestion(*q);
    if (adaptiveRun()) followIssuePosition(*q);
    gblnRevUnAns = true;
    showBookMarks();
    return true;
}

void TfrmExam::ReviewSavedResult() {
    Load();
    if (!IsLoaded()) return;
    m_cmdEndExam->setText(QStringLiteral("Close"));
    m_cmdReview->setEnabled(false);
    Show(true);
}

bool TfrmExam::ExhibitOffered() { return IsLoaded() && m_cmdExhibit->isEnabled(); }
