// The learn-mode test set-up window, and the owner of the question selection
// (FetchQuest, FetchCustQuest, RandAns) that the mode window also calls.
#pragma once

#include "exam/selection.h"
#include "platform/form.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTableWidget>

#include <cstdint>
#include <optional>

class TFrmSettings : public plat::Form {
public:
    TFrmSettings() : Form("FrmSettings") {}

    // The custom grid: row 0 is the fixed header row; rows 1 to rowCount() - 1
    // hold one category each, its name in column 1.
    PEMU_CONTROL(QTableWidget, msgCustom)

public:
    // Cells of the custom grid: elements 3r - 2, 3r - 1 and 3r show the number of
    // beginner, intermediate and expert questions wanted from grid row r.
    plat::ControlArray<QComboBox>& cmbDiffLvl() { EnsureLoaded(); return m_cmbDiffLvl; }
    int16_t mintCmbCount = 0;

    // The question selection. Each returns false when the selection could not be
    // made: the user has been told why and the run tables hold nothing new.
    // FetchQuest and RandAns leave this window as it is (unloaded or not);
    // FetchCustQuest reads (and, in order, counts down) the custom grid's cells.
    // The mode window passes its progress bar's setter as `progress`.
    bool FetchQuest(const QString& strTblName, int16_t intMaxQuests, bool blnRandQuest, bool blnRandAns,
                    int16_t intStartInd, const selection::Progress& progress = {});
    bool FetchCustQuest(const QString& strTblName, int16_t intMaxQuests, bool blnRandQuest, bool blnRandAns);
    bool RandAns(bool blnRandAns);

    // Tests make the draws repeatable: each selection's generator is then seeded
    // from a sequence started at this seed. nullopt restores fresh entropy.
    void SetSeedForTesting(std::optional<uint32_t> seed);

    static inline const QString kSelectionTitle = QStringLiteral("Question Selection");

protected:
    void Build() override;

private:
    selection::Rng NewRng();
    bool Report(const selection::Outcome& outcome);

    plat::ControlArray<QComboBox> m_cmbDiffLvl;
    std::optional<selection::Rng> seeder_;
};

extern TFrmSettings FrmSettings;
