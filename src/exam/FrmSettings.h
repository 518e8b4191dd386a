// The learn-mode test set-up window, and the owner of the question selection
// (FetchQuest, FetchCustQuest, RandAns) that the mode window also calls.
#pragma once

#include "exam/selection.h"
#include "exam/setupcheck.h"
#include "platform/form.h"
#include "signin/menustrip.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

#include <cstdint>
#include <optional>
#include <vector>

class TFrmSettings : public plat::Form {
public:
    TFrmSettings() : Form("FrmSettings") {}

    PEMU_CONTROL(QLabel, Label1)
    PEMU_CONTROL(QLabel, lblQuestions)
    PEMU_CONTROL(QLineEdit, txtQuestNum)
    PEMU_CONTROL(QLabel, lblOf)
    PEMU_CONTROL(QLabel, lblAvailQuest)
    PEMU_CONTROL(QLabel, Label2)
    PEMU_CONTROL(QLineEdit, txtStartFrom)
    PEMU_CONTROL(QLabel, lblExamDur)
    PEMU_CONTROL(QLineEdit, txtMin)
    PEMU_CONTROL(QLabel, lblMin)
    PEMU_CONTROL(plat::OptionButton, optAll)
    PEMU_CONTROL(plat::OptionButton, optBookMark)
    PEMU_CONTROL(plat::OptionButton, optCustom)
    PEMU_CONTROL(plat::CheckBox, chkRandQuest)
    PEMU_CONTROL(plat::CheckBox, chkRandAns)
    PEMU_CONTROL(QGroupBox, frmCustom)
    // The custom grid: row 0 is the fixed header row; rows 1 to rowCount() - 1
    // hold one category each, its Index in column 0 and its name in column 1.
    PEMU_CONTROL(QTableWidget, msgCustom)
    PEMU_CONTROL(QPushButton, cmdNext)
    PEMU_CONTROL(QPushButton, cmdBack)

public:
    // Cells of the custom grid: elements 3r - 2, 3r - 1 and 3r show the number of
    // beginner, intermediate and expert questions wanted from grid row r.
    plat::ControlArray<QComboBox>& cmbDiffLvl() { EnsureLoaded(); return m_cmbDiffLvl; }
    MenuStrip& Menu() { EnsureLoaded(); return menu_; }
    int16_t mintCmbCount = 0;
    // The number of questions in the bank, counted at load.
    long long mintTotQuests = 0;

    // The question selection. Each returns false when the selection could not be
    // made: the user has been told why and the run tables hold nothing new.
    // FetchQuest and RandAns leave this window as it is (unloaded or not);
    // FetchCustQuest reads (and, in order, counts down) the custom grid's cells.
    // The mode window passes its progress bar's setter as `progress`.
    bool FetchQuest(const QString& strTblName, int16_t intMaxQuests, bool blnRandQuest, bool blnRandAns,
                    int16_t intStartInd, const selection::Progress& progress = {});
    bool FetchCustQuest(const QString& strTblName, int16_t intMaxQuests, bool blnRandQuest, bool blnRandAns);
    bool RandAns(bool blnRandAns);

    // ---- handlers
    void optAll_Click();
    void optBookMark_Click();
    void optCustom_Click();
    void cmbDiffLvl_Click(int16_t Index);
    void cmdNext_Click();
    void cmdBack_Click();
    void exit_Click();

    // Tests make the draws repeatable: each selection's generator is then seeded
    // from a sequence started at this seed. nullopt restores fresh entropy.
    void SetSeedForTesting(std::optional<uint32_t> seed);

    static inline const QString kSelectionTitle = QStringLiteral("Question Selection");
    // The grid's header: the blanks after each caption set its column's width.
    static const QString kFormatString;

protected:
    void Build() override;
    void Form_Load() override;

private:
    selection::Rng NewRng();
    bool Report(const selection::Outcome& outcome);
    selection::Outcome fetchQuest(const QString& strTblName, int16_t intMaxQuests, bool blnRandQuest,
                                  bool blnRandAns, int16_t intStartInd, const selection::Progress& progress);
    selection::Outcome fetchCustQuest(bool blnRandQuest, bool blnRandAns);

    void buildGrid();
    void sizeGrid();
    std::vector<int> cells() const;
    setupcheck::Source source() const;
    QWidget* boxOf(setupcheck::Box box) const;

    plat::ControlArray<QComboBox> m_cmbDiffLvl;
    MenuStrip menu_;
    std::optional<selection::Rng> seeder_;
};

extern TFrmSettings FrmSettings;
