// The exam window, in which a run is taken.
#pragma once

#include "platform/form.h"

class TfrmExam : public plat::Form {
public:
    TfrmExam() : Form("frmExam") {}

protected:
    void Build() override;
};

extern TfrmExam frmExam;
