#include "FrmSettings.h"

#include "exam/frmExam.h"
#include "exam/frmMode.h"
#include "platform/convert.h"
#include "platform/runtime.h"
#include "startup/state.h"

#include <QAbstractItemView>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QScrollBar>
#include <QSignalBlocker>

#include <algorithm>
#include <variant>

using namespace plat;

TFrmSettings FrmSettings;

const QString TFrmSettings::kFormatString =
    QStringLiteral("< S.No |<Category                                             |<Beginer         |"
                   "<Intermediate  |Expert          ");

namespace {

// The frame's title takes the top of the frame; the grid sits below it.
constexpr int kGridLeft = 120;
constexpr int kGridTop = 390;

QLabel* label(QWidget* parent, const char* name, const QString& text, int left, int top, int width) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    l->setTextFormat(Qt::PlainText);
    Place(l, left, top, width, 300);
    return l;
}

QLineEdit* box(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* t = new QLineEdit(text, parent);
    t->setObjectName(QString::fromLatin1(name));
    Place(t, left, top - 45, 960, 360);
    return t;
}

// The keys a closed cell would take as a new value: the arrows and paging
// keys, and typing, which jumps to the entry it spells. Alt+Up and Alt+Down
// open and close the list, Space opens it.
bool MovesValue(const QKeyEvent* k) {
    switch (k->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down: return !(k->modifiers() & Qt::AltModifier);
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Left:
    case Qt::Key_Right: return true;
    default: break;
    }
    const QString text = k->text();
    return !text.isEmpty() && text.at(0).isPrint() && text.at(0) != u' ';
}

// In the open list only closing it, moving on and help are left to the keys:
// Return, Space and the rest would move the highlight or pick it.
bool PicksFromList(const QKeyEvent* k) {
    switch (k->key()) {
    case Qt::Key_Escape:
    case Qt::Key_F4:
    case Qt::Key_F1:
    case Qt::Key_Tab:
    case Qt::Key_Backtab: return false;
    case Qt::Key_Up:
    case Qt::Key_Down: return !(k->modifiers() & Qt::AltModifier);
    default: return true;
    }
}

// A cell's value is picked from its list with the mouse; keys never change
// it. The wheel over a closed cell scrolls the grid instead.
class MousePicksOnly : public QObject {
public:
    using QObject::QObject;

    void Watch(QComboBox* cell) {
        cell->installEventFilter(this);
        // After the list's own handling is in place, so these keys stop first.
        cell->view()->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* e) override {
        const bool closedCell = qobject_cast<QComboBox*>(watched) != nullptr;
        if (e->type() == QEvent::Wheel && closedCell) {
            e->ignore();  // goes on to the grid
            return true;
        }
        if (e->type() != QEvent::KeyPress) return false;
        const auto* k = static_cast<const QKeyEvent*>(e);
        return closedCell ? MovesValue(k) : PicksFromList(k);
    }
};

}  // namespace

void TFrmSettings::Build() {
    QWidget* b = Body();
    SetCaption("Settings");
    SetClientSize(9600, 8760);

    m_Label1 = Make<QLabel>(b, "Label1", "Create Your TEST");
    Place(m_Label1, 240, 180, 4200, 420);
    m_Label1->setFont(QFont("Book Antiqua", 12, QFont::Bold));

    // The source of the questions, and the shuffles.
    m_optAll = Make<OptionButton>(b, "optAll", "Select all the Questions");
    Place(m_optAll, 240, 780, 3960, 300);
    m_optAll->SetValue(true);
    m_optBookMark = Make<OptionButton>(b, "optBookMark", "Select Bookmarked Questions only");
    Place(m_optBookMark, 240, 1140, 3960, 300);
    m_optCustom = Make<OptionButton>(b, "optCustom", " Customize the Questions ");
    Place(m_optCustom, 240, 1500, 3960, 300);
    m_chkRandQuest = Make<CheckBox>(b, "chkRandQuest", " Randomize Questions");
    Place(m_chkRandQuest, 240, 1980, 3960, 300);
    m_chkRandAns = Make<CheckBox>(b, "chkRandAns", "Randomize Answers");
    Place(m_chkRandAns, 240, 2340, 3960, 300);

    // The count, the start and the time.
    m_lblQuestions = label(b, "lblQuestions", "Number of Questions ", 4560, 810, 2160);
    m_txtQuestNum = box(b, "txtQuestNum", QString(), 6840, 810);
    m_lblOf = label(b, "lblOf", "of", 7920, 810, 300);
    m_lblAvailQuest = label(b, "lblAvailQuest", "0", 8280, 810, 1080);
    m_Label2 = label(b, "Label2", "Starting From", 4560, 1260, 2160);
    m_txtStartFrom = box(b, "txtStartFrom", "1", 6840, 1260);
    m_lblExamDur = label(b, "lblExamDur", " Duration of the Exam", 4560, 1710, 2160);
    m_txtMin = box(b, "txtMin", QString(), 6840, 1710);
    m_lblMin = label(b, "lblMin", "Min", 7920, 1710, 600);

    // The custom grid: categories down, levels across, a list in each cell.
    m_frmCustom = Make<QGroupBox>(b, "frmCustom", "Custom");
    Place(m_frmCustom, 240, 2760, 9120, 5220);
    m_msgCustom = Make<QTableWidget>(m_frmCustom, "msgCustom");
    Place(m_msgCustom, kGridLeft, kGridTop, 8760, 4740);
    m_msgCustom->setColumnCount(5);
    m_msgCustom->setRowCount(2);
    m_msgCustom->horizontalHeader()->setVisible(false);
    m_msgCustom->verticalHeader()->setVisible(false);
    m_msgCustom->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_msgCustom->setSelectionMode(QAbstractItemView::NoSelection);
    m_msgCustom->setFocusPolicy(Qt::NoFocus);
    m_msgCustom->setWordWrap(false);

    auto* cmb0 = Make<QComboBox>(m_frmCustom, "cmbDiffLvl");
    cmb0->addItem("0");
    cmb0->setVisible(false);
    m_cmbDiffLvl.Reset("cmbDiffLvl", cmb0);
    mintCmbCount = 0;

    m_cmdBack = Make<QPushButton>(b, "cmdBack", " &BACK");
    Place(m_cmdBack, 5280, 8160, 1920, 420);
    m_cmdNext = Make<QPushButton>(b, "cmdNext", " &NEXT");
    Place(m_cmdNext, 7440, 8160, 1920, 420);

    BuildMenuStrip(Menus(), StripKind::Settings, menu_);

    m_optAll->OnClick([this] { optAll_Click(); });
    m_optBookMark->OnClick([this] { optBookMark_Click(); });
    m_optCustom->OnClick([this] { optCustom_Click(); });
    OnClicked(m_cmdNext, [this] { cmdNext_Click(); });
    OnClicked(m_cmdBack, [this] { cmdBack_Click(); });
    OnTriggered(menu_.exit, [this] { exit_Click(); });
}

void TFrmSettings::Form_Load() {
    m_frmCustom->setEnabled(false);
    mintTotQuests = setupcheck::CountQuestions(*gcnExam);
    m_lblAvailQuest->setText(QString::number(mintTotQuests));
    m_txtQuestNum->setText(QString::number(mintTotQuests));
    m_txtMin->setText("180");
    buildGrid();
    MarkAdminMode(menu_);
}

// ---------------------------------------------------------------- the grid

void TFrmSettings::buildGrid() {
    QTableWidget* g = m_msgCustom;
    const QStringList header = kFormatString.split(u'|');
    g->setRowCount(1);
    for (int c = 0; c < 5; ++c) {
        QString text = header.value(c);
        const bool left = text.startsWith(u'<');
        if (left) text.remove(0, 1);
        auto* item = new QTableWidgetItem(text);
        item->setFlags(Qt::ItemIsEnabled);
        item->setBackground(g->palette().button());
        item->setTextAlignment(Qt::AlignVCenter | (left ? Qt::AlignLeft : Qt::AlignHCenter));
        g->setItem(0, c, item);
    }

    const std::vector<setupcheck::GridRow> rows = setupcheck::ReadGrid(*gcnExam);
    auto* mouseOnly = new MousePicksOnly(m_frmCustom);
    int element = 0;
    for (const setupcheck::GridRow& row : rows) {
        const int r = g->rowCount();
        g->setRowCount(r + 1);
        const QString texts[2] = {QString::number(row.index), row.name};
        for (int c = 0; c < 2; ++c) {
            auto* item = new QTableWidgetItem(texts[c]);
            item->setFlags(Qt::ItemIsEnabled);
            item->setTextAlignment(Qt::AlignVCenter | Qt::AlignLeft);
            g->setItem(r, c, item);
        }
        for (int level = 0; level < 3; ++level) {
            QComboBox* cell = m_cmbDiffLvl.Load(++element);
            for (int n = 0; n <= row.counts[level]; ++n) cell->addItem(QString::number(n));
            cell->setCurrentIndex(cell->count() - 1);
            g->setCellWidget(r, 2 + level, cell);
            cell->setVisible(true);
            mouseOnly->Watch(cell);
            // A value picked (or set by code) changes the count.
            const auto index = static_cast<int16_t>(element);
            QObject::connect(cell, &QComboBox::currentIndexChanged, cell,
                             [this, index] { Guard([this, index] { cmbDiffLvl_Click(index); }); });
        }
    }
    mintCmbCount = CInt(element);
    sizeGrid();
}

// Columns as wide as their header captions (the category column also as its
// longest name), rows as tall as a cell's list; the grid as large as its
// cells, scrolling only when the frame cannot hold them all.
void TFrmSettings::sizeGrid() {
    QTableWidget* g = m_msgCustom;
    const QFontMetrics fm(g->font());
    const int pad = 8;
    int widths[5];
    for (int c = 0; c < 5; ++c) widths[c] = fm.horizontalAdvance(g->item(0, c)->text()) + pad;
    for (int r = 1; r < g->rowCount(); ++r)
        if (QTableWidgetItem* name = g->item(r, 1))
            widths[1] = std::max(widths[1], fm.horizontalAdvance(name->text()) + pad);
    widths[2] = widths[4] = widths[3];
    for (int c = 0; c < 5; ++c) g->setColumnWidth(c, widths[c]);

    const int cellHeight = m_cmbDiffLvl(0)->sizeHint().height() + Px(70);
    g->setRowHeight(0, fm.height() + pad);
    for (int r = 1; r < g->rowCount(); ++r) g->setRowHeight(r, cellHeight);

    const int frame = 2 * g->frameWidth();
    int width = frame, height = frame;
    for (int c = 0; c < 5; ++c) width += g->columnWidth(c);
    for (int r = 0; r < g->rowCount(); ++r) height += g->rowHeight(r);
    const int room = m_frmCustom->height() - Px(kGridTop) - Px(180);
    if (height > room) {
        height = room;
        width += g->verticalScrollBar()->sizeHint().width();
    }
    g->setGeometry(Px(kGridLeft), Px(kGridTop), width, height);
}

std::vector<int> TFrmSettings::cells() const {
    std::vector<int> v;
    for (int e = 1; e <= mintCmbCount; ++e)
        v.push_back(m_cmbDiffLvl.Exists(e) ? m_cmbDiffLvl(e)->currentText().trimmed().toInt() : 0);
    return v;
}

void TFrmSettings::cmbDiffLvl_Click(int16_t /*Index*/) {
    m_txtQuestNum->setText(QString::number(setupcheck::CellsSum(cells())));
}

// ---------------------------------------------------------------- sources

void TFrmSettings::optAll_Click() {
    m_lblAvailQuest->setText(QString::number(mintTotQuests));
    m_txtQuestNum->setReadOnly(false);
    m_txtStartFrom->setReadOnly(false);
    m_frmCustom->setEnabled(false);
}

void TFrmSettings::optBookMark_Click() {
    m_lblAvailQuest->setText(QString::number(setupcheck::CountBookmarks(*gcnExam)));
    m_txtQuestNum->setReadOnly(false);
    m_txtStartFrom->setReadOnly(false);
    m_frmCustom->setEnabled(false);
}

// The count is what the cells ask for, and the start does not apply.
void TFrmSettings::optCustom_Click() {
    m_lblAvailQuest->setText(QString::number(mintTotQuests));
    m_frmCustom->setEnabled(true);
    m_txtQuestNum->setText(QString::number(setupcheck::CellsSum(cells())));
    m_txtStartFrom->setText("1");
    m_txtQuestNum->setReadOnly(true);
    m_txtStartFrom->setReadOnly(true);
}

setupcheck::Source TFrmSettings::source() const {
    if (m_optCustom->Value()) return setupcheck::Source::Custom;
    if (m_optBookMark->Value()) return setupcheck::Source::BookMark;
    return setupcheck::Source::All;
}

QWidget* TFrmSettings::boxOf(setupcheck::Box box) const {
    switch (box) {
    case setupcheck::Box::StartFrom: return m_txtStartFrom;
    case setupcheck::Box::Min: return m_txtMin;
    case setupcheck::Box::QuestNum: break;
    }
    return m_txtQuestNum;
}

// ---------------------------------------------------------------- Next, Back, Exit

void TFrmSettings::cmdNext_Click() {
    setupcheck::Entries e;
    e.source = source();
    e.questNum = m_txtQuestNum->text();
    e.startFrom = m_txtStartFrom->text();
    e.min = m_txtMin->text();
    e.available = e.source == setupcheck::Source::BookMark ? m_lblAvailQuest->text().toLongLong() : mintTotQuests;
    e.cells = cells();
    const std::variant<setupcheck::Refusal, setupcheck::Start> checked = setupcheck::Check(e);
    if (const auto* refusal = std::get_if<setupcheck::Refusal>(&checked)) {
        MsgBox(refusal->message.text, vbInformation, refusal->message.title);
        boxOf(refusal->box)->setFocus();
        return;
    }
    const setupcheck::Start& s = std::get<setupcheck::Start>(checked);
    const bool randQuest = m_chkRandQuest->Value() == 1;
    const bool randAns = m_chkRandAns->Value() == 1;

    // The old run goes and the new one comes in one transaction; a refused
    // selection keeps this window with every entry and opens nothing.
    selection::Outcome outcome;
    {
        Transaction trans(*gcnExam);
        gcnExam->Execute("DELETE * from QuestIds");
        gcnExam->Execute("DELETE * from AnsIds");
        outcome = s.source == setupcheck::Source::Custom
                      ? fetchCustQuest(randQuest, randAns)
                      : fetchQuest(s.table, s.count, randQuest, randAns, s.start, {});
        if (outcome) trans.Commit();
    }
    if (!Report(outcome)) return;

    gintExamTime = s.minutes;
    // The exam window's load step starts the run; a bookmark run starts with
    // the question's bookmark box ticked.
    if (s.source == setupcheck::Source::BookMark) frmExam.TickLearnBookMark();
    else frmExam.Load();
    if (frmExam.IsLoaded()) frmExam.Show();
    Unload();
}

// Only the administrator's sign-in offers the exam configuration: a candidate
// may sign up under any name, the administrator's display name included.
void TFrmSettings::cmdBack_Click() {
    frmMode.ShowAfterSignIn(gblnAdminSignedIn);
    Unload();
}

void TFrmSettings::exit_Click() { Unload(); }

// ---------------------------------------------------------------- selection

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

selection::Outcome TFrmSettings::fetchQuest(const QString& strTblName, int16_t intMaxQuests, bool blnRandQuest,
                                            bool blnRandAns, int16_t intStartInd,
                                            const selection::Progress& progress) {
    selection::Rng rng = NewRng();
    return selection::FetchQuest(*gcnExam, strTblName.toStdString(), intMaxQuests, blnRandQuest, blnRandAns,
                                 intStartInd, gblnExamMode, gblnFullExam, rng, progress);
}

bool TFrmSettings::FetchQuest(const QString& strTblName, int16_t intMaxQuests, bool blnRandQuest, bool blnRandAns,
                              int16_t intStartInd, const selection::Progress& progress) {
    return Report(fetchQuest(strTblName, intMaxQuests, blnRandQuest, blnRandAns, intStartInd, progress));
}

// The source is always the question bank and the count is the cells' sum.
selection::Outcome TFrmSettings::fetchCustQuest(bool blnRandQuest, bool blnRandAns) {
    selection::CustomGrid grid;
    bool indexed = true;
    for (int r = 1; r < m_msgCustom->rowCount(); ++r) {
        QTableWidgetItem* name = m_msgCustom->item(r, 1);
        grid.categories.push_back(name ? name->text().toStdString() : std::string());
        QTableWidgetItem* index = m_msgCustom->item(r, 0);
        bool ok = false;
        const long long i = index ? index->text().toLongLong(&ok) : 0;
        indexed = indexed && ok;
        grid.indexes.push_back(i);
    }
    if (!indexed) grid.indexes.clear();
    grid.cells = cells();
    // Each cell is set once, quietly; the count is summed again once at the end.
    bool changed = false;
    grid.cellChanged = [this, &changed](int element, int value) {
        if (!m_cmbDiffLvl.Exists(element)) return;
        QComboBox* box = m_cmbDiffLvl(element);
        const QSignalBlocker quiet(box);
        changed = true;
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
    selection::Outcome outcome = selection::FetchCustQuest(*gcnExam, grid, blnRandQuest, blnRandAns, rng);
    if (changed) cmbDiffLvl_Click(0);
    return outcome;
}

bool TFrmSettings::FetchCustQuest(const QString& /*strTblName*/, int16_t /*intMaxQuests*/, bool blnRandQuest,
                                  bool blnRandAns) {
    EnsureLoaded();
    return Report(fetchCustQuest(blnRandQuest, blnRandAns));
}

bool TFrmSettings::RandAns(bool blnRandAns) {
    selection::Rng rng = NewRng();
    return Report(selection::RandAns(*gcnExam, blnRandAns, rng));
}
