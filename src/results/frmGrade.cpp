#include "frmGrade.h"

#include "platform/grid.h"
#include "platform/printing.h"
#include "platform/runtime.h"
#include "results/frmResBrief.h"
#include "results/resultfile.h"
#include "signin/frmLogin.h"
#include "startup/state.h"

#include <QHeaderView>
#include <QTextCursor>
#include <QTextFrame>

using namespace plat;

TfrmGrade frmGrade;

const QString TfrmGrade::kFormat =
    QStringLiteral("< S.No |<Category") + QString(55, u' ') + QStringLiteral("|<Score obtained");

namespace {

const QColor kGreen(0, 192, 0);
const QColor kRed(255, 0, 0);

// A rich-text box used as a coloured bar: no frame, no scrolling, no focus.
QTextEdit* colourBox(QTextEdit* box, const QColor& colour) {
    box->setFrameShape(QFrame::NoFrame);
    box->setReadOnly(true);
    box->setFocusPolicy(Qt::NoFocus);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setTextInteractionFlags(Qt::NoTextInteraction);
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, colour);
    box->setPalette(pal);
    return box;
}

// The ruler: the scale line underlined, with each character standing 44
// twips (one percent) right of the one before, so its bars fall on every
// tenth percent of the chart; then the numbers and the caption.
void writeRuler(QTextEdit* box) {
    box->clear();
    box->document()->setDocumentMargin(0);
    QTextFrameFormat root = box->document()->rootFrame()->frameFormat();
    root.setTopMargin(2);
    box->document()->rootFrame()->setFrameFormat(root);
    QTextCursor c(box->document());
    QTextCharFormat scale;
    scale.setFont(box->font());
    scale.setFontUnderline(true);
    const QFontMetricsF fm(box->font());
    const double step = static_cast<double>(scoring::kTwipsPerPercent) / kTwipsPerPixel;
    for (QChar ch : scoring::RulerScale()) {
        QTextCharFormat f = scale;
        f.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        f.setFontLetterSpacing(step - fm.horizontalAdvance(ch));
        c.insertText(QString(ch), f);
    }
    QTextCharFormat plain;
    plain.setFont(box->font());
    plain.setFontUnderline(false);
    c.insertText(QStringLiteral("\n") + scoring::RulerNumbers(), plain);
    c.insertText(QStringLiteral("\n") + scoring::RulerCaption(), plain);
}

}  // namespace

void TfrmGrade::Build() {
    QWidget* b = Body();
    SetCaption("Grade");
    SetClientSize(9960, 7200);

    const QFont bookAntiqua(QStringLiteral("Book Antiqua"), 9);
    auto label = [&](const char* name, const QString& text, int left, int top, int width) {
        QLabel* l = Make<QLabel>(b, name, text);
        Place(l, left, top, width, 300);
        l->setFont(bookAntiqua);
        return l;
    };
    m_lblcandname = label("lblcandname", "Candidate Name:", 240, 240, 1740);
    m_lblCandName1 = label("lblCandName1", QString(), 2040, 240, 3960);
    m_lblExamName = label("lblExamName", " Exam Name:", 240, 600, 1740);
    m_lblExamName1 = label("lblExamName1", QString(), 2040, 600, 3960);
    m_lblDate = label("lblDate", "Date: ", 6240, 240, 720);
    m_lblDate1 = label("lblDate1", QString(), 6960, 240, 2760);
    m_lblTime = label("lblTime", "Time: ", 6240, 600, 720);
    m_lblTime1 = label("lblTime1", QString(), 6960, 600, 2760);

    m_fraScore = Make<QGroupBox>(b, "fraScore", "Category Wise Scoring");
    Place(m_fraScore, 120, 1080, 5880, 2775);
    m_msgReview = Make<QTableWidget>(m_fraScore, "msgReview");
    Place(m_msgReview, 120, 360, 5640, 2295);
    PrepareGrid(m_msgReview);
    m_msgReview->setColumnCount(3);
    m_msgReview->setRowCount(4);

    m_lblScoreObt = label("lblScoreObt", "Score Obtained : ", 6240, 1320, 3480);
    m_lblPassScore = label("lblPassScore", "Pass Score : ", 6240, 1740, 3480);
    m_lblMaxScore = label("lblMaxScore", "Maximum Score : ", 6240, 2160, 3480);
    m_lblResult = label("lblResult", "Result:", 6240, 2820, 900);
    m_lblResultDsip = Make<QLabel>(b, "lblResultDsip", " Pass");
    Place(m_lblResultDsip, 7200, 2700, 2520, 540);
    m_lblResultDsip->setFont(QFont(QStringLiteral("Book Antiqua"), 18, QFont::Bold));
    for (QLabel* l : {m_lblCandName1, m_lblExamName1, m_lblDate1, m_lblTime1}) l->setTextFormat(Qt::PlainText);

    // The chart: the bars over the ruler, the pass mark's marker standing on the bars.
    m_rtfPass = colourBox(Make<QTextEdit>(b, "rtfPass"), kGreen);
    Place(m_rtfPass, scoring::kScaleLeft, kBarTop, scoring::kScaleWidth, kBarHeight);
    m_rtfFail = colourBox(Make<QTextEdit>(b, "rtfFail"), QColor(192, 192, 192));
    Place(m_rtfFail, scoring::kScaleLeft, kBarTop, 0, kBarHeight);
    m_RichTextBox1 = colourBox(Make<QTextEdit>(b, "RichTextBox1"), QColor(192, 0, 192));
    Place(m_RichTextBox1, scoring::kScaleLeft, kBarTop - kMarkerHeight, scoring::kMarkerWidth, kMarkerHeight);
    m_rtfScale = colourBox(Make<QTextEdit>(b, "rtfScale"), QColor(224, 224, 224));
    Place(m_rtfScale, scoring::kScaleLeft, kBarTop + kBarHeight + 120, scoring::kScaleWidth, 780);
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSizeF(8.5);
    m_rtfScale->setFont(arial);
    m_rtfScale->setLineWrapMode(QTextEdit::NoWrap);

    m_Frame5 = Make<QGroupBox>(b, "Frame5", QString());
    Place(m_Frame5, 120, 6240, 9720, 780);
    m_cmdSave = Make<QPushButton>(m_Frame5, "cmdSave", "&Save Results");
    Place(m_cmdSave, 240, 180, 2400, 420);
    m_cmdPrint = Make<QPushButton>(m_Frame5, "cmdPrint", "&Print");
    Place(m_cmdPrint, 3660, 180, 2400, 420);
    m_cmdClose = Make<QPushButton>(m_Frame5, "cmdClose", "&Close ");
    Place(m_cmdClose, 7080, 180, 2400, 420);

    BuildMenuStrip(Menus(), StripKind::Grade, menu_);
    OnTriggered(menu_.exit, [this] { mnuExit_Click(); });
    OnTriggered(menu_.print, [this] { mnuScreen_Click(); });
    QObject::connect(menu_.txtSize, &QMenu::aboutToShow, Window(), [this] { Guard([this] { mnuSize_Click(); }); });
    OnClicked(m_cmdSave, [this] { cmdSave_Click(); });
    OnClicked(m_cmdPrint, [this] { cmdPrint_Click(); });
    OnClicked(m_cmdClose, [this] { cmdClose_Click(); });
}

void TfrmGrade::ShowSavedResult(const scoring::SavedFigures& figures) {
    // A report still up from before would not grade again.
    if (IsLoaded()) Unload();
    mintScoreObt = figures.scoreObt;
    mintPassScore = figures.passScore;
    mintMaxScore = figures.maxScore;
    reopened_ = figures;
    Show();
}

// Everything is graded once, here: a fresh run from the run tables and the
// configuration; a reopened result shows its saved figures, and its grid
// comes from its restored answers.
void TfrmGrade::Form_Load() {
    mblnSaved = false;
    std::optional<scoring::SavedFigures> saved;
    if (gblnFromResults) {
        saved = reopened_.value_or(scoring::SavedFigures{});
        saved->scoreObt = mintScoreObt;
        saved->passScore = mintPassScore;
        saved->maxScore = mintMaxScore;
    }
    reopened_.reset();
    report_ = scoring::GradeCurrentRun(*gcnExam, saved);
    mintScoreObt = report_.scoreObt;
    mintPassScore = report_.passScore;
    mintMaxScore = report_.maxScore;
    mintPercentage = report_.percentage;
    mstrResult = report_.result;

    showGrid();
    m_lblScoreObt->setText(m_lblScoreObt->text() + QString::number(mintScoreObt));
    m_lblPassScore->setText(m_lblPassScore->text() + QString::number(mintPassScore));
    m_lblMaxScore->setText(m_lblMaxScore->text() + QString::number(mintMaxScore));
    m_lblResultDsip->setText(report_.verdictText);
    QPalette pal = m_lblResultDsip->palette();
    pal.setColor(QPalette::WindowText, report_.verdict == scoring::Verdict::Fail ? kRed : kGreen);
    m_lblResultDsip->setPalette(pal);
    showChart();

    m_lblCandName1->setText(gstrCandName);
    m_lblExamName1->setText(gstrExamName);
    m_lblDate1->setText(results::DateText(results::StampDate(gvarExamDate).value_or(QDate())));
    m_lblTime1->setText(results::TimeText(results::StampTime(gvarExamTime).value_or(QTime())));

    if (gblnFromResults) m_cmdSave->setText(QStringLiteral("Review Questions"));
    else m_cmdSave->setEnabled(report_.canSave);
    if (!report_.problem.empty()) results::Show(report_.problem);
}

// One row per category under the heading row, the grid as tall as its rows
// (centred in its frame) and as wide as its columns, with room for a scroll
// bar once it has eight rows.
void TfrmGrade::showGrid() {
    QTableWidget* g = m_msgReview;
    SetFormatString(g, kFormat);
    const auto& cats = report_.judged.categories;
    g->setRowCount(static_cast<int>(cats.size()));
    for (int r = 0; r < static_cast<int>(cats.size()); ++r) {
        const scoring::CategoryScore& c = cats[static_cast<size_t>(r)];
        const QString cells[] = {QString::number(c.number), c.name, QString::number(c.percentage)};
        for (int col = 0; col < 3; ++col) g->setItem(r, col, new QTableWidgetItem(cells[col]));
    }

    const int frameHeight = Twips(m_fraScore->height());
    const int rowsHeight = GridRowsHeight(g);
    const int columnsWidth = GridColumnsWidth(g);
    int height = Twips(g->height());
    if (frameHeight - 500 > rowsHeight) height = rowsHeight + 80;
    int top = TopOf(g);
    if (rowsHeight < frameHeight) top = (frameHeight - height) / 2;
    const int width = g->rowCount() + 1 < 8 ? columnsWidth + 90 : columnsWidth + 380;
    Place(g, LeftOf(g), top, width, height);
}

void TfrmGrade::showChart() {
    const scoring::Chart& c = report_.chart;
    auto bar = [](QTextEdit* box, const scoring::Bar& b) {
        box->setVisible(b.visible);
        Place(box, b.left, kBarTop, b.width, kBarHeight);
    };
    bar(m_rtfPass, c.pass);
    bar(m_rtfFail, c.fail);
    if (c.passBarRed) {
        QPalette pal = m_rtfPass->palette();
        pal.setColor(QPalette::Base, kRed);
        m_rtfPass->setPalette(pal);
    }
    m_RichTextBox1->setVisible(c.markerVisible);
    SetLeft(m_RichTextBox1, c.markerLeft);
    writeRuler(m_rtfScale);
}

void TfrmGrade::cmdClose_Click() {
    gblnExamMode = false;
    if (gblnFromResults) frmResBrief.Show();
    else frmLogin.Show();
    Unload();
}

void TfrmGrade::mnuExit_Click() { EndProgram(0); }

void TfrmGrade::mnuSize_Click() { ShowFontDialog(m_lblCandName1->font(), Window()); }
