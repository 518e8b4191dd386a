#include "frmDrag.h"

#include "exam/dragdrop.h"
#include "exam/frmExam.h"
#include "platform/runtime.h"
#include "startup/state.h"

#include <QFontMetrics>
#include <QRegularExpression>

#include <algorithm>
#include <random>

using namespace plat;

TfrmDrag frmDrag;

namespace {

// The row area: the frame that holds the rows (twips, in the window).
constexpr int kAreaLeft = 120, kAreaTop = 840, kAreaWidth = 8775, kAreaHeight = 5175;
// The widths at which the row texts wrap, and the templates' height.
constexpr int kItemWidth = 1050, kSlotWidth = 915, kOptionWidth = 825, kDesignHeight = 360;
// The row area lies this far inside the frame's border (pixels).
constexpr int kInset = 2;

QFont rowFont() {
    QFont f(QStringLiteral("Book Antiqua"));
    f.setPointSizeF(12.75);
    return f;
}

// The size a row label's text gives it: wrapped at its column's width, and
// as tall as its lines at the designed typeface's pitch (the frame drawn over
// the lines' outer leading). A single word wider than the column widens the
// label rather than being cut.
dragdrop::Size textSize(plat::WrapLabel* l, int designWidth) {
    const QFontMetrics fm(l->font());
    const QMargins m = l->contentsMargins();
    const int chrome = m.left() + m.right() + 2 * l->margin();
    int w = Px(designWidth);
    for (const QString& word : l->text().split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts))
        w = std::max(w, fm.horizontalAdvance(word) + chrome + 1);
    return {Twips(w), Twips(l->heightForWidth(w))};
}

}  // namespace

// ---------------------------------------------------------------- options

OptionLabel::OptionLabel(QWidget* parent) : plat::WrapLabel(parent) {}

void OptionLabel::OnMouse(Handler down, Handler move, Handler up) {
    down_ = std::move(down);
    move_ = std::move(move);
    up_ = std::move(up);
}

void OptionLabel::mousePressEvent(QMouseEvent* e) {
    if (down_) Guard([&] { down_(e); });
}
void OptionLabel::mouseMoveEvent(QMouseEvent* e) {
    if (move_) Guard([&] { move_(e); });
}
void OptionLabel::mouseReleaseEvent(QMouseEvent* e) {
    if (up_) Guard([&] { up_(e); });
}

// ---------------------------------------------------------------- the window

void TfrmDrag::Build() {
    QWidget* b = Body();
    SetCaption(" Drag and Drop");
    SetClientSize(8970, 6555);

    m_Frame2 = Make<QGroupBox>(b, "Frame2", QString());
    Place(m_Frame2, 120, 120, 8775, 615);
    m_lblQuestID = Make<QLabel>(m_Frame2, "lblQuestID", "QuestionID:");
    Place(m_lblQuestID, 120, 120, 1200, 300);
    m_lblQId = Make<QLabel>(m_Frame2, "lblQId", QString());
    m_lblQId->setTextFormat(Qt::PlainText);
    Place(m_lblQId, 1440, 120, 1200, 300);
    m_lblTime = Make<QLabel>(m_Frame2, "lblTime", "Time");
    Place(m_lblTime, 7320, 120, 1335, 300);
    QFont bold = m_lblTime->font();
    bold.setBold(true);
    m_lblTime->setFont(bold);

    m_fraDragNDrop = Make<QGroupBox>(b, "fraDragNDrop", QString());
    Place(m_fraDragNDrop, kAreaLeft, kAreaTop, kAreaWidth, kAreaHeight);
    rows_ = new QWidget(m_fraDragNDrop);
    rows_->setGeometry(m_fraDragNDrop->rect().adjusted(kInset, kInset, -kInset, -kInset));

    // The templates: word-wrapping labels in the rows' typeface. Row texts
    // show as stored: "&" stays "&", "<b>" is no markup.
    auto makeTemplate = [&](auto* label, const char* caption, int left, int width) {
        label->setText(QString::fromLatin1(caption));
        label->setFont(rowFont());
        Place(label, left, dragdrop::kFirstTop, width, kDesignHeight);
        label->setVisible(false);
    };
    auto* item0 = new WrapLabel(rows_);
    makeTemplate(item0, "Question", dragdrop::kItemLeft, kItemWidth);
    m_lblQuestion.Reset(QStringLiteral("lblQuestion"), item0, [](QWidget* p) { return new WrapLabel(p); });
    auto* slot0 = new WrapLabel(rows_);
    makeTemplate(slot0, "Answer", 1680, kSlotWidth);
    slot0->setFrameStyle(QFrame::Box | QFrame::Plain);
    m_lblAnswer.Reset(QStringLiteral("lblAnswer"), slot0, [](QWidget* p) {
        auto* l = new WrapLabel(p);
        l->setFrameStyle(QFrame::Box | QFrame::Plain);
        return l;
    });
    auto* option0 = new OptionLabel(rows_);
    makeTemplate(option0, "Option", 2745, kOptionWidth);
    option0->setFrameStyle(QFrame::Panel | QFrame::Raised);
    m_lblOption.Reset(QStringLiteral("lblOption"), option0, [](QWidget* p) {
        auto* l = new OptionLabel(p);
        l->setFrameStyle(QFrame::Panel | QFrame::Raised);
        l->setCursor(Qt::OpenHandCursor);
        return l;
    });

    m_vsbQuestion = Make<QScrollBar>(b, "vsbQuestion", Qt::Vertical);
    Place(m_vsbQuestion, 8640, 840, 255, 5175);
    m_vsbQuestion->setMinimum(0);
    m_vsbQuestion->setMaximum(0);
    // The rows move when the thumb is let go, not while it is dragged.
    m_vsbQuestion->setTracking(false);
    m_vsbQuestion->setVisible(false);
    QObject::connect(m_vsbQuestion, &QScrollBar::valueChanged, m_vsbQuestion,
                     [this] { Guard([this] { vsbQuestion_Change(); }); });

    m_Timer1 = new QTimer(Window());
    m_Timer1->setObjectName(QStringLiteral("Timer1"));
    m_Timer1->setInterval(10);
    QObject::connect(m_Timer1, &QTimer::timeout, m_Timer1, [this] { Guard([this] { Timer1_Timer(); }); });

    m_cmdClose = Make<QPushButton>(b, "cmdClose", "&Close");
    Place(m_cmdClose, 7320, 6120, 1455, 375);
    OnClicked(m_cmdClose, [this] { cmdClose_Click(); });

    // The dragged option's outline, above everything else; the pointer's
    // events go through it to what lies below.
    outline_ = new QFrame(b);
    outline_->setObjectName(QStringLiteral("dragOutline"));
    outline_->setFrameStyle(QFrame::Box | QFrame::Plain);
    outline_->setLineWidth(2);
    outline_->setAttribute(Qt::WA_TransparentForMouseEvents);
    outline_->setVisible(false);
}

// Opening: the rows of the question with the options in their kept order
// (or a new one) and the slots as last left. Nothing is written here: the
// answer stays stored as it was until the window closes.
void TfrmDrag::Form_Load() {
    m_lblQId->setText(QString::number(gintCurQId));
    m_vsbQuestion->setVisible(false);
    mintRowCount = 0;
    mintRowIndex.assign(1, 0);
    mintOptIndex.assign(1, 0);
    mintSlotDrop.assign(1, 0);
    mintRowTop.assign(1, TopOf(m_lblQuestion(0)));
    mintDragging = 0;
    mblnDragMoved = false;
    mblnShowAnswer = frmExam.mblnFromShAns;
    mblnReadOnly = mblnShowAnswer || gblnFromResults;

    mlngQId = gintCurQId;
    const std::vector<dragdrop::Row> rows = dragdrop::ReadRows(*gcnExam, gintCurQId);
    std::mt19937 gen{std::random_device{}()};
    const std::vector<long long> order = dragdrop::OptionOrder(rows, gen);
    const std::vector<long long> drops =
        mblnShowAnswer ? std::vector<long long>(rows.size(), 0) : dragdrop::StoredDrops(rows);
    for (size_t i = 0; i < rows.size(); ++i) {
        const dragdrop::Row* option = dragdrop::Find(rows, order[i]);
        const dragdrop::Row* dropped = dragdrop::Find(rows, drops[i]);
        const QString slot = mblnShowAnswer ? rows[i].answer : dropped ? dropped->answer : QString();
        mintRowIndex.push_back(rows[i].index);
        mintOptIndex.push_back(order[i]);
        mintSlotDrop.push_back(drops[i]);
        loadRow(static_cast<int>(i) + 1, rows[i].question, option ? option->answer : QString(), slot);
        mintRowCount = static_cast<int>(i + 1);
    }
    layOutRows();
    m_lblQuestion(0)->setVisible(false);
    m_lblAnswer(0)->setVisible(false);
    m_lblOption(0)->setVisible(false);
    msngDragY = static_cast<float>(TopOf(m_fraDragNDrop));
}

void TfrmDrag::loadRow(int n, const QString& item, const QString& option, const QString& slot) {
    WrapLabel* q = m_lblQuestion.Load(n);
    q->setText(item);
    WrapLabel* a = m_lblAnswer.Load(n);
    a->setText(slot);
    OptionLabel* o = m_lblOption.Load(n);
    o->setText(option);
    o->OnMouse([this, n](QMouseEvent* e) { lblOption_MouseDown(n, e); },
               [this, n](QMouseEvent* e) { lblOption_MouseMove(n, e); },
               [this, n](QMouseEvent* e) { lblOption_MouseUp(n, e); });
    for (WrapLabel* l : {q, a, static_cast<WrapLabel*>(o)}) {
        l->setEnabled(!mblnReadOnly);
        l->setVisible(true);
    }
}

// Columns as wide as their widest text, every label as tall as the tallest,
// rows one under the other; the scroll bar shows when they overflow the area.
void TfrmDrag::layOutRows() {
    std::vector<dragdrop::Size> items, slotSizes, options;
    for (int n = 1; n <= mintRowCount; ++n) {
        items.push_back(textSize(m_lblQuestion(n), kItemWidth));
        slotSizes.push_back(textSize(m_lblAnswer(n), kSlotWidth));
        options.push_back(textSize(m_lblOption(n), kOptionWidth));
    }
    const dragdrop::Layout l = dragdrop::LayOut(items, slotSizes, options, rowAreaHeight());
    for (int n = 1; n <= mintRowCount; ++n) {
        const int top = l.tops[n - 1];
        mintRowTop.push_back(top);
        Place(m_lblQuestion(n), l.itemLeft, top, l.itemWidth, l.itemHeight);
        Place(m_lblAnswer(n), l.slotLeft, top, l.slotWidth, l.slotHeight);
        Place(m_lblOption(n), l.optionLeft, top, l.optionWidth, l.optionHeight);
    }
    m_vsbQuestion->setMaximum(l.scrollMax);
    m_vsbQuestion->setValue(0);
    m_vsbQuestion->setSingleStep(l.tops.size() > 1 ? l.tops[1] - l.tops[0] : kDesignHeight);
    m_vsbQuestion->setPageStep(rowAreaHeight());
    m_vsbQuestion->setVisible(l.scrolls);
}

// Closing stores the answer: for every row the option dropped on its slot
// (or none) and the option beside it, together. Show Answer's opening stores
// nothing and hands the exam window its flag back.
void TfrmDrag::Form_Unload(bool& /*cancel*/) {
    m_Timer1->stop();
    endDrag();
    if (mblnShowAnswer || frmExam.mblnFromShAns) {
        frmExam.mblnFromShAns = false;
        return;
    }
    const std::vector<long long> rows(mintRowIndex.begin() + 1, mintRowIndex.end());
    const std::vector<long long> options(mintOptIndex.begin() + 1, mintOptIndex.end());
    const std::vector<long long> drops(mintSlotDrop.begin() + 1, mintSlotDrop.end());
    dragdrop::Save(*gcnExam, mlngQId, rows, options, drops);
}

void TfrmDrag::cmdClose_Click() { Unload(); }

void TfrmDrag::ShowTime(const QString& text) {
    if (IsLoaded()) m_lblTime->setText(text);
}
