// The form runtime: where a window opens over its owner, kept on the screen.
#include "form.h"

#include <QEvent>
#include <QPointer>
#include <QScreen>
#include <QWindow>

#include <algorithm>

namespace plat {

QRect PlaceOver(const QRect& ownerFrame, const QSize& size, const QMargins& frame, const QRect& room) {
    QRect outer(QPoint(0, 0), size.grownBy(frame));
    outer.moveCenter(ownerFrame.center());
    // Right and bottom edges first, so that a window too large for the room
    // ends with its left edge and title bar on it.
    outer.moveLeft(std::max(room.left(), std::min(outer.left(), room.left() + room.width() - outer.width())));
    outer.moveTop(std::max(room.top(), std::min(outer.top(), room.top() + room.height() - outer.height())));
    return outer.marginsRemoved(frame);
}

namespace {
QMargins reportedFrame(const QWidget* w) {
    if (!w) return {};
    const QWindow* handle = w->window()->windowHandle();
    return handle && handle->handle() ? handle->frameMargins() : QMargins();
}

// Places its window over the owner once more when the window is shown: the
// frame is known for certain only then.
class PlaceWhenShown : public QObject {
public:
    explicit PlaceWhenShown(QWidget* window) : QObject(window) { window->installEventFilter(this); }
    static PlaceWhenShown* Of(QWidget* window) {
        for (QObject* c : window->children())
            if (auto* p = dynamic_cast<PlaceWhenShown*>(c)) return p;
        return nullptr;
    }
    QPointer<QWidget> owner;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == parent() && e->type() == QEvent::Show && owner) {
            QWidget* w = static_cast<QWidget*>(parent());
            QWidget* o = owner;
            owner = nullptr;
            PlaceOverOwner(w, o);
        }
        return false;
    }
};
}  // namespace

QMargins FrameMargins(const QWidget* window, const QWidget* owner) {
    if (window->windowFlags() & Qt::FramelessWindowHint) return {};
    for (const QWidget* w : {window, owner}) {
        const QMargins m = reportedFrame(w);
        if (!m.isNull()) return m;
    }
    return kFrameAllowance;
}

void PlaceOverOwner(QWidget* window, QWidget* owner) {
    if (!owner || !window->isWindow()) return;
    owner = owner->window();
    // At the size it will show at: a window never sized takes its contents' size.
    if (!window->testAttribute(Qt::WA_Resized)) window->adjustSize();
    QScreen* screen = owner->screen();
    if (!screen) return;
    window->setGeometry(PlaceOver(owner->frameGeometry(), window->size(), FrameMargins(window, owner),
                                  screen->availableGeometry()));
    if (!window->isVisible()) {
        PlaceWhenShown* again = PlaceWhenShown::Of(window);
        if (!again) again = new PlaceWhenShown(window);
        again->owner = owner;
    }
}

}  // namespace plat
