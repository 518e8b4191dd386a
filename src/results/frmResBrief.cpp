#include "frmResBrief.h"

TfrmResBrief frmResBrief;

void TfrmResBrief::Build() {
    SetCaption("Saved Results");
    SetClientSize(9600, 6000);
}
