#include "frmExam.h"

TfrmExam frmExam;

void TfrmExam::Build() {
    SetCaption("EXAM");
    SetClientSize(11880, 8280);
}
