#include "frmReview.h"

#include "exam/answers.h"
#include "exam/frmExam.h"
#include "platform/runtime.h"
#include "results/frmGrade.h"
#include "startup/state.h"

#include <QHeaderView>

using namespace plat;

TfrmReview frmReview;

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
    Place(m_lblCandName1, 2040, 660, 4200, 300);
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
    m_msgReview->setColumnCount(4);
    m_msgReview->setRowCount(0);
    m_msgReview->setHorizontalHeaderLabels({" S.No ", "QID ", "Question", "Attempted"});
    m_msgReview->verticalHeader()->setVisible(false);
    m_msgReview->setEditTriggers(QAbstractItemView::NoEditTriggers);

    m_cmdRevUnAns = Make<QPushButton>(b, "cmdRevUnAns", " R&eview Unanswered Questions");
    Place(m_cmdRevUnAns, 240, 6780, 3600, 420);
    m_cmdGrade = Make<QPushButton>(b, "cmdGrade", " &End Exam");
    Place(m_cmdGrade, 6240, 6780, 2580, 420);
    m_cmdClose = Make<QPushButton>(b, "cmdClose", "&Close");
    Place(m_cmdClose, 9075, 6780, 2580, 420);

    BuildMenuStrip(Menus(), StripKind::Review, menu_);
    OnTriggered(menu_.exit, [this] { mnuExit_Click(); });
    OnClicked(m_cmdRevUnAns, [this] { cmdRevUnAns_Click(); });
    OnClicked(m_cmdGrade, [this] { cmdGrade_Click(); });
    OnClicked(m_cmdClose, [this] { cmdClose_Click(); });
}

void TfrmReview::Form_Load() {
    m_lblCandName1->setText(gstrCandName);
    m_lblExamName1->setText(gstrExamName);
    gblnRevUnAns = false;
    MarkAdminMode(menu_);
}

bool TfrmReview::chkQuesAnswered(int16_t intQid) {
    return answers::IsAnswered(*gcnExam, intQid, answers::TypeOf(*gcnExam, intQid));
}

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

void TfrmReview::mnuExit_Click() { EndProgram(0); }

void TfrmReview::ShowTime(const QString& text) {
    if (IsLoaded()) m_lblTime->setText(text);
}
