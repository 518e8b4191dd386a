// The mode window: the hub after signing in.
#pragma once

#include "platform/form.h"
#include "signin/menustrip.h"

#include <QProgressBar>

class TfrmMode : public plat::Form {
public:
    TfrmMode() : Form("frmMode") {}

    PEMU_CONTROL(plat::OptionButton, optConfig)
    PEMU_CONTROL(QProgressBar, prgMode)

public:
    MenuStrip& Menu() { EnsureLoaded(); return menu_; }

protected:
    void Build() override;

private:
    MenuStrip menu_;
};

extern TfrmMode frmMode;
