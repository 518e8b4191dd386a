// The grade report's buttons that keep the result: saving it (its file under
// "results" and its ResultsBrief row) and looking through a reopened result's
// questions.
#include "frmGrade.h"

#include "exam/frmExam.h"
#include "platform/runtime.h"
#include "results/savedresults.h"
#include "startup/state.h"

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
