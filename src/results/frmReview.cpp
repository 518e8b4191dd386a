#include "frmReview.h"

#include "exam/answers.h"
#include "exam/exhibitview.h"
#include "exam/frmExam.h"
#include "platform/grid.h"
#include "platform/printing.h"
#include "platform/runtime.h"
#include "results/frmGrade.h"
#include "results/reviewlist.h"
#include "startup/state.h"

#include <QHeaderView>
#include <QPixmap>
#include <QPrinter>

using namespace plat;

TfrmReview frmReview;

const QString TfrmReview::kFormat =
    QStringLiteral("< S.No |<QID |<Question") + QString(159, u' ') + QStringLiteral("|<Attempted");

void TfrmReview::Build() {
    QWidget* b = Body();
    SetCaption("Review ");
    SetClientSize(11895, 7440);

    m_Label1 = Make<QLabel>(b, "Label1", "REVIEW QUESTIONS");
    Place(m_Label1, 240, 120, 4800, 420);
    m_Label1->setFont(QFont(QStringLiteral("Book Antiqua"), 14, QFont::Bold));
    m_lblcandname = Make<QLabel>(b, "lblcandname", " Candidate Name:");
    Place(m_lblcandname, 240, 660, 1800, 300);
    m_lblCandName1 = Make<QLabel>(b, "lblCandName1", QString());
    Place(m_lblCandName1, 2040, 660, 6000, 300);
    m_lblExamName = Make<QLabel>(b, "lblExamName", " Exam Name:");
    Place(m_lblExamName, 240, 1020, 1800, 300);
    m_lblExamName1 = Make<QLabel>(b, "lblExamName1", QString());
    Place(m_lblExamName1, 2040, 1020, 6000, 300);
    for (QLabel* l : {m_lblCandName1, m_lblExamName1}) l->setTextFormat(Qt::PlainText);
    m_lblTime = Make<QLabel>(b, "lblTime", "Time");
    Place(m_lblTime, 10080, 660, 1575, 300);
    QFont bold = m_lblTime->font();
    bold.setBold(true);
    m_lblTime->setFont(bold);

    m_lblColor = Make<QLabel>(b, "lblColor", QString());
    Place(m_lblColor, 8280, 1020, 300, 300);
    QPalette pal = m_lblColor->palette();
    pal.setColor(QPalette::Window, kBookMarkColour);
    m_lblColor->setPalette(pal);
    m_lblColor->setAutoFillBackground(true);
    m_Label3 = Make<QLabel>(b, "Label3", "Indicates BookMarked Questions");
    Place(m_Label3, 8700, 1020, 2955, 300);

    m_fraReview = Make<QGroupBox>(b, "fraReview", QString());
    Place(m_fraReview, 240, 1440, 11415, 5160);
    m_msgReview = Make<QTableWidget>(m_fraReview, "msgReview");
    Place(m_msgReview, 120, 120, 11175, 4920);
    PrepareGrid(m_msgReview);
    m_msgReview->setRowCount(0);

    m_cmdRevUnAns = Make<QPushButton>(b, "cmdRevUnAns", " R&eview Unanswered Questions");
    Place(m_cmdRevUnAns, 240, 6780, 3600, 420);
    m_cmdGrade = Make<QPushButton>(b, "cmdGrade", " &End Exam");
    Place(m_cmdGrade, 6240, 6780, 2580, 420);
    m_cmdClose = Make<QPushButton>(b, "cmdClose", "&Close");
    Place(m_cmdClose, 9075, 6780, 2580, 420);

    BuildMenuStrip(Menus(), StripKind::Review, menu_);
    OnTriggered(menu_.exit, [this] { mnuExit_Click(); });
    OnTriggered(menu_.print, [this] { mnuprint_Click(); });
    OnClicked(m_cmdRevUnAns, [this] { cmdRevUnAns_Click(); });
    OnClicked(m_cmdGrade, [this] { cmdGrade_Click(); });
    OnClicked(m_cmdClose, [this] { cmdClose_Click(); });
    QObject::connect(m_msgReview, &QTableWidget::cellDoubleClicked, Window(),
                     [this](int row, int) { Guard([this, row] { msgReview_DblClick(row); }); });
}

void TfrmReview::Form_Load() {
    fill();
    m_lblCandName1->setText(gstrCandName);
    m_lblExamName1->setText(gstrExamName);
    gblnRevUnAns = false;
    MarkAdminMode(menu_);
}

namespace {
// A mark that is missing, no picture, or no plain file of a picture's size (a
// pipe in its place would hold the list up for good) is no mark.
QPixmap mark(const char* name) {
    QPixmap pic;
    const plat::FileRead read = exhibitview::ReadPicture(AppPath() / name);
    if (read.status == plat::FileRead::Status::Read) pic.loadFromData(read.bytes);
    return pic;
}
}  // namespace

// One row per question of the run; a bookmarked question's cells take the
// highlight, and the last cell shows whether it has an answer (a missing
// picture shows nothing rather than stopping the exam).
void TfrmReview::fill() {
    QTableWidget* g = m_msgReview;
    SetFormatString(g, kFormat);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    g->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    const QPixmap answered = mark("correct.gif");
    const QPixmap unanswered = mark("incorrect.gif");
    const bool liveAdaptive = gblnExamMode && gblnAdaptive && !gblnFromResults;
    const std::vector<results::ReviewRow> rows = results::ReviewRows(*gcnExam, gblnExamMode, liveAdaptive);

    g->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const results::ReviewRow& row = rows[static_cast<size_t>(r)];
        const QString cells[] = {QString::number(row.index), QString::number(row.qid), row.question, QString()};
        for (int c = 0; c < 4; ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setToolTip(kRowTip);
            if (row.bookmarked) item->setBackground(kBookMarkColour);
            g->setItem(r, c, item);
        }
        if (row.answered) {
            const QPixmap& pic = *row.answered ? answered : unanswered;
            if (!pic.isNull()) {
                auto* cell = new QLabel;
                cell->setObjectName(QStringLiteral("picture"));
                cell->setPixmap(pic);
                cell->setAlignment(Qt::AlignCenter);
                // Clicks and the tooltip belong to the row beneath.
                cell->setAttribute(Qt::WA_TransparentForMouseEvents);
                g->setCellWidget(r, 3, cell);
            }
        }
    }
    if (!rows.empty()) g->setCurrentCell(0, 0);
}

bool TfrmReview::chkQuesAnswered(long long intQid) {
    return answers::IsAnswered(*gcnExam, intQid, answers::TypeOf(*gcnExam, intQid));
}

// The exam window is closed before the grade report opens and is not touched
// again: touching it would load it afresh, and a fresh load empties the answers.
void TfrmReview::cmdGrade_Click() {
    gcnExam->Execute("DELETE * from BookMarkExam");
    frmExam.Unload();
    frmGrade.Show();
    Unload();
}

void TfrmReview::cmdClose_Click() { Unload(); }

// The exam window shows the first unanswered question and from then on Next
// and Previous visit unanswered questions only.
void TfrmReview::cmdRevUnAns_Click() {
    if (!frmExam.ReviewUnanswered()) {
        MsgBox("No Unanswered Question", vbInformation, "Exam Questions");
        return;
    }
    Unload();
}

void TfrmReview::msgReview_DblClick(int row) {
    if (!IsLoaded() || row < 0 || row >= m_msgReview->rowCount()) return;
    m_msgReview->setCurrentCell(row, 0);
    const QTableWidgetItem* cell = m_msgReview->item(row, 0);
    if (!cell || cell->text().isEmpty()) return;
    frmExam.ShowQuestionAt(cell->text().toLongLong());
    Unload();
}

// The window's image once per copy asked for; a cancelled dialog or a printer
// that fails ends quietly.
void TfrmReview::mnuprint_Click() {
    std::unique_ptr<QPrinter> printer = ShowPrintDialog(Window());
    if (!printer || !IsLoaded()) return;
    const int copies = std::max(1, printer->copyCount());
    printer->setCopyCount(1);
    PrintImage(*printer, WindowImage(Body()), copies);
}

void TfrmReview::mnuExit_Click() { EndProgram(0); }

void TfrmReview::ShowTime(const QString& text) {
    if (IsLoaded()) m_lblTime->setText(text);
}
