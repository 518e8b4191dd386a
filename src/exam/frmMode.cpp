#include "frmMode.h"

#include "config/frmAdminConfig.h"
#include "exam/FrmSettings.h"
#include "exam/frmExam.h"
#include "platform/convert.h"
#include "platform/runtime.h"
#include "results/frmResBrief.h"
#include "signin/frmLogin.h"
#include "startup/adminconfig.h"
#include "startup/state.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <stdexcept>

using namespace plat;

TfrmMode frmMode;

const QString TfrmMode::kQuickHelp = QStringLiteral(
    "\r\n"
    "1. Learn Mode allows you to create your own exam on \r\n"
    "    editing various parameters like Number of \r\n"
    "    Questions,Time Limit, Selecting Book Marked \r\n"
    "    Questions, Customizing the Questions according to \r\n"
    "    Difficulty Level, Randomizing the Question and \r\n"
    "    Answers etc\r\n"
    "\r\n"
    "2. Exam Mode gives you mock exams based on the \r\n"
    "    given certification exam pattern. It has two types, \r\n"
    "    Linear and Adaptive type. Linear Type exam \r\n"
    "    displays the questions randomly and Adaptive type \r\n"
    "    displays question in the order of Difficulty Level. \r\n"
    "    Each type is futher splited into as many exams \r\n"
    "    according to the number of questions available.\r\n"
    "\r\n"
    "3. Open Results displays the previously saved result\r\n");

void TfrmMode::Build() {
    QWidget* b = Body();
    SetCaption("Mode");
    SetClientSize(10200, 5820);

    m_lblMode = Make<QLabel>(b, "lblMode", "SELECT A MODE");
    Place(m_lblMode, 240, 120, 4800, 360);
    m_lblMode->setFont(QFont("Book Antiqua", 12, QFont::Bold));

    m_fraMode = Make<QGroupBox>(b, "fraMode", QString());
    Place(m_fraMode, 240, 540, 4800, 4440);
    QWidget* f = m_fraMode;
    m_optLearn = Make<OptionButton>(f, "optLearn", " &LEARN MODE");
    Place(m_optLearn, 240, 300, 2280, 300);
    m_optExam = Make<OptionButton>(f, "optExam", " &EXAM MODE");
    Place(m_optExam, 240, 720, 2280, 300);

    m_frmExamType = Make<QGroupBox>(f, "frmExamType", "Select the Exam Type");
    Place(m_frmExamType, 240, 1140, 2280, 960);
    m_optLinear = Make<OptionButton>(m_frmExamType, "optLinear", "Linear");
    Place(m_optLinear, 120, 330, 1800, 270);
    m_optAdaptive = Make<OptionButton>(m_frmExamType, "optAdaptive", "Adaptive");
    Place(m_optAdaptive, 120, 630, 1800, 270);
    m_optAdaptive->setEnabled(false);

    m_optResults = Make<OptionButton>(f, "optResults", "OPEN RESULTS");
    Place(m_optResults, 240, 2400, 2280, 300);
    m_optConfig = Make<OptionButton>(f, "optConfig", "EXAM CONFIGURATION");
    Place(m_optConfig, 240, 2820, 2520, 300);
    m_optConfig->setVisible(false);

    m_frmExams = Make<QGroupBox>(f, "frmExams", "Select The Exam");
    Place(m_frmExams, 2880, 300, 1800, 3960);
    auto* exam0 = Make<OptionButton>(m_frmExams, "optExamNum", "Exam");
    Place(exam0, 120, 330, 1335, 300);
    m_optExamNum.Reset("optExamNum", exam0);
    m_frmExams->setEnabled(false);

    m_Label1 = Make<QLabel>(b, "Label1", "Quick Help");
    Place(m_Label1, 5280, 120, 4680, 360);
    m_txtGuide = Make<QPlainTextEdit>(b, "txtGuide");
    Place(m_txtGuide, 5280, 540, 4680, 4440);
    m_txtGuide->setFont(QFont("Arial", 8));
    m_txtGuide->setLineWrapMode(QPlainTextEdit::NoWrap);
    FixedText(m_txtGuide, kQuickHelp);

    m_prgMode = Make<QProgressBar>(b, "prgMode");
    Place(m_prgMode, 240, 5220, 4800, 300);
    m_prgMode->setMaximum(11);

    m_cmdBack = Make<QPushButton>(b, "cmdBack", "&BACK");
    Place(m_cmdBack, 5280, 5160, 2220, 420);
    m_cmdNext = Make<QPushButton>(b, "cmdNext", " &NEXT");
    Place(m_cmdNext, 7740, 5160, 2220, 420);
    m_cmdNext->setDefault(true);

    BuildMenuStrip(Menus(), StripKind::Mode, menu_);

    m_optLearn->OnClick([this] { optLearn_Click(); });
    m_optExam->OnClick([this] { optExam_Click(); });
    m_optLinear->OnClick([this] { optLinear_Click(); });
    m_optAdaptive->OnClick([this] { optAdaptive_Click(); });
    m_optResults->OnClick([this] { optResults_Click(); });
    OnClicked(m_cmdNext, [this] { cmdNext_Click(); });
    OnClicked(m_cmdBack, [this] { cmdBack_Click(); });
    OnTriggered(menu_.lm, [this] { mnuLM_Click(); });
    OnTriggered(menu_.savRes, [this] { mnuSavRes_Click(); });
    OnTriggered(menu_.exit, [this] { mnuExit_Click(); });
    menu_.examLin.OnClick([this](int i) { mnuExamLin_Click(CInt(i)); });
    menu_.examAdap.OnClick([this](int i) { mnuExamAdap_Click(CInt(i)); });
}

void TfrmMode::Form_Load() {
    const std::optional<AdminConfigRow> cfg = ReadAdminConfig(*gcnExam);
    if (!cfg) throw std::runtime_error("The exam configuration (AdminConfig) holds no row.");
    if (!cfg->LearnMode) m_optLearn->setEnabled(false);
    if (!cfg->ExamMode) {
        m_optExam->setEnabled(false);
        m_frmExamType->setEnabled(false);
        m_frmExams->setEnabled(false);
    } else {
        const QString& etype = cfg->Etype;
        if (etype == "L") {
            m_optAdaptive->setEnabled(false);
            m_optLinear->SetValue(true);
            SetMenuEnabled(menu_.cmLin, true);
        } else if (etype == "A") {
            m_optLinear->setEnabled(false);
            m_optExam->SetValue(true);
            m_optAdaptive->SetValue(true);
            SetMenuEnabled(menu_.cmAdap, true);
        } else if (etype == "B") {
            m_optLearn->SetValue(true);
            m_optLinear->SetValue(false);
        }

        // The numbered exams, one below the other, then the full exam; the
        // first is chosen. Both exam menus list the same items. The first sits
        // clear of the frame's title, which is taller here than the design's.
        mintExams = CInt(cfg->Exams);
        OptionButton* t0 = m_optExamNum(0);
        const int count = std::max<int>(mintExams, 0) + 1;
        int top = 330;
        for (int i = 1; i <= count; ++i) {
            const QString caption = i < count ? t0->text() + QString::number(i) : QStringLiteral("Full Exam");
            OptionButton* o = m_optExamNum.Load(i);
            o->setVisible(true);
            SetLeft(o, LeftOf(t0));
            SetTop(o, top);
            o->setText(caption);
            if (i == 1) o->SetValue(true);
            menu_.examLin.Load(i)->setText(caption);
            menu_.examAdap.Load(i)->setText(caption);
            top += 300;
        }
        t0->setVisible(false);
        menu_.examLin(0)->setVisible(false);
        menu_.examAdap(0)->setVisible(false);
    }
    gintExamLimit = 0;
    gintAdapScore = 0;
    MarkAdminMode(menu_);
    gblnExamMode = false;
    gblnAdaptive = false;
    gblnFromResults = false;
    m_prgMode->setVisible(false);
    m_prgMode->setMaximum(11);
}

// ---------------------------------------------------------------- options

void TfrmMode::optLearn_Click() {
    m_frmExamType->setEnabled(true);
    m_frmExams->setEnabled(true);
    m_optLinear->SetValue(false);
    m_optAdaptive->SetValue(false);
    m_frmExams->setEnabled(false);
}

void TfrmMode::optExam_Click() {
    m_frmExamType->setEnabled(true);
    m_frmExams->setEnabled(true);
    m_optLinear->SetValue(true);
    m_frmExams->setEnabled(true);
}

void TfrmMode::optLinear_Click() {
    m_frmExams->setEnabled(true);
    m_optExam->SetValue(true);
}

void TfrmMode::optAdaptive_Click() {
    m_frmExams->setEnabled(true);
    m_optExam->SetValue(true);
}

void TfrmMode::optResults_Click() {
    m_frmExamType->setEnabled(true);
    m_optLinear->SetValue(false);
    m_optAdaptive->SetValue(false);
    m_frmExams->setEnabled(false);
}

// ---------------------------------------------------------------- Next

void TfrmMode::cmdNext_Click() {
    const std::optional<AdminConfigRow> cfg = ReadAdminConfig(*gcnExam);
    if (cfg) gstrExamName = cfg->ExamName;

    if (m_optLearn->Value()) {
        FrmSettings.Show();
    } else if (m_optExam->Value()) {
        if (!ExamStart(cfg)) return;
    } else if (m_optResults->Value()) {
        frmResBrief.Show();
    } else if (m_optConfig->Value()) {
        // The configuration window opens over this one, which stays.
        frmAdminConfig.Show();
        gvarExamDate = QDate::currentDate();
        gvarExamTime = QTime::currentTime();
        return;
    } else {
        MsgBox("Please Select a Option", vbInformation, "Select Option");
        return;
    }
    Unload();
    gvarExamDate = QDate::currentDate();
    gvarExamTime = QTime::currentTime();
}

void TfrmMode::ShowAfterSignIn(bool administrator) {
    Show();
    if (administrator) m_optConfig->setVisible(true);
}

void TfrmMode::SetProgress(int value) {
    if (!IsLoaded()) return;
    m_prgMode->setValue(value);
    // Every value is kept, but while questions are drawn the bar is drawn at
    // most once a frame: a selection sets several values within milliseconds.
    if (progressPainted_.isValid() && progressPainted_.elapsed() >= 16) {
        m_prgMode->repaint();
        progressPainted_.start();
    }
}

// Fixes the run's state, draws the exam's questions and opens the exam window.
// Returns false, leaving this window as it was, when no run could be drawn.
bool TfrmMode::ExamStart(const std::optional<AdminConfigRow>& cfg) {
    m_prgMode->setVisible(true);
    // The bar is drawn once a frame has passed since the click: a selection
    // that ends sooner is never held up by drawing it.
    progressPainted_.start();
    gblnExamMode = true;
    if (cfg) {
        gintExamTime = CInt(cfg->MaxTime);
        gintNofQues = CInt(cfg->NofQues);
    }
    // The old run goes and the new one comes in one transaction: a kill in
    // between leaves the former run whole.
    Transaction trans(*gcnExam);
    gcnExam->Execute("DELETE * from QuestIds");
    gcnExam->Execute("DELETE * from AnsIds");
    if (m_optLinear->Value()) {
        gintExamLimit = gintNofQues;
        SetProgress(1);
    } else {
        if (!cfg) throw std::runtime_error("The exam configuration (AdminConfig) holds no row.");
        gblnAdaptive = true;
        gintBeginScore = CInt(cfg->BeginScore);
        gintIntScore = CInt(cfg->IntScore);
        gintExpScore = CInt(cfg->ExpScore);
        gintExamLimit = CInt(static_cast<long long>(gintBeginScore) * gintNofQues);
    }

    int k = 0;
    for (int i = 1; i <= mintExams; ++i) {
        if (m_optExamNum.Exists(i) && m_optExamNum(i)->Value()) {
            k = i;
            break;
        }
    }
    const bool full = k == 0;
    int16_t start = 1;
    if (full) {
        k = mintExams + 1;
        gblnFullExam = true;
    } else {
        start = CInt(static_cast<long long>(k - 1) * gintNofQues + 1);
    }

    if (!FrmSettings.FetchQuest("Questions", gintNofQues, true, false, start,
                                [this](int v) { SetProgress(v); })) {
        // Nothing was drawn: back to the state this window's load leaves.
        m_prgMode->setVisible(false);
        gblnExamMode = false;
        gblnAdaptive = false;
        gblnFullExam = false;
        gintExamLimit = 0;
        return false;
    }
    trans.Commit();
    SetProgress(10);
    SetProgress(11);
    // The exam window's load step starts the run; with no time at all it ends
    // the run at once and closes again, and is then neither captioned nor shown.
    frmExam.Load();
    if (frmExam.IsLoaded())
        frmExam.SetCaption(full ? QStringLiteral("Full Exam") : QStringLiteral(" Exam") + QString::number(k));
    m_prgMode->setVisible(false);
    if (frmExam.IsLoaded()) frmExam.Show();
    return true;
}

// ---------------------------------------------------------------- menus, Back

void TfrmMode::mnuLM_Click() {
    m_optLearn->SetValue(true);
    cmdNext_Click();
}

void TfrmMode::mnuSavRes_Click() {
    m_optResults->SetValue(true);
    cmdNext_Click();
}

// With exam mode switched off no numbered exam exists, and the menus' template
// item starts nothing.
void TfrmMode::mnuExamLin_Click(int16_t Index) {
    if (Index < 1 || !m_optExamNum.Exists(Index)) return;
    m_optExam->SetValue(true);
    m_optLinear->SetValue(true);
    m_optExamNum(Index)->SetValue(true);
    cmdNext_Click();
}

void TfrmMode::mnuExamAdap_Click(int16_t Index) {
    if (Index < 1 || !m_optExamNum.Exists(Index)) return;
    m_optExam->SetValue(true);
    m_optAdaptive->SetValue(true);
    m_optExamNum(Index)->SetValue(true);
    cmdNext_Click();
}

void TfrmMode::cmdBack_Click() {
    frmLogin.Show();
    Unload();
}

void TfrmMode::mnuExit_Click() { Unload(); }
