// Dragging an option: the press grips it, an outline follows the pointer,
// the rows scroll by themselves while the pointer is past the row area's top
// or bottom edge, and the release drops it on what lies under the pointer.
#include "frmDrag.h"

#include "exam/dragdrop.h"
#include "platform/runtime.h"

#include <QMouseEvent>

using namespace plat;

namespace {
QPoint bodyPos(QWidget* from, QMouseEvent* e, QWidget* body) {
    return from->mapTo(body, e->position().toPoint());
}
}  // namespace

int TfrmDrag::rowAreaTop() { return TopOf(m_fraDragNDrop) + TopOf(rows_); }
int TfrmDrag::rowAreaHeight() { return Twips(rows_->height()); }

// What lies under a point of the window, the outline aside: the window's
// background, a row's label, or something else (a frame, the header, a
// button, the scroll bar, the row area between the labels).
TfrmDrag::Hit TfrmDrag::hitAt(const QPoint& p) {
    QWidget* b = Body();
    if (!b->rect().contains(p)) return {};
    QWidget* w = b->childAt(p);
    if (!w) return {Spot::Background, 0, b};
    for (int n = 1; n <= mintRowCount; ++n) {
        if (w == m_lblQuestion(n)) return {Spot::Item, n, w};
        if (w == m_lblAnswer(n)) return {Spot::Slot, n, w};
        if (w == m_lblOption(n)) return {Spot::Option, n, w};
    }
    return {};
}

// ---------------------------------------------------------------- the drag

void TfrmDrag::lblOption_MouseDown(int n, QMouseEvent* e) {
    if (e->button() != Qt::LeftButton || mblnReadOnly || !m_lblOption(n)->isEnabled()) return;
    mintGrabX = Twips(e->position().toPoint().x());
    mintGrabY = Twips(e->position().toPoint().y());
    mblnDragMoved = false;
    beginDrag(n, bodyPos(m_lblOption(n), e, Body()));
}

// The first move of a gripped option brings the rows back to the top and
// starts the drag afresh; every move then counts as dragging over what lies
// under the pointer.
void TfrmDrag::lblOption_MouseMove(int n, QMouseEvent* e) {
    if (mintDragging != n || !(e->buttons() & Qt::LeftButton)) return;
    const QPoint p = bodyPos(m_lblOption(n), e, Body());
    if (!mblnDragMoved) {
        mblnDragMoved = true;
        m_vsbQuestion->setValue(0);
        m_Timer1->stop();
        beginDrag(n, p);
    }
    dragOver(p);
}

void TfrmDrag::lblOption_MouseUp(int n, QMouseEvent* e) {
    if (mintDragging != n || e->button() != Qt::LeftButton) return;
    const QPoint p = bodyPos(m_lblOption(n), e, Body());
    const Hit hit = hitAt(p);
    if (hit.spot == Spot::Slot) dropOnSlot(hit.row, p);
    // Scrolling by itself lasts only while an option is dragged.
    endDrag();
}

void TfrmDrag::beginDrag(int n, const QPoint& p) {
    mintDragging = n;
    QLabel* o = m_lblOption(n);
    outline_->setGeometry(p.x() - Px(mintGrabX), p.y() - Px(mintGrabY), o->width(), o->height());
    outline_->raise();
    outline_->setVisible(true);
}

void TfrmDrag::endDrag() {
    mintDragging = 0;
    mblnDragMoved = false;
    if (m_Timer1) m_Timer1->stop();
    if (outline_) outline_->setVisible(false);
}

// Past the row area's top or bottom edge over the window's background the
// rows scroll by themselves; over a row's label the rule below decides;
// anywhere else nothing changes.
void TfrmDrag::dragOver(const QPoint& p) {
    outline_->move(p.x() - Px(mintGrabX), p.y() - Px(mintGrabY));
    const Hit hit = hitAt(p);
    if (hit.spot == Spot::Background) {
        msngDragY = static_cast<float>(Twips(p.y()));
        m_Timer1->stop();
        const dragdrop::Over over = dragdrop::OverBackground(msngDragY, rowAreaTop(), rowAreaHeight());
        if (over.timerOn) {
            mblnScrollDown = over.down;
            m_Timer1->start();
        }
        return;
    }
    if (hit.spot == Spot::Item || hit.spot == Spot::Slot || hit.spot == Spot::Option) {
        msngDragY = static_cast<float>(Twips(hit.widget->mapFrom(Body(), p).y()));
        if (dragdrop::OverRowLabel(mintGrabY, TopOf(m_lblOption(hit.row)), rowAreaTop(), rowAreaHeight())) {
            mblnScrollDown = true;
            m_Timer1->start();
        } else {
            m_Timer1->stop();
        }
    }
}

// The slot takes a copy of the option (which stays in its column) only when
// the outline lies wholly inside it; the slot keeps its size.
void TfrmDrag::dropOnSlot(int slot, const QPoint& p) {
    QLabel* target = m_lblAnswer(slot);
    QLabel* option = m_lblOption(mintDragging);
    const QPoint at = target->mapFrom(Body(), p);
    const int dx = Twips(at.x()) - mintGrabX;
    const int dy = Twips(at.y()) - mintGrabY;
    const dragdrop::Size o{Twips(option->width()), Twips(option->height())};
    const dragdrop::Size s{Twips(target->width()), Twips(target->height())};
    if (!dragdrop::DropFits(dx, dy, o, s)) return;
    target->setText(option->text());
    mintSlotDrop[slot] = mintOptIndex[mintDragging];
}

// ---------------------------------------------------------------- scrolling

void TfrmDrag::Timer1_Timer() {
    if (!IsLoaded()) return;
    const int value = m_vsbQuestion->value();
    const dragdrop::Tick t =
        dragdrop::ScrollTick(mblnScrollDown, value, m_vsbQuestion->maximum(), msngDragY, rowAreaTop());
    if (t.value != value) m_vsbQuestion->setValue(t.value);
    if (!t.keepOn) m_Timer1->stop();
}

// Every row stands at its own Top less the scroll value.
void TfrmDrag::vsbQuestion_Change() {
    const int v = m_vsbQuestion->value();
    for (int n = 1; n <= mintRowCount; ++n) {
        const int top = mintRowTop[n] - v;
        SetTop(m_lblQuestion(n), top);
        SetTop(m_lblAnswer(n), top);
        SetTop(m_lblOption(n), top);
    }
}
