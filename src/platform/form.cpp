#include "form.h"

#include "convert.h"
#include "runtime.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QMenuBar>
#include <QShortcut>
#include <QTimer>

#include <algorithm>

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
    auto* f1 = new QShortcut(QKeySequence(Qt::Key_F1), this);
    f1->setContext(Qt::WindowShortcut);
    QObject::connect(f1, &QShortcut::activated, this, [] { Guard([] { PressF1(); }); });
}

void FormWindow::closeEvent(QCloseEvent* e) {
    // Closing by the title bar is an unload, which the unload step may refuse.
    e->ignore();
    Guard([&] { form_->Unload(); });
}

void FormWindow::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        for (QPushButton* b : findChildren<QPushButton*>()) {
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
}

void Form::DiscardAll() {
    for (Form* f : loadedForms()) {
        delete f->win_;
        f->win_ = nullptr;
    }
    loadedForms().clear();
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
        win_->setWindowModality(Qt::ApplicationModal);
        bringToFront(win_);
        QEventLoop loop;
        modalLoop_ = &loop;
        PushModalLoop(&loop);
        loop.exec();
        PopModalLoop(&loop);
        modalLoop_ = nullptr;
        if (win_) win_->setWindowModality(Qt::NonModal);
        // The program may have begun to end while the window was up.
        ThrowIfEnding();
    } else {
        bringToFront(win_);
    }
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
    if (modalLoop_) modalLoop_->quit();
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
