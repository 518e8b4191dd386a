#include "frmMode.h"

using namespace plat;

TfrmMode frmMode;

void TfrmMode::Build() {
    SetCaption("Mode");
    SetClientSize(8160, 5520);
    m_optConfig = Make<OptionButton>(Body(), "optConfig", "EXAM CONFIGURATION");
    Place(m_optConfig, 360, 2400, 3000, 300);
    m_optConfig->setVisible(false);
    m_prgMode = Make<QProgressBar>(Body(), "prgMode");
    Place(m_prgMode, 240, 4800, 7680, 300);
    m_prgMode->setMaximum(11);
    m_prgMode->setVisible(false);
    BuildMenuStrip(Menus(), StripKind::Mode, menu_);
}
