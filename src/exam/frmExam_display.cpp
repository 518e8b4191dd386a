// The question on screen: building it, taking it down, laying it out,
// scrolling, the answer-text click, the save step and Show Answer's colours.
#include "frmExam.h"

#include "exam/answers.h"
#include "exam/examnav.h"
#include "exam/examrun.h"
#include "platform/runtime.h"
#include "startup/state.h"

#include <QMouseEvent>
#include <QPalette>

#include <algorithm>

using namespace plat;

namespace {

// Twips of the layout, relative to the question frame.
constexpr int kQuestionWidthCut = 1860;  // the question label is the frame's width less this
constexpr int kAnswerWidthCut = 2500;    // an option's text likewise
constexpr int kRowGap = 100;             // between a text and the row below it
constexpr int kTextAfterButton = 50;     // between a row's button and its text

// A word-wrapping label is as tall as its text at its width.
int fitHeightTwips(QLabel* l) { return Twips(std::max(l->heightForWidth(l->width()), 1)); }

const QColor kCorrectColour(0xC0, 0xFF, 0xC0);

}  // namespace

AnswerLabel::AnswerLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void AnswerLabel::mouseReleaseEvent(QMouseEvent* e) {
    QLabel::mouseReleaseEvent(e);
    if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint()) && click_) Guard(click_);
}

// ---------------------------------------------------------------- building

void TfrmExam::DispQuestNOpts(long long intCurQId) {
    EnsureLoaded();
    Database& db = *gcnExam;
    strQuestType = QStringLiteral("UA");
    intAnsLbls = 0;
    intQuestLbls = 0;
    mintCtlTop.assign(1, TopOf(m_lblQuest(0)));
    mintAnsIndex.assign(1, 0);
    m_cmdSimulator->setEnabled(false);
    m_cmdDND->setEnabled(false);

    const examrun::Question q = examrun::LoadQuestion(db, intCurQId);

    intQuestLbls = 1;
    QLabel* text = m_lblQuest.Load(1);
    if (gblnFromResults) text->setEnabled(false);
    text->setText(q.name);
    text->setVisible(true);

    m_cmdExhibit->setEnabled(q.found && q.exhibitPath != u"NA");
    strQuestType = q.type;
    gintCurQId = intCurQId;

    if (q.type == u"SIM") {
        m_cmdSimulator->setEnabled(true);
    } else if (q.type == u"D") {
        m_cmdDND->setEnabled(true);
    } else if (q.type == u"S" || q.type == u"M") {
        const bool single = q.type == u"S";
        for (const examrun::Option& o : q.options) {
            const int k = intAnsLbls + 1;
            QAbstractButton* b = single ? static_cast<QAbstractButton*>(m_optAnswer.Load(k))
                                        : static_cast<QAbstractButton*>(m_chkAnswer.Load(k));
            if (gblnFromResults) b->setEnabled(false);
            b->setVisible(true);
            intAnsLbls = k;
            AnswerLabel* l = m_lblAnswers.Load(k);
            if (gblnFromResults) l->setEnabled(false);
            l->setVisible(true);
            l->setText(o.text);
            l->OnClick([this, k] { lblAnswers_Click(k); });
            mintAnsIndex.push_back(o.index);
            if (o.chosen) {
                if (single) m_optAnswer(k)->SetValue(true);
                else m_chkAnswer(k)->SetValue(1);
            }
        }
    }

    // The flash card is offered for a question that explains itself.
    if (!gblnExamMode) m_cmdFlash->setVisible(q.found && q.expln != u"NA");

    layoutQuestion();
    for (QWidget* t : std::initializer_list<QWidget*>{m_lblQuest(0), m_lblAnswers(0), m_chkAnswer(0), m_optAnswer(0)})
        t->setVisible(false);
    m_lblQId->setText(QString::number(gintCurQId));
    m_lblQno->setText(q.runIndex ? QString::number(q.runIndex) : QString());
    m_lblTot->setText(QString::number(q.runSize));
}

// The question's text, then each option's button and text below it, every
// text as tall as it needs at its width; the scroll bar when they overflow
// the frame. A new question starts scrolled to its top.
void TfrmExam::layoutQuestion() {
    if (!questionShown()) return;
    if (m_vsbQuestion->value() != 0) m_vsbQuestion->setValue(0);
    const int frameWidth = Twips(m_fraQuestion->width());
    QLabel* t0 = m_lblQuest(0);

    mintCtlTop.assign(1, TopOf(t0));
    QLabel* text = m_lblQuest(1);
    Place(text, LeftOf(t0), TopOf(t0), frameWidth - kQuestionWidthCut, 300);
    const int textHeight = fitHeightTwips(text);
    Place(text, LeftOf(t0), TopOf(t0), frameWidth - kQuestionWidthCut, textHeight);
    mintCtlTop.push_back(TopOf(t0));

    int bottom = TopOf(t0) + textHeight;
    const int questionBottom = bottom;
    QAbstractButton* b0 = strQuestType == u"S" ? static_cast<QAbstractButton*>(m_optAnswer(0))
                                               : static_cast<QAbstractButton*>(m_chkAnswer(0));
    for (int k = 1; k <= intAnsLbls; ++k) {
        QAbstractButton* b = strQuestType == u"S" ? static_cast<QAbstractButton*>(m_optAnswer(k))
                                                  : static_cast<QAbstractButton*>(m_chkAnswer(k));
        const int top = bottom + kRowGap;
        Place(b, LeftOf(b0), top, Twips(b0->width()), Twips(b0->height()));
        AnswerLabel* l = m_lblAnswers(k);
        const int left = LeftOf(b0) + Twips(b0->width()) + kTextAfterButton;
        Place(l, left, top, frameWidth - kAnswerWidthCut, 300);
        const int h = fitHeightTwips(l);
        Place(l, left, top, frameWidth - kAnswerWidthCut, h);
        mintCtlTop.push_back(top);
        bottom = top + h;
    }
    if (intAnsLbls == 0) {
        QLabel* a0 = m_lblAnswers(0);
        bottom = TopOf(a0) + Twips(a0->height());
    }
    // A long question without options must scroll too.
    placeScrollBar(std::max(bottom, questionBottom));
}

void TfrmExam::placeScrollBar(int bottomTwips) {
    m_vsbQuestion->setVisible(false);
    if (bottomTwips > Twips(m_fraQuestion->height())) {
        m_vsbQuestion->setMaximum(bottomTwips);
        m_vsbQuestion->setVisible(true);
    }
}

void TfrmExam::RemControls() {
    EnsureLoaded();
    for (int i = 1; i <= intQuestLbls; ++i) m_lblQuest.Unload(i);
    for (int k = 1; k <= intAnsLbls; ++k) {
        if (strQuestType == u"M") m_chkAnswer.Unload(k);
        if (strQuestType == u"S") m_optAnswer.Unload(k);
        if (strQuestType == u"M" || strQuestType == u"S") m_lblAnswers.Unload(k);
    }
    intAnsLbls = 0;
    intQuestLbls = 0;
}

void TfrmExam::FetchNormQues1(long long qdd) {
    EnsureLoaded();
    const auto next = examnav::After(*gcnExam, mintCurQuesInd, false);
    if (!next) return;
    RemControls();
    mintCurQuesInd = next->index;
    DispQuestNOpts(qdd);
}

// ---------------------------------------------------------------- scrolling, clicks

void TfrmExam::vsbQuestion_Change() { scrollStep(); }
void TfrmExam::vsbQuestion_Scroll() { scrollStep(); }

void TfrmExam::scrollStep() {
    if (!questionShown() || static_cast<int>(mintCtlTop.size()) <= intQuestLbls + intAnsLbls) return;
    const int v = m_vsbQuestion->value();
    SetTop(m_lblQuest(1), mintCtlTop[intQuestLbls] - v);
    for (int i = 1; i <= intAnsLbls; ++i) {
        const int top = mintCtlTop[intQuestLbls + i] - v;
        if (strQuestType == u"S") SetTop(m_optAnswer(i), top);
        else SetTop(m_chkAnswer(i), top);
        SetTop(m_lblAnswers(i), top);
    }
}

void TfrmExam::lblAnswers_Click(int Index) {
    if (Index < 1 || Index > intAnsLbls) return;
    if (strQuestType == u"S") {
        m_optAnswer(Index)->SetValue(true);
    } else if (strQuestType == u"M") {
        CheckBox* c = m_chkAnswer(Index);
        c->SetValue(c->Value() == 1 ? 0 : 1);
    }
}

// ---------------------------------------------------------------- answers

// The ticks of the question on screen become its saved answer ("S" and "M";
// the other types are saved by their own windows). A finished run's answers
// are only looked at.
void TfrmExam::saveAnswers() {
    if (gblnFromResults || !questionShown()) return;
    if (strQuestType != u"S" && strQuestType != u"M") return;
    std::vector<long long> chosen;
    const int rows = intAnsLbls;
    for (int i = 1; i <= rows; ++i) {
        const bool ticked = strQuestType == u"M" ? m_chkAnswer(i)->Value() == 1 : m_optAnswer(i)->Value();
        if (ticked) chosen.push_back(mintAnsIndex[i]);
    }
    examrun::SaveAnswers(*gcnExam, gintCurQId, chosen);
    rejudgeOnScreen();
}

// The adaptive score follows every change of a saved answer, so each way out
// of the run hands the grade report the right score.
void TfrmExam::rejudgeOnScreen() {
    if (!adaptiveRun() || !questionShown()) return;
    score_.Rejudge(*gcnExam, gintCurQId);
    gintAdapScore = score_.Total();
}

// Leaving a question clears the learn box, but the question stays bookmarked:
// clearing the box removes the mark and it is written again, together, so a
// failure in between keeps the mark it had.
void TfrmExam::keepLearnMark() {
    if (gblnFromResults || !questionShown()) return;
    if (m_chkBookMark->Value() != 1) return;
    Transaction trans(*gcnExam);
    m_chkBookMark->SetValue(0);
    examrun::KeepLearnMark(*gcnExam, gintCurQId);
    trans.Commit();
}

bool TfrmExam::ChkAnsCor() { return answers::IsCorrect(*gcnExam, gintCurQId, strQuestType.toStdString()); }

// Show Answer on an "S" or "M" question: the correct options' texts turn
// light green (only the first for "S"); nothing is ticked or saved.
void TfrmExam::colourCorrectOptions() {
    if (!questionShown()) return;
    const bool single = strQuestType == u"S";
    for (long long correct : examrun::CorrectOptions(*gcnExam, gintCurQId, single)) {
        for (int k = 1; k <= intAnsLbls; ++k) {
            if (mintAnsIndex[k] != correct) continue;
            AnswerLabel* l = m_lblAnswers(k);
            QPalette pal = l->palette();
            pal.setColor(QPalette::Window, kCorrectColour);
            l->setPalette(pal);
            l->setAutoFillBackground(true);
            break;
        }
    }
}
