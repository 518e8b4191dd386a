#include "frmGrade.h"

#include "exam/frmExam.h"
#include "platform/runtime.h"
#include "results/frmResBrief.h"
#include "signin/frmLogin.h"
#include "startup/state.h"

using namespace plat;

TfrmGrade frmGrade;

void TfrmGrade::Build() {
    QWidget* b = Body();
    SetCaption("Grade");
    SetClientSize(9960, 7200);

    auto label = [&](const char* name, const QString& text, int left, int top, int width) {
        QLabel* l = Make<QLabel>(b, name, text);
        Place(l, left, top, width, 300);
        l->setFont(QFont(QStringLiteral("Book Antiqua"), 9));
        return l;
    };
    m_lblcandname = label("lblcandname", "Candidate Name:", 240, 240, 1800);
    m_lblCandName1 = label("lblCandName1", QString(), 2160, 240, 3600);
    m_lblExamName = label("lblExamName", " Exam Name:", 240, 600, 1800);
    m_lblExamName1 = label("lblExamName1", QString(), 2160, 600, 5400);
    m_lblTime = label("lblTime", "Time: ", 6120, 240, 900);
    m_lblTime1 = label("lblTime1", QString(), 7080, 240, 1500);
    for (QLabel* l : {m_lblCandName1, m_lblExamName1, m_lblTime1}) l->setTextFormat(Qt::PlainText);

    m_Frame5 = Make<QGroupBox>(b, "Frame5", QString());
    Place(m_Frame5, 240, 6360, 9480, 660);
    m_cmdSave = Make<QPushButton>(m_Frame5, "cmdSave", "&Save Results");
    Place(m_cmdSave, 240, 120, 2400, 420);
    m_cmdClose = Make<QPushButton>(m_Frame5, "cmdClose", "&Close ");
    Place(m_cmdClose, 6840, 120, 2400, 420);

    BuildMenuStrip(Menus(), StripKind::Grade, menu_);
    OnTriggered(menu_.exit, [this] { mnuExit_Click(); });
    OnClicked(m_cmdSave, [this] { cmdSave_Click(); });
    OnClicked(m_cmdClose, [this] { cmdClose_Click(); });
}

void TfrmGrade::Form_Load() {
    m_lblCandName1->setText(gstrCandName);
    m_lblExamName1->setText(gstrExamName);
    if (gblnFromResults) {
        m_cmdSave->setText(QStringLiteral("Review Questions"));
    } else {
        // Saving a fresh result comes with the result file; until then the
        // button offers nothing.
        m_cmdSave->setEnabled(false);
    }
}

void TfrmGrade::cmdSave_Click() {
    if (gblnFromResults) frmExam.ReviewSavedResult();
}

void TfrmGrade::cmdClose_Click() {
    gblnExamMode = false;
    if (gblnFromResults) frmResBrief.Show();
    else frmLogin.Show();
    Unload();
}

void TfrmGrade::mnuExit_Click() { EndProgram(0); }
