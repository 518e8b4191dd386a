// The grade report's buttons that keep the result: saving it (its file under
// "results" and its ResultsBrief row), looking through a reopened result's
// questions, and printing the window.
#include "frmGrade.h"

#include "exam/frmExam.h"
#include "platform/printing.h"
#include "platform/runtime.h"
#include "results/savedresults.h"
#include "startup/state.h"

#include <QPrinter>

using namespace plat;

namespace results {
int Show(const Message& m) {
    int style = m.yesNo ? vbYesNo : vbOKOnly;
    switch (m.icon) {
    case Icon::Information: style |= vbInformation; break;
    case Icon::Exclamation: style |= vbExclamation; break;
    case Icon::Critical: style |= vbCritical; break;
    case Icon::None: break;
    }
    return MsgBox(m.text, style, m.title);
}
}  // namespace results

// "Result Already Saved" belongs to a second press for this same report; a
// different run that happens to get the same key is saved under a free one.
void TfrmGrade::cmdSave_Click() {
    if (gblnFromResults) {
        frmExam.ReviewSavedResult();
        return;
    }
    results::SaveRequest request = results::RequestFor(report_);
    request.alreadySaved = mblnSaved;
    const results::SaveOutcome outcome = results::SaveResult(*gcnExam, AppPath(), request);
    if (outcome.saved) mblnSaved = true;
    results::Show(outcome.message);
}

// The window's image without its buttons, one page in the orientation chosen.
// A cancelled dialog prints nothing and says nothing.
void TfrmGrade::cmdPrint_Click() {
    std::unique_ptr<QPrinter> printer = ShowPrintDialog(Window());
    if (!printer || !IsLoaded()) return;
    printOrientation_ = printer->pageLayout().orientation();
    printer->setCopyCount(1);
    m_Frame5->setVisible(false);
    const QImage image = WindowImage(Body());
    m_Frame5->setVisible(true);
    if (!PrintImage(*printer, image, 1))
        MsgBox("The report could not be printed.", vbExclamation, "Print");
}

// The window's image as it stands, once per copy asked for, each on its own
// page, in the printer's orientation as the Print button left it. A
// cancelled dialog or a failing printer ends quietly.
void TfrmGrade::mnuScreen_Click() {
    std::unique_ptr<QPrinter> printer = ShowPrintDialog(Window());
    if (!printer || !IsLoaded()) return;
    const int copies = std::max(1, printer->copyCount());
    printer->setCopyCount(1);
    printer->setPageOrientation(printOrientation_);
    PrintImage(*printer, WindowImage(Body()), copies);
}
