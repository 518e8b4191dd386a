// The saved-results list: the signed-in user's saved results (every user's
// for the administrator), from which a result is reopened in the grade report
// and, by the administrator, deleted with its file.
#pragma once

#include "platform/form.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

class TfrmResBrief : public plat::Form {
public:
    TfrmResBrief() : Form("frmResBrief") {}

    PEMU_CONTROL(QLabel, Label1)
    PEMU_CONTROL(QGroupBox, Frame1)
    PEMU_CONTROL(QTableWidget, msgResults)
    PEMU_CONTROL(QLabel, lblNote)
    PEMU_CONTROL(QPushButton, cmdDelRes)
    PEMU_CONTROL(QPushButton, cmdBack)

public:
    // Fills the grid: one row per result in Index order, then at least one
    // empty row, the current cell at the start of the first empty row.
    void LoadResults();
    // Reopens the result of the current row (0 = the first) in the grade report.
    void msgResults_DblClick();
    void cmdDelRes_Click();
    void cmdBack_Click();

    static const QString kFormat;
    static inline const QString kTip = QStringLiteral("Double Click to view the Grade screen");

protected:
    void Build() override;
    void Form_Load() override;
};

extern TfrmResBrief frmResBrief;
