#include "frmExam.h"

#include "exam/examnav.h"
#include "exam/examrun.h"
#include "platform/convert.h"
#include "platform/runtime.h"
#include "simulator/consolefile.h"
#include "simulator/engine.h"
#include "signin/frmLogin.h"
#include "startup/adminconfig.h"
#include "startup/state.h"

using namespace plat;

TfrmExam frmExam;

namespace {

// The question and its options are set in this face, at the design size.
QFont questionFont() {
    QFont f(QStringLiteral("Book Antiqua"));
    f.setPointSizeF(TfrmExam::kDesignFontSize);
    f.setWeight(QFont::Normal);
    return f;
}

// Stored text shows as it stands: "&" and "<" are not markup or access keys.
void storedTextLabel(QLabel* l) {
    l->setTextFormat(Qt::PlainText);
    l->setWordWrap(true);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

QPushButton* button(QWidget* parent, const char* name, const QString& caption, int left, int top) {
    auto* b = new QPushButton(caption, parent);
    b->setObjectName(QString::fromLatin1(name));
    Place(b, left, top, 1815, 420);
    return b;
}

}  // namespace

// ---------------------------------------------------------------- controls

void TfrmExam::Build() {
    QWidget* b = Body();
    SetCaption("EXAM");
    SetClientSize(11895, 6915);

    auto label = [&](const char* name, const QString& text, int left, int width) {
        QLabel* l = Make<QLabel>(b, name, text);
        Place(l, left, 135, width, 300);
        return l;
    };
    m_lblQuestNo = label("lblQuestNo", "Question", 240, 900);
    m_lblQno = label("lblQno", "No", 1155, 600);
    m_lblOf = label("lblOf", "of", 1770, 300);
    m_lblTot = label("lblTot", "Tot", 2085, 600);
    m_lblQuestID = label("lblQuestID", "QID", 3240, 480);
    m_lblQId = label("lblQId", "QId", 3735, 900);
    m_lblTime = label("lblTime", "Time", 10095, 1560);
    QFont bold = m_lblTime->font();
    bold.setBold(true);
    m_lblTime->setFont(bold);
    m_lblTime->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    for (QLabel* l : {m_lblQno, m_lblTot, m_lblQId}) l->setTextFormat(Qt::PlainText);

    // The question frame; the question and its options are built inside it per question.
    m_fraQuestion = Make<QGroupBox>(b, "fraQuestion", QString());
    Place(m_fraQuestion, 240, 540, 11415, 4695);
    QWidget* f = m_fraQuestion;
    m_vsbQuestion = Make<QScrollBar>(f, "vsbQuestion", Qt::Vertical);
    // Along the frame's right edge, inside its border.
    Place(m_vsbQuestion, 11415 - 375 - 45, 45, 375, 4695 - 90);
    m_vsbQuestion->setMinimum(0);
    m_vsbQuestion->setSingleStep(240);
    m_vsbQuestion->setPageStep(2400);
    m_vsbQuestion->setVisible(false);

    auto* quest0 = new QLabel(QStringLiteral("Question"), f);
    storedTextLabel(quest0);
    quest0->setFont(questionFont());
    Place(quest0, 240, 720, 9555, 300);
    m_lblQuest.Reset("lblQuest", quest0, [](QWidget* p) {
        auto* l = new QLabel(p);
        storedTextLabel(l);
        return l;
    });
    auto* answer0 = new AnswerLabel(f);
    answer0->setText(QStringLiteral("Answer"));
    answer0->setFont(questionFont());
    Place(answer0, 665, 1200, 8915, 300);
    m_lblAnswers.Reset("lblAnswers", answer0, [](QWidget* p) { return new AnswerLabel(p); });
    auto* opt0 = new OptionButton(QString(), f);
    opt0->setFont(questionFont());
    Place(opt0, 360, 1200, 255, 255);
    m_optAnswer.Reset("optAnswer", opt0);
    auto* chk0 = new CheckBox(QString(), f);
    chk0->setFont(questionFont());
    Place(chk0, 360, 1200, 255, 255);
    m_chkAnswer.Reset("chkAnswer", chk0);
    for (QWidget* t : std::initializer_list<QWidget*>{quest0, answer0, opt0, chk0}) t->setVisible(false);

    // Both bookmark boxes stand in one place: only one shows in a run.
    m_chkBookMark = Make<CheckBox>(b, "chkBookMark", "Book Mark this Question");
    Place(m_chkBookMark, 240, 5355, 3300, 300);
    m_BookMark = Make<CheckBox>(b, "BookMark", "Book Mark this Question");
    Place(m_BookMark, 240, 5355, 3300, 300);

    m_cmdPrev = button(b, "cmdPrev", " &Previous", 240, 5775);
    m_cmdNext = button(b, "cmdNext", "&Next", 2175, 5775);
    m_cmdReview = button(b, "cmdReview", "Review", 7905, 5775);
    m_cmdEndExam = button(b, "cmdEndExam", "End E&xam", 9840, 5775);
    m_cmdShowAns = button(b, "cmdShowAns", "S&how Ans", 240, 6315);
    m_cmdPauseTim = button(b, "cmdPauseTim", " P&ause Timer", 2175, 6315);
    m_cmdFlash = button(b, "cmdFlash", " Flash Card", 4110, 6315);
    m_cmdExhibit = button(b, "cmdExhibit", " &Exhibit", 6045, 6315);
    m_cmdDND = button(b, "cmdDND", " &Drag && Drop", 7980, 6315);
    m_cmdSimulator = button(b, "cmdSimulator", " &Simulator", 9840, 6315);
    m_cmdDND->setEnabled(false);
    m_cmdSimulator->setEnabled(false);

    m_tmrExamTime = new QTimer(Window());
    m_tmrExamTime->setObjectName(QStringLiteral("tmrExamTime"));
    m_tmrExamTime->setInterval(1000);
    m_tmrExamTime->setTimerType(Qt::PreciseTimer);
    QObject::connect(m_tmrExamTime, &QTimer::timeout, Window(), [this] { Guard([this] { tmrExamTime_Timer(); }); });

    BuildMenuStrip(Menus(), StripKind::Exam, menu_);
    OnTriggered(menu_.exit, [this] { exit_Click(); });
    OnTriggered(menu_.incFont, [this] { mnuIncFont_Click(); });
    OnTriggered(menu_.decFont, [this] { mnuDecFont_Click(); });

    m_BookMark->OnClick([this] { BookMark_Click(); });
    m_chkBookMark->OnClick([this] { chkBookMark_Click(); });
    OnClicked(m_cmdNext, [this] { cmdNext_Click(); });
    OnClicked(m_cmdPrev, [this] { cmdPrev_Click(); });
    OnClicked(m_cmdReview, [this] { cmdReview_Click(); });
    OnClicked(m_cmdEndExam, [this] { cmdEndExam_Click(); });
    OnClicked(m_cmdShowAns, [this] { cmdShowAns_Click(); });
    OnClicked(m_cmdPauseTim, [this] { cmdPauseTim_Click(); });
    OnClicked(m_cmdFlash, [this] { cmdFlash_Click(); });
    OnClicked(m_cmdExhibit, [this] { cmdExhibit_Click(); });
    OnClicked(m_cmdDND, [this] { cmdDND_Click(); });
    OnClicked(m_cmdSimulator, [this] { cmdSimulator_Click(); });
    QObject::connect(m_vsbQuestion, &QScrollBar::valueChanged, Window(),
                     [this] { Guard([this] { vsbQuestion_Change(); }); });
    QObject::connect(m_vsbQuestion, &QScrollBar::sliderMoved, Window(),
                     [this] { Guard([this] { vsbQuestion_Scroll(); }); });
}

// ---------------------------------------------------------------- load

// Every member of a former run goes, so nothing here refers to a question,
// a side window or a countdown of that run.
void TfrmExam::resetRun() {
    ++runId_;
    strQuestType = QStringLiteral("UA");
    intAnsLbls = 0;
    intQuestLbls = 0;
    mintCurQuesInd = 0;
    mblnFromShAns = false;
    gintCurQId = 0;
    mintCtlTop.assign(1, TopOf(m_lblQuest(0)));
    mintAnsIndex.assign(1, 0);
    mblnSimOpen = mblnDragOpen = mblnExhibitOpen = mblnReviewOpen = mblnFlashOpen = false;
    mstrCurDiffLvl.clear();
    mintAdapWeight = 0;
    mintAdapIssued = 0;
    mintAdapPos = 0;
    mblnAdapFrontier = false;
    mblnOffIssued = false;
    score_.Clear();
    mblnPrevOffered = true;
    countdown_ = examclock::Countdown(clock_);
}

void TfrmExam::Form_Load() {
    Database& db = *gcnExam;
    resetRun();
    const int id = runId();

    m_cmdPrev->setEnabled(true);
    m_cmdReview->setEnabled(true);
    m_BookMark->setVisible(false);
    if (const std::optional<AdminConfigRow> cfg = ReadAdminConfig(db)) {
        // Previous switched off stays off for the whole run.
        mblnPrevOffered = cfg->Previous;
        if (!cfg->Previous) m_cmdPrev->setEnabled(false);
        if (!cfg->Review) m_cmdReview->setEnabled(false);
    }

    if (gblnFromResults) {
        // A finished run, looked through: no countdown and nothing written.
        if (const auto q = examnav::First(db)) {
            mintCurQuesInd = q->index;
            DispQuestNOpts(q->qid);
        }
        m_cmdPauseTim->setVisible(false);
        showBookMarks();
        return;
    }

    examrun::StartRun(db);
    if (adaptiveRun()) {
        gintAdapScore = 0;
        if (const auto q = adaptive::FirstQuestion(db)) {
            mstrCurDiffLvl = q->level;
            mintCurQuesInd = q->index;
            mblnAdapFrontier = true;
            mintAdapIssued = 1;
            mintAdapPos = 1;
            adaptive::Issue(db, q->index, mintAdapIssued);
            score_.Add(db, q->qid, adaptive::WeightOf(q->level, weights()));
            gintAdapScore = score_.Total();
            DispQuestNOpts(q->qid);
        }
    } else if (const auto q = examnav::First(db)) {
        mintCurQuesInd = q->index;
        DispQuestNOpts(q->qid);
    }
    // A new run starts with no console; the consoles of the last one stay when
    // the file cannot be written, which is said but does not stop the run.
    if (const sim::FileOutcome emptied = sim::EmptyConsoleFile(AppPath()); !emptied)
        MsgBox(emptied.problem, vbExclamation, sim::kTitle);

    if (!countdown_.Start(gintExamTime)) {
        // No time at all: the run ends before the window is shown, and the
        // candidate is back at the sign-in window. Whoever opened this window
        // finds it closed.
        MsgBox("TIME UP", vbInformation, "Exam Time");
        if (!stillRunning(id)) return;
        frmLogin.Show();
        Unload();
        return;
    }
    m_lblTime->setText(countdown_.Text());

    if (gblnExamMode) {
        m_cmdShowAns->setVisible(false);
        m_chkBookMark->setVisible(false);
        m_cmdPauseTim->setVisible(false);
        m_cmdFlash->setVisible(false);
        m_BookMark->setVisible(true);
    }
    MarkAdminMode(menu_);
    if (!gblnExamMode)
        m_chkBookMark->SetValue(examrun::MarkCount(db, examrun::Marks::Learn, gintCurQId) == 1 ? 1 : 0);
    m_tmrExamTime->start();
}

void TfrmExam::Form_Unload(bool& /*cancel*/) {
    m_tmrExamTime->stop();
    countdown_.Stop();
    // A handler still waiting in a box or side window of this run goes no further.
    ++runId_;
}

void TfrmExam::SetClockForTesting(examclock::Clock clock) {
    clock_ = clock ? std::move(clock) : examclock::SteadyClock();
}

bool TfrmExam::adaptiveRun() const { return gblnAdaptive && !gblnFromResults; }

adaptive::Weights TfrmExam::weights() const { return {gintBeginScore, gintIntScore, gintExpScore}; }

// ---------------------------------------------------------------- bookmarks

// With no question on screen the boxes write nothing: there is no question to mark.
void TfrmExam::BookMark_Click() {
    if (!questionShown()) return;
    examrun::BoxClicked(*gcnExam, examrun::Marks::Exam, gintCurQId, m_BookMark->Value() == 1);
}

void TfrmExam::chkBookMark_Click() {
    if (!questionShown()) return;
    examrun::BoxClicked(*gcnExam, examrun::Marks::Learn, gintCurQId, m_chkBookMark->Value() == 1);
}

void TfrmExam::TickLearnBookMark() {
    Load();
    if (!IsLoaded()) return;
    m_chkBookMark->SetValue(1);
}

// Both boxes show the tables' state for the question on screen.
void TfrmExam::showBookMarks() {
    Database& db = *gcnExam;
    const bool shown = questionShown();
    m_BookMark->SetValue(shown && examrun::MarkCount(db, examrun::Marks::Exam, gintCurQId) == 1 ? 1 : 0);
    m_chkBookMark->SetValue(shown && examrun::MarkCount(db, examrun::Marks::Learn, gintCurQId) == 1 ? 1 : 0);
}

// ---------------------------------------------------------------- fonts, menus

void TfrmExam::setFontSize(double delta) {
    auto grow = [delta](QWidget* w) {
        QFont f = w->font();
        f.setPointSizeF(f.pointSizeF() + delta);
        w->setFont(f);
    };
    // The templates too, so that the options of later questions take the size.
    grow(m_lblQuest(0));
    grow(m_optAnswer(0));
    grow(m_chkAnswer(0));
    grow(m_lblAnswers(0));
    for (int i = 1; i <= intQuestLbls; ++i)
        if (m_lblQuest.Exists(i)) grow(m_lblQuest(i));
    for (int i = 1; i <= intAnsLbls; ++i) {
        if (strQuestType == u"S" && m_optAnswer.Exists(i)) grow(m_optAnswer(i));
        if (strQuestType == u"M" && m_chkAnswer.Exists(i)) grow(m_chkAnswer(i));
        if (m_lblAnswers.Exists(i)) grow(m_lblAnswers(i));
    }
    // The text now takes more or less room: the rows follow it.
    if (questionShown()) layoutQuestion();
}

void TfrmExam::mnuIncFont_Click() {
    menu_.decFont->setEnabled(true);
    setFontSize(+1);
    bool atLimit = m_lblQuest(0)->font().pointSizeF() + 1 > 15;
    if (questionShown() && m_lblQuest.Exists(1)) atLimit = atLimit || m_lblQuest(1)->font().pointSizeF() + 1 > 15;
    if (atLimit) menu_.incFont->setEnabled(false);
}

void TfrmExam::mnuDecFont_Click() {
    menu_.incFont->setEnabled(true);
    setFontSize(-1);
    bool atLimit = m_lblQuest(0)->font().pointSizeF() - 1 < 11;
    if (questionShown() && m_lblQuest.Exists(1)) atLimit = atLimit || m_lblQuest(1)->font().pointSizeF() - 1 < 11;
    if (atLimit) menu_.decFont->setEnabled(false);
}

void TfrmExam::exit_Click() { EndProgram(0); }
