#include "frmResBrief.h"

#include "exam/frmMode.h"
#include "platform/grid.h"
#include "platform/runtime.h"
#include "results/frmGrade.h"
#include "results/savedresults.h"
#include "startup/state.h"

using namespace plat;

TfrmResBrief frmResBrief;

const QString TfrmResBrief::kFormat =
    QStringLiteral("<Candidate Name") + QString(22, u' ') + QStringLiteral("|<Exam Name") + QString(3, u' ') +
    QStringLiteral("|<Date") + QString(17, u' ') + QStringLiteral("|<Time") + QString(9, u' ') +
    QStringLiteral("|<Score") + QString(6, u' ') + QStringLiteral("|<Percentage") + QString(2, u' ') +
    QStringLiteral("|<Result") + QString(4, u' ');

void TfrmResBrief::Build() {
    QWidget* b = Body();
    SetCaption("Saved Results");
    SetClientSize(9600, 5520);

    m_Label1 = Make<QLabel>(b, "Label1", "SAVED RESULTS");
    Place(m_Label1, 240, 120, 4800, 420);
    m_Label1->setFont(QFont(QStringLiteral("Book Antiqua"), 14, QFont::Bold));
    m_Frame1 = Make<QGroupBox>(b, "Frame1", QString());
    Place(m_Frame1, 240, 600, 9120, 3600);
    m_msgResults = Make<QTableWidget>(m_Frame1, "msgResults");
    Place(m_msgResults, 120, 180, 8880, 3300);
    PrepareGrid(m_msgResults);
    m_msgResults->setColumnCount(7);
    m_msgResults->setRowCount(9);
    m_msgResults->setToolTip(kTip);
    m_lblNote = Make<QLabel>(b, "lblNote", "Note: Please Login as norvi to manage saved results");
    Place(m_lblNote, 240, 4320, 9120, 300);
    m_cmdDelRes = Make<QPushButton>(b, "cmdDelRes", "&Delete");
    Place(m_cmdDelRes, 240, 4860, 2400, 420);
    m_cmdBack = Make<QPushButton>(b, "cmdBack", "&Close");
    Place(m_cmdBack, 6960, 4860, 2400, 420);

    OnClicked(m_cmdDelRes, [this] { cmdDelRes_Click(); });
    OnClicked(m_cmdBack, [this] { cmdBack_Click(); });
    QObject::connect(m_msgResults, &QTableWidget::cellDoubleClicked, Window(),
                     [this](int, int) { Guard([this] { msgResults_DblClick(); }); });
}

// Deleting is the administrator's alone: the flag of the administrator's
// sign-in decides, never the login name.
void TfrmResBrief::Form_Load() {
    m_cmdDelRes->setEnabled(results::Viewer::Current().admin);
    LoadResults();
}

void TfrmResBrief::LoadResults() {
    EnsureLoaded();
    QTableWidget* g = m_msgResults;
    const std::vector<std::array<QString, 7>> list = results::ListedCells(*gcnExam, results::Viewer::Current());
    g->clearContents();
    SetFormatString(g, kFormat);
    // The header is the grid's first row: the rest are data rows.
    g->setRowCount(results::GridRows(list.size()) - 1);
    // Tens of thousands of cells go in at once: the view hears of them in one
    // repaint rather than one notice per cell.
    const bool quiet = g->model()->blockSignals(true);
    for (int r = 0; r < static_cast<int>(list.size()); ++r)
        for (int c = 0; c < 7; ++c)
            g->setItem(r, c, new QTableWidgetItem(list[static_cast<size_t>(r)][static_cast<size_t>(c)]));
    g->model()->blockSignals(quiet);
    g->viewport()->update();
    g->setCurrentCell(static_cast<int>(list.size()), 0);
}

// The result of the current row: its run is rebuilt from its file (checked
// whole first; nothing changes when it is missing or damaged) and the grade
// report shows it with its saved figures.
void TfrmResBrief::msgResults_DblClick() {
    const int row = m_msgResults->currentRow() + 1;
    const results::ReopenOutcome outcome =
        results::ReopenResult(*gcnExam, AppPath(), results::Viewer::Current(), row);
    if (!outcome.ok) {
        results::Show(outcome.message);
        return;
    }
    results::ApplyToState(outcome.result);
    frmGrade.ShowSavedResult(outcome.result.figures);
    Unload();
}

void TfrmResBrief::cmdDelRes_Click() {
    const results::Viewer viewer = results::Viewer::Current();
    if (!viewer.admin) return;
    const int row = m_msgResults->currentRow();
    m_msgResults->setCurrentCell(row, 0);
    const results::DeleteSelection selected = results::SelectForDelete(*gcnExam, viewer, row + 1);
    if (!selected.target) {
        results::Show(selected.message);
        return;
    }
    if (results::Show(results::DeleteQuestion()) != vbYes) return;
    const results::DeleteOutcome outcome = results::DeleteResult(*gcnExam, AppPath(), *selected.target);
    if (!outcome.deleted) {
        results::Show(outcome.message);
        return;
    }
    // The rows below move up, so the grid and the table stay matched by position.
    m_msgResults->removeRow(row);
}

// Back to the mode window; the signed-in user's own name returns, which a
// reopened result had replaced, so a later run is saved under it.
void TfrmResBrief::cmdBack_Click() {
    const results::Viewer viewer = results::Viewer::Current();
    gstrCandName = results::SignedInCandidateName(*gcnExam, viewer);
    frmMode.ShowAfterSignIn(viewer.admin);
    Unload();
}
