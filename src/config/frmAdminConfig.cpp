#include "frmAdminConfig.h"

TfrmAdminConfig frmAdminConfig;

void TfrmAdminConfig::Build() {
    SetCaption("Exam Configuration");
    SetClientSize(8400, 6600);
}
