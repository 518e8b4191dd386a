// The exam configuration window of the administrator.
#pragma once

#include "platform/form.h"

class TfrmAdminConfig : public plat::Form {
public:
    TfrmAdminConfig() : Form("frmAdminConfig") {}

protected:
    void Build() override;
};

extern TfrmAdminConfig frmAdminConfig;
