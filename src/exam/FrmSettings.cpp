#include "FrmSettings.h"

#include "platform/runtime.h"
#include "startup/state.h"

using namespace plat;

TFrmSettings FrmSettings;

void TFrmSettings::Build() {
    SetCaption("Settings");
    SetClientSize(9600, 7200);

    m_msgCustom = Make<QTableWidget>(Body(), "msgCustom");
    Place(m_msgCustom, 240, 2880, 9120, 3480);
    m_msgCustom->setColumnCount(5);
    m_msgCustom->setRowCount(2);
    m_msgCustom->horizontalHeader()->setVisible(false);
    m_msgCustom->verticalHeader()->setVisible(false);

    auto* cmb0 = Make<QComboBox>(m_msgCustom->viewport(), "cmbDiffLvl");
    cmb0->addItem("0");
    cmb0->setVisible(false);
    m_cmbDiffLvl.Reset("cmbDiffLvl", cmb0);
    mintCmbCount = 0;
}

void TFrmSettings::SetSeedForTesting(std::optional<uint32_t> seed) {
    if (seed) seeder_.emplace(*seed);
    else seeder_.reset();
}

selection::Rng TFrmSettings::NewRng() {
    if (seeder_) return selection::Rng((*seeder_)());
    return selection::MakeRng();
}

bool TFrmSettings::Report(const selection::Outcome& outcome) {
    if (outcome) return true;
    MsgBox(QString::fromStdString(outcome.problem), vbCritical, kSelectionTitle);
    return false;
}

bool TFrmSettings::FetchQuest(const QString& strTblName, int16_t intMaxQuests, bool blnRandQuest, bool blnRandAns,
                              int16_t intStartInd, const selection::Progress& progress) {
    selection::Rng rng = NewRng();
    return Report(selection::FetchQuest(*gcnExam, strTblName.toStdString(), intMaxQuests, blnRandQuest, blnRandAns,
                                        intStartInd, gblnExamMode, gblnFullExam, rng, progress));
}

bool TFrmSettings::FetchCustQuest(const QString& /*strTblName*/, int16_t /*intMaxQuests*/, bool blnRandQuest,
                                  bool blnRandAns) {
    // The source is always the question bank and the count is the cells' sum.
    EnsureLoaded();
    selection::CustomGrid grid;
    for (int r = 1; r < m_msgCustom->rowCount(); ++r) {
        QTableWidgetItem* item = m_msgCustom->item(r, 1);
        grid.categories.push_back(item ? item->text().toStdString() : std::string());
    }
    for (int e = 1; e <= mintCmbCount; ++e)
        grid.cells.push_back(m_cmbDiffLvl.Exists(e) ? m_cmbDiffLvl(e)->currentText().trimmed().toInt() : 0);
    grid.cellChanged = [this](int element, int value) {
        if (!m_cmbDiffLvl.Exists(element)) return;
        QComboBox* box = m_cmbDiffLvl(element);
        const QString text = QString::number(value);
        const int i = box->findText(text);
        if (i >= 0) {
            box->setCurrentIndex(i);
        } else if (box->isEditable()) {
            box->setEditText(text);
        } else {
            box->addItem(text);
            box->setCurrentIndex(box->count() - 1);
        }
    };
    selection::Rng rng = NewRng();
    return Report(selection::FetchCustQuest(*gcnExam, grid, blnRandQuest, blnRandAns, rng));
}

bool TFrmSettings::RandAns(bool blnRandAns) {
    selection::Rng rng = NewRng();
    return Report(selection::RandAns(*gcnExam, blnRandAns, rng));
}
