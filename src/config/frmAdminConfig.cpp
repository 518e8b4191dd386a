#include "frmAdminConfig.h"

#include "platform/runtime.h"
#include "startup/adminconfig.h"
#include "startup/state.h"

#include <stdexcept>

using namespace plat;
using configcheck::Box;
using configcheck::FormValues;

TfrmAdminConfig frmAdminConfig;

void TfrmAdminConfig::Build() {
    SetCaption("Exam Configuration");
    SetClientSize(9600, 6360);

    m_fraConfig = Make<QGroupBox>(Body(), "fraConfig", "Configuration");
    Place(m_fraConfig, 240, 120, 9120, 5400);
    QWidget* f = m_fraConfig;

    auto label = [&](QWidget* parent, const char* name, const char* caption, int left, int top, int width) {
        auto* l = Make<QLabel>(parent, name, QString::fromUtf8(caption));
        Place(l, left, top, width, 300);
        return l;
    };
    auto box = [&](QWidget* parent, const char* name, int left, int top, int width) {
        auto* t = Make<QLineEdit>(parent, name);
        Place(t, left, top - 30, width, 360);
        return t;
    };
    auto check = [&](QWidget* parent, const char* name, const char* caption, int left, int top, int width) {
        auto* c = Make<CheckBox>(parent, name, QString::fromUtf8(caption));
        Place(c, left, top - 15, width, 330);
        return c;
    };

    // The numbers, one below the other.
    m_lblExamName = label(f, "lblExamName", "EXAM NAME", 240, 480, 2880);
    m_txtExamName = box(f, "txtExamName", 3240, 480, 5640);
    m_txtExamName->setReadOnly(true);
    m_lblExamType = label(f, "lblExamType", "EXAM TYPE", 240, 1020, 2880);
    m_chkLinear = check(f, "chkLinear", "Linear", 3240, 1020, 1320);
    m_chkAdaptive = check(f, "chkAdaptive", "Adaptive", 4680, 1020, 1440);
    m_chkAdaptive->setEnabled(false);
    m_lblNumOfExams = label(f, "lblNumOfExams", "NUMBER OF EXAMS", 240, 1560, 2880);
    m_txtNumOfExams = box(f, "txtNumOfExams", 3240, 1560, 1080);
    m_lblNoOfQues = label(f, "lblNoOfQues", "NUMBER OF QUESTIONS", 240, 2040, 2880);
    m_txtNoOfQues = box(f, "txtNoOfQues", 3240, 2040, 1080);
    m_lblPassPer = label(f, "lblPassPer", "PASS PERCENTAGE", 240, 2520, 2880);
    m_txtPassPer = box(f, "txtPassPer", 3240, 2520, 1080);
    m_lblMaxTime = label(f, "lblMaxTime", "MAXIMUM TIME ALLOWED", 240, 3000, 2880);
    m_txtMaxTime = box(f, "txtMaxTime", 3240, 3000, 1080);
    m_lblMaxScore = label(f, "lblMaxScore", "MAXIMUM SCORE", 240, 3480, 2880);
    m_txtMaxScore = box(f, "txtMaxScore", 3240, 3480, 1080);

    // The switches, beside the numbers.
    m_lblLearnMode = label(f, "lblLearnMode", "LEARN Mode", 5160, 1560, 2640);
    m_chkLearnMode = check(f, "chkLearnMode", "", 7920, 1560, 330);
    m_lblExamMode = label(f, "lblExamMode", "EXAM Mode", 5160, 2040, 2640);
    m_chkExamMode = check(f, "chkExamMode", "", 7920, 2040, 330);
    m_lblSimulatorMode = label(f, "lblSimulatorMode", "SIMULATOR Mode", 5160, 2520, 2640);
    m_chkSimulatorMode = check(f, "chkSimulatorMode", "", 7920, 2520, 330);
    m_chkSimulatorMode->setEnabled(false);
    m_lblPrevious = label(f, "lblPrevious", "PREVIOUS", 5160, 3000, 2640);
    m_chkPrevious = check(f, "chkPrevious", "", 7920, 3000, 330);
    m_lblReview = label(f, "lblReview", "REVIEW", 5160, 3480, 2640);
    m_chkReview = check(f, "chkReview", "", 7920, 3480, 330);

    // The difficulty points are shown, never edited.
    m_fraScore = Make<QGroupBox>(f, "fraScore", QString());
    Place(m_fraScore, 240, 4080, 8640, 1080);
    QWidget* s = m_fraScore;
    m_lblBS = label(s, "lblBS", "BEGINNER Score", 120, 420, 1800);
    m_txtBS = box(s, "txtBS", 1980, 420, 720);
    m_lblIS = label(s, "lblIS", "INTERMEDIATE Score", 2880, 420, 2160);
    m_txtIS = box(s, "txtIS", 5100, 420, 720);
    m_lblES = label(s, "lblES", "EXPERT Score", 6000, 420, 1680);
    m_txtES = box(s, "txtES", 7740, 420, 720);
    for (QLineEdit* t : {m_txtBS, m_txtIS, m_txtES}) {
        t->setReadOnly(true);
        t->setEnabled(false);
    }

    m_cmdDefault = Make<QPushButton>(Body(), "cmdDefault", "Show &Default");
    Place(m_cmdDefault, 240, 5760, 2100, 420);
    m_cmdUpdate = Make<QPushButton>(Body(), "cmdUpdate", "&Update");
    Place(m_cmdUpdate, 2580, 5760, 2100, 420);
    m_CmdCancel = Make<QPushButton>(Body(), "CmdCancel", "&Cancel");
    Place(m_CmdCancel, 4920, 5760, 2100, 420);
    m_cmdNext = Make<QPushButton>(Body(), "cmdNext", "&Ok");
    Place(m_cmdNext, 7260, 5760, 2100, 420);
    m_cmdNext->setToolTip("Load the Mode selection form.");

    QWidget* order[] = {m_chkLinear,        m_chkAdaptive, m_txtNumOfExams, m_txtNoOfQues, m_txtPassPer,
                        m_txtMaxTime,       m_txtMaxScore, m_chkLearnMode,  m_chkExamMode, m_chkSimulatorMode,
                        m_chkPrevious,      m_chkReview,   m_cmdDefault,    m_cmdUpdate,   m_CmdCancel,
                        m_cmdNext,          m_txtExamName};
    for (size_t i = 1; i < std::size(order); ++i) QWidget::setTabOrder(order[i - 1], order[i]);

    OnClicked(m_cmdDefault, [this] { cmdDefault_Click(); });
    OnClicked(m_cmdUpdate, [this] { cmdUpdate_Click(); });
    OnClicked(m_CmdCancel, [this] { CmdCancel_Click(); });
    OnClicked(m_cmdNext, [this] { cmdNext_Click(); });
}

void TfrmAdminConfig::Form_Load() {
    const std::optional<AdminConfigRow> row = ReadAdminConfig(*gcnExam);
    if (!row) throw std::runtime_error("The exam configuration (AdminConfig) holds no row.");
    // The name can take the focus, to be read whole, but not be edited.
    m_txtExamName->setEnabled(true);
    show(configcheck::FromRow(*row));
}

FormValues TfrmAdminConfig::values() {
    FormValues v;
    v.ExamName = m_txtExamName->text();
    v.Linear = m_chkLinear->Value();
    v.Adaptive = m_chkAdaptive->Value();
    v.Exams = m_txtNumOfExams->text();
    v.NofQues = m_txtNoOfQues->text();
    v.PassPercentage = m_txtPassPer->text();
    v.MaxScore = m_txtMaxScore->text();
    v.MaxTime = m_txtMaxTime->text();
    v.BeginScore = m_txtBS->text();
    v.IntScore = m_txtIS->text();
    v.ExpScore = m_txtES->text();
    v.LearnMode = m_chkLearnMode->Value();
    v.ExamMode = m_chkExamMode->Value();
    v.SimulatorMode = m_chkSimulatorMode->Value();
    v.Previous = m_chkPrevious->Value();
    v.Review = m_chkReview->Value();
    return v;
}

void TfrmAdminConfig::show(const FormValues& v) {
    // Both type boxes follow the row: the adaptive box cannot be cleared by hand.
    m_chkLinear->SetValue(v.Linear);
    m_chkAdaptive->SetValue(v.Adaptive);
    m_txtExamName->setText(v.ExamName);
    m_txtNumOfExams->setText(v.Exams);
    m_txtNoOfQues->setText(v.NofQues);
    m_txtPassPer->setText(v.PassPercentage);
    m_txtMaxScore->setText(v.MaxScore);
    m_txtMaxTime->setText(v.MaxTime);
    m_txtBS->setText(v.BeginScore);
    m_txtIS->setText(v.IntScore);
    m_txtES->setText(v.ExpScore);
    m_chkLearnMode->SetValue(v.LearnMode);
    m_chkExamMode->SetValue(v.ExamMode);
    m_chkSimulatorMode->SetValue(v.SimulatorMode);
    m_chkPrevious->SetValue(v.Previous);
    m_chkReview->SetValue(v.Review);
}

bool TfrmAdminConfig::NumberChk(const QString& strNumToChk) { return configcheck::NumberChk(strNumToChk); }

bool TfrmAdminConfig::CheckForUpdate() {
    EnsureLoaded();
    const std::optional<AdminConfigRow> row = ReadAdminConfig(*gcnExam);
    if (!row) throw std::runtime_error("The exam configuration (AdminConfig) holds no row.");
    return configcheck::Matches(values(), *row);
}

// Shows the factory values; nothing is written until Update.
void TfrmAdminConfig::cmdDefault_Click() {
    const std::optional<AdminConfigRow> def = ReadAdminDef(*gcnExam);
    if (!def) throw std::runtime_error("The factory configuration (AdminDef) holds no row.");
    show(configcheck::FromRow(*def));
}

bool TfrmAdminConfig::storeConfig() {
    const std::optional<configcheck::Refusal> refusal = configcheck::Update(*gcnExam, values());
    if (refusal) {
        MsgBox(refusal->message, vbInformation, refusal->title);
        QWidget* focus = nullptr;
        switch (refusal->box) {
        case Box::ExamName: focus = m_txtExamName; break;
        case Box::NumOfExams: focus = m_txtNumOfExams; break;
        case Box::NoOfQues: focus = m_txtNoOfQues; break;
        case Box::PassPer: focus = m_txtPassPer; break;
        case Box::MaxScore: focus = m_txtMaxScore; break;
        case Box::MaxTime: focus = m_txtMaxTime; break;
        }
        focus->setFocus();
        return false;
    }
    MsgBox("Configuration Updated Successfully", vbOKOnly, "Update");
    return true;
}

void TfrmAdminConfig::cmdUpdate_Click() { storeConfig(); }

void TfrmAdminConfig::cmdNext_Click() {
    if (!CheckForUpdate() && MsgBox("Configuarion Changed,Do u want to update", vbYesNo, "Exam Configuration") == vbYes) {
        // A refused update keeps the window and the edits, with the focus in
        // the box to correct: closing now would throw the edits away.
        if (!storeConfig()) return;
    }
    gblnAdminMode = true;
    Unload();
}

void TfrmAdminConfig::CmdCancel_Click() { Unload(); }
