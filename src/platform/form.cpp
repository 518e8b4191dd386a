#include "form.h"

#include "convert.h"
#include "runtime.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QHash>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QMenuBar>
#include <QRawFont>
#include <QShortcut>
#include <QTextLayout>
#include <QTimer>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <optional>

namespace plat {

// ---------------------------------------------------------------- twips

void Place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(Px(left), Px(top), Px(width), Px(height));
}
QFont DesignFont() { return QFont(QStringLiteral("Arial"), 8); }

void InstallDesignFonts() {
    QFont::insertSubstitution(QStringLiteral("Book Antiqua"), QStringLiteral("P052"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Nimbus Sans"));
}

void MaskPassword(QLineEdit* box) {
    box->setEchoMode(QLineEdit::Password);
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
}

bool RefuseControlChars(QWidget* box, const QString& text, const QString& what, const QString& title) {
    if (!HasControlChars(text)) return false;
    MsgBox(QStringLiteral("The %1 cannot contain control characters such as tabs or line breaks.").arg(what),
           vbInformation, title);
    box->setFocus();
    return true;
}

void FixedText(QPlainTextEdit* box, const QString& text) {
    box->setReadOnly(true);
    box->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    box->document()->setDocumentMargin(2);
    box->setPlainText(text);
}

// ---------------------------------------------------------------- text

namespace {

// The typographic ascent, descent and line gap of the face (OS/2 table), in
// font units, or nothing when the face has no such table.
struct TypoMetrics {
    double ascent = 0, descent = 0, gap = 0, unitsPerEm = 0;
};
std::optional<TypoMetrics> typoMetrics(const QFont& font) {
    const QRawFont raw = QRawFont::fromFont(font);
    if (!raw.isValid() || raw.unitsPerEm() <= 0) return std::nullopt;
    const QByteArray os2 = raw.fontTable("OS/2");
    // sTypoAscender, sTypoDescender and sTypoLineGap stand at bytes 68 to 73.
    if (os2.size() < 74) return std::nullopt;
    const auto at = [&](int offset) { return static_cast<double>(qFromBigEndian<qint16>(os2.constData() + offset)); };
    TypoMetrics m{at(68), -at(70), at(72), raw.unitsPerEm()};
    if (m.ascent <= 0 || m.descent < 0 || m.gap < 0) return std::nullopt;
    return m;
}

}  // namespace

LineMetrics DesignLineMetrics(const QFont& font) {
    static QHash<QString, LineMetrics> cache;
    const QString key = font.key();
    if (auto it = cache.constFind(key); it != cache.constEnd()) return *it;
    const QFontMetricsF fm(font);
    LineMetrics m{static_cast<int>(std::lround(fm.lineSpacing())),
                  static_cast<int>(std::lround(fm.ascent() + fm.leading() / 2))};
    if (const std::optional<TypoMetrics> t = typoMetrics(font)) {
        const double px = QFontInfo(font).pixelSize() > 0 ? QFontInfo(font).pixelSize() : fm.height();
        const double scale = px / t->unitsPerEm;
        const int pitch = static_cast<int>(std::lround((t->ascent + t->descent + t->gap) * scale));
        if (pitch > 0 && pitch < m.pitch) {
            m.pitch = pitch;
            // The ink's box centred in the line: half the gap above, half below.
            m.baseline = static_cast<int>(std::lround((t->ascent + t->gap / 2) * scale));
        }
    }
    cache.insert(key, m);
    return m;
}

namespace {

// Stored text as one paragraph whose line breaks are kept as breaks.
QString layoutText(QString text) {
    text.replace(QStringLiteral("\r\n"), QString(QChar::LineSeparator));
    text.replace(u'\r', QChar::LineSeparator);
    text.replace(u'\n', QChar::LineSeparator);
    return text;
}

// Breaks the text into lines at `width`; each line's top at its pitch.
int layOutLines(QTextLayout& layout, const QString& text, const QFont& font, int width) {
    layout.setText(layoutText(text));
    layout.setFont(font);
    QTextOption option(Qt::AlignLeft);
    option.setWrapMode(QTextOption::WordWrap);
    layout.setTextOption(option);
    const LineMetrics m = DesignLineMetrics(font);
    int lines = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(std::max(1, width));
        line.setPosition(QPointF(0, lines * m.pitch + m.baseline - line.ascent()));
        ++lines;
    }
    layout.endLayout();
    return lines;
}

}  // namespace

WrapLabel::WrapLabel(QWidget* parent) : QLabel(parent) {
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

int WrapLabel::textWidth(int width) const {
    const QMargins c = contentsMargins();
    return width - c.left() - c.right() - 2 * margin();
}

int WrapLabel::heightForWidth(int width) const {
    QTextLayout layout;
    const int lines = std::max(1, layOutLines(layout, text(), font(), textWidth(width)));
    return lines * DesignLineMetrics(font()).pitch;
}

QSize WrapLabel::sizeHint() const { return QSize(width(), heightForWidth(width())); }
QSize WrapLabel::minimumSizeHint() const { return QSize(0, DesignLineMetrics(font()).pitch); }

void WrapLabel::paintEvent(QPaintEvent* /*e*/) {
    QPainter p(this);
    drawFrame(&p);
    if (text().isEmpty()) return;
    QTextLayout layout;
    layOutLines(layout, text(), font(), textWidth(width()));
    const QPalette::ColorGroup group =
        !isEnabled() ? QPalette::Disabled : isActiveWindow() ? QPalette::Active : QPalette::Inactive;
    p.setPen(palette().color(group, foregroundRole()));
    layout.draw(&p, QPointF(contentsMargins().left() + margin(), 0));
}

// ---------------------------------------------------------------- readable disabled text

double RelativeLuminance(const QColor& c) {
    const auto channel = [](double v) {
        return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b) {
    const double la = RelativeLuminance(a), lb = RelativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

namespace {

// Drawn text is smoothed: a stroke thinner than a pixel (the stem of a "1" at
// eight points) comes out lighter than its colour, so the colour keeps a
// margin above the readable contrast.
constexpr double kInkMargin = 1.4;

QPalette::ColorRole groundOf(QPalette::ColorRole text) {
    switch (text) {
    case QPalette::Text: return QPalette::Base;
    case QPalette::ButtonText: return QPalette::Button;
    default: return QPalette::Window;
    }
}

// Sets the disabled colour of each text role to its active colour dimmed
// toward its ground as far as it stays readable on every ground.
void readableWhenDisabled(QWidget* w, std::initializer_list<QPalette::ColorRole> roles) {
    QPalette pal = w->palette();
    // Every ground disabled text may stand on: the window, the text boxes and
    // the buttons, in either state, and a frame's fill, a shade darker.
    std::vector<QColor> grounds;
    for (QPalette::ColorGroup g : {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
        for (QPalette::ColorRole r : {QPalette::Window, QPalette::Base, QPalette::Button}) {
            grounds.push_back(pal.color(g, r));
            grounds.push_back(pal.color(g, r).darker(110));
        }
    const auto readable = [&](const QColor& c) {
        return std::all_of(grounds.begin(), grounds.end(),
                           [&](const QColor& g) { return ContrastRatio(c, g) >= kReadableContrast * kInkMargin; });
    };
    for (QPalette::ColorRole role : roles) {
        const QColor text = pal.color(QPalette::Active, role);
        const QColor ground = pal.color(QPalette::Active, groundOf(role));
        QColor chosen = text;
        for (int step = 10; step > 0; --step) {
            const double t = step * 0.05;
            const QColor c = QColor::fromRgbF(static_cast<float>(text.redF() + (ground.redF() - text.redF()) * t),
                                              static_cast<float>(text.greenF() + (ground.greenF() - text.greenF()) * t),
                                              static_cast<float>(text.blueF() + (ground.blueF() - text.blueF()) * t));
            if (readable(c.toRgb())) {
                chosen = c.toRgb();
                break;
            }
        }
        pal.setColor(QPalette::Disabled, role, chosen);
    }
    w->setPalette(pal);
}

}  // namespace

int LeftOf(const QWidget* w) { return Twips(w->x()); }
int TopOf(const QWidget* w) { return Twips(w->y()); }
void SetLeft(QWidget* w, int twips) { w->move(Px(twips), w->y()); }
void SetTop(QWidget* w, int twips) { w->move(w->x(), Px(twips)); }

// ---------------------------------------------------------------- controls

OptionButton::OptionButton(const QString& caption, QWidget* parent) : QRadioButton(caption, parent) {
    // The group is the options directly inside the same container. Qt's own
    // auto-exclusivity searches every button below the parent, options in nested
    // frames included, and then clears the wrong one; so the group is kept here.
    setAutoExclusive(false);
    connect(this, &QRadioButton::toggled, this, [this](bool on) {
        if (!on) return;
        if (QWidget* p = parentWidget()) {
            for (OptionButton* o : p->findChildren<OptionButton*>(Qt::FindDirectChildrenOnly))
                if (o != this && o->isChecked()) o->setChecked(false);
        }
        if (click_) Guard(click_);
    });
}

void OptionButton::nextCheckState() {
    if (!isChecked()) setChecked(true);
}

void OptionButton::keyPressEvent(QKeyEvent* e) {
    const bool back = e->key() == Qt::Key_Up || e->key() == Qt::Key_Left;
    const bool on = e->key() == Qt::Key_Down || e->key() == Qt::Key_Right;
    if ((!back && !on) || (e->modifiers() & ~Qt::KeypadModifier)) {
        QRadioButton::keyPressEvent(e);
        return;
    }
    // Qt moves the focus alone for options that are not auto-exclusive, and
    // Enter would then start the option left behind.
    QWidget* w = this;
    do {
        w = back ? w->previousInFocusChain() : w->nextInFocusChain();
        auto* o = qobject_cast<OptionButton*>(w);
        if (o && o->parentWidget() == parentWidget() && o->isVisibleTo(window()) && o->isEnabled()) {
            o->setFocus(back ? Qt::BacktabFocusReason : Qt::TabFocusReason);
            o->click();
            return;
        }
    } while (w && w != this);
    e->accept();
}

void OptionButton::SetValue(bool selected) {
    if (selected) {
        setChecked(true);
        // The click handler it ran may have ended the program.
        ThrowIfEnding();
        return;
    }
    // Clearing by code leaves the group with none selected and runs nothing.
    if (isChecked()) setChecked(false);
}

CheckBox::CheckBox(const QString& caption, QWidget* parent) : QCheckBox(caption, parent) {
    connect(this, &QCheckBox::toggled, this, [this](bool) {
        if (click_) Guard(click_);
    });
}

void CheckBox::SetValue(int v) {
    setChecked(v != 0);
    ThrowIfEnding();
}

void OnClicked(QAbstractButton* b, std::function<void()> handler) {
    QObject::connect(b, &QAbstractButton::clicked, b, [h = std::move(handler)] { Guard(h); });
}

void OnTriggered(QAction* a, std::function<void()> handler) {
    QObject::connect(a, &QAction::triggered, a, [h = std::move(handler)] { Guard(h); });
}

void MenuArray::Reset(const QString& name, QMenu* menu, QAction* element0) {
    name_ = name;
    menu_ = menu;
    items_.clear();
    items_[0] = element0;
    element0->setObjectName(name + "(0)");
    wire(0, element0);
}

QAction* MenuArray::Load(int index) {
    QAction* t0 = items_.at(0);
    QAction* a = new QAction(t0->text(), menu_);
    a->setObjectName(name_ + "(" + QString::number(index) + ")");
    a->setEnabled(t0->isEnabled());
    menu_->addAction(a);
    items_[index] = a;
    wire(index, a);
    return a;
}

void MenuArray::wire(int index, QAction* a) {
    QObject::connect(a, &QAction::triggered, a, [this, index] {
        if (click_) Guard([&] { click_(index); });
    });
}

// ---------------------------------------------------------------- windows

namespace {
// Never destroyed: the windows are static objects too, and one destroyed after
// the list would still take itself off it.
std::vector<Form*>& loadedForms() {
    static auto* forms = new std::vector<Form*>;
    return *forms;
}

// The loaded windows in the order they came to the front, the front one last.
std::vector<Form*>& frontOrder() {
    static auto* forms = new std::vector<Form*>;
    return *forms;
}
void toFront(Form* f) {
    auto& v = frontOrder();
    v.erase(std::remove(v.begin(), v.end(), f), v.end());
    v.push_back(f);
}

// The program ends when no window is loaded once the current event has been
// handled: a handler that unloads one window and loads another keeps it going.
void scheduleEndCheck() {
    QTimer::singleShot(0, [] {
        if (loadedForms().empty()) EndProgram(0);
    });
}
}  // namespace

FormWindow::FormWindow(Form* form) : form_(form) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    // The designed typeface, whatever font the desktop sets.
    setFont(DesignFont());
    // A control disabled to be read only (a name that cannot change, points
    // that are shown but never edited, the cells of a grid not in use) is
    // still read: every window's disabled text stays readable. Push buttons
    // get their dimmed look back once the window is built.
    readableWhenDisabled(this, {QPalette::WindowText, QPalette::Text, QPalette::ButtonText});
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WindowShortcut);
    QObject::connect(f1, &QShortcut::activated, this, [] { Guard([] { PressF1(); }); });
}

void FormWindow::closeEvent(QCloseEvent* e) {
    // Closing by the title bar is an unload (which the unload step may
    // refuse), or whatever the window does instead.
    e->ignore();
    Guard([&] { form_->TitleBarClose(); });
}

bool FormWindow::event(QEvent* e) {
    if (e->type() == QEvent::WindowActivate && form_->IsLoaded()) toFront(form_);
    return QMainWindow::event(e);
}

void FormWindow::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        for (QPushButton* b : findChildren<QPushButton*>()) {
            // Not the buttons of a window it owns.
            if (b->window() != this) continue;
            if (b->isDefault() && b->isVisible() && b->isEnabled()) {
                b->click();
                return;
            }
        }
    }
    QMainWindow::keyPressEvent(e);
}

Form::Form(const QString& name) : name_(name) {}

Form::~Form() {
    // The windows are single instances that live until the process ends; their
    // widgets are discarded with the application (DiscardAll), not here, when
    // no QApplication may be left to own them.
    auto& v = loadedForms();
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    auto& order = frontOrder();
    order.erase(std::remove(order.begin(), order.end(), this), order.end());
}

void Form::DiscardAll() {
    for (Form* f : loadedForms()) {
        delete f->win_;
        f->win_ = nullptr;
    }
    loadedForms().clear();
    frontOrder().clear();
}

void Form::Load() {
    if (win_ || loading_) return;
    ThrowIfEnding();
    loading_ = true;
    win_ = new FormWindow(this);
    win_->setObjectName(name_);
    auto* body = new QWidget(win_);
    body->setObjectName(QStringLiteral("body"));
    win_->setCentralWidget(body);
    loadedForms().push_back(this);
    try {
        Build();
        Form_Load();
        // Its load step may have closed it again.
        if (win_)
            for (QPushButton* b : win_->findChildren<QPushButton*>()) {
                QPalette pal = b->palette();
                pal.setColor(QPalette::Disabled, QPalette::ButtonText,
                             QApplication::palette(b).color(QPalette::Disabled, QPalette::ButtonText));
                b->setPalette(pal);
            }
    } catch (...) {
        // A window whose load step failed is not left half-built.
        loading_ = false;
        destroy();
        throw;
    }
    loading_ = false;
}

namespace {
void bringToFront(QWidget* w) {
    w->show();
    // The headless platform used by the tests cannot raise windows.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) w->raise();
    w->activateWindow();
}
}  // namespace

void Form::Show(bool modal) {
    EnsureLoaded();
    // Its load step may have closed it again.
    if (!win_) return;
    if (modal) {
        if (!win_->isVisible()) setOwner(FrontWindow(win_));
        win_->setWindowModality(Qt::ApplicationModal);
        toFront(this);
        bringToFront(win_);
        QEventLoop loop;
        modalLoop_ = &loop;
        PushModalLoop(&loop);
        loop.exec();
        PopModalLoop(&loop);
        modalLoop_ = nullptr;
        if (win_) {
            win_->setWindowModality(Qt::NonModal);
            if (!win_->isVisible()) setOwner(nullptr);
        }
        // The program may have begun to end while the window was up.
        ThrowIfEnding();
    } else {
        toFront(this);
        bringToFront(win_);
    }
}

void Form::setOwner(QWidget* owner) {
    if (win_->parentWidget() == owner) return;
    // Reparenting hides a window; one that is up stays up.
    const bool shown = win_->isVisible();
    win_->setParent(owner, Qt::Window);
    // Centred over its owner, frame and all on the owner's screen.
    PlaceOverOwner(win_, owner);
    if (shown) win_->show();
}

QWidget* Form::FrontWindow(const QWidget* except) {
    const auto& order = frontOrder();
    for (auto it = order.rbegin(); it != order.rend(); ++it) {
        FormWindow* w = (*it)->win_;
        if (w && w != except && w->isVisible()) return w;
    }
    return nullptr;
}

void Form::Hide() {
    if (!win_) return;
    win_->hide();
    if (modalLoop_) modalLoop_->quit();
}

bool Form::Unload() {
    if (!win_) return true;
    bool cancel = false;
    Form_Unload(cancel);
    if (cancel) return false;
    destroy();
    return true;
}

void Form::destroy() {
    FormWindow* w = win_;
    win_ = nullptr;
    auto& v = loadedForms();
    v.erase(std::remove(v.begin(), v.end(), this), v.end());
    auto& order = frontOrder();
    order.erase(std::remove(order.begin(), order.end(), this), order.end());
    if (modalLoop_) modalLoop_->quit();
    // A window it owns is not destroyed with it: it stays up on its own.
    for (FormWindow* owned : w->findChildren<FormWindow*>(Qt::FindDirectChildrenOnly)) {
        const bool shown = owned->isVisible();
        owned->setParent(nullptr, Qt::Window);
        if (shown) owned->show();
    }
    // A handler of one of this window's controls may still be running.
    w->hide();
    w->setObjectName(QString());
    w->deleteLater();
    if (v.empty()) scheduleEndCheck();
}

FormWindow* Form::Window() {
    EnsureLoaded();
    return win_;
}

QString Form::Caption() { return Window()->windowTitle(); }
void Form::SetCaption(const QString& caption) { Window()->setWindowTitle(caption); }
bool Form::Visible() { return win_ && win_->isVisible(); }

QWidget* Form::Body() const { return win_ ? win_->centralWidget() : nullptr; }
QMenuBar* Form::Menus() const { return win_ ? win_->menuBar() : nullptr; }

void Form::SetClientSize(int width, int height) {
    win_->centralWidget()->setMinimumSize(Px(width), Px(height));
    win_->resize(Px(width), Px(height) + (win_->menuWidget() ? win_->menuBar()->sizeHint().height() : 0));
}

int Form::LoadedCount() { return static_cast<int>(loadedForms().size()); }
std::vector<Form*> Form::LoadedForms() { return loadedForms(); }

}  // namespace plat
