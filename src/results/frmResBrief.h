// The saved-results list.
#pragma once

#include "platform/form.h"

class TfrmResBrief : public plat::Form {
public:
    TfrmResBrief() : Form("frmResBrief") {}

protected:
    void Build() override;
};

extern TfrmResBrief frmResBrief;
