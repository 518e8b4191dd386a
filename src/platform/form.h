// The form runtime: single-instance windows that load on first touch, unload
// without losing their members, show modeless or modal, and controls that keep
// the option-button and check-box rules the windows rely on.
#pragma once

#include <QAction>
#include <QCheckBox>
#include <QColor>
#include <QFont>
#include <QLabel>
#include <QMargins>
#include <QMainWindow>
#include <QMenu>
#include <QRadioButton>
#include <QString>

#include <functional>
#include <map>
#include <memory>
#include <type_traits>
#include <vector>

class QEventLoop;
class QLineEdit;
class QPlainTextEdit;
class QMenuBar;

namespace plat {

// ---- twips: positions and sizes are given in twips, 15 to a logical pixel
constexpr int kTwipsPerPixel = 15;
constexpr int Px(int twips) { return twips / kTwipsPerPixel; }
constexpr int Twips(int pixels) { return pixels * kTwipsPerPixel; }
void Place(QWidget* w, int left, int top, int width, int height);  // in twips
// The typeface the windows are designed in.
QFont DesignFont();
// The designed typefaces ("Book Antiqua", "Arial") resolve to their installed
// metric-compatible stand-ins; called once at start.
void InstallDesignFonts();
// A password box: each character shows as "*".
void MaskPassword(QLineEdit* box);
// A read-only box of fixed text sized to show all of it: no scroll bars.
void FixedText(QPlainTextEdit* box, const QString& text);

// Typed names and passwords never hold control characters (a pasted NUL, tab or
// line break): refuses such text with a box titled `title` naming `what`, puts
// the focus in `box`, and returns true.
bool RefuseControlChars(QWidget* box, const QString& text, const QString& what, const QString& title);

// ---- text as the designed typefaces lay it out

// The line pitch of the designed typeface at `font`'s size (pixels), and
// where a line's baseline stands below its top. The stand-ins carry more
// leading than the faces they replace (P052 spaces 12.75-point lines 27 px
// apart, Book Antiqua about 20): the pitch is the face's own typographic
// line (ascent, descent and line gap), never more than the stand-in's.
struct LineMetrics {
    int pitch = 0;
    int baseline = 0;
};
LineMetrics DesignLineMetrics(const QFont& font);

// A label of stored text (plain, "&" shown as it stands) that wraps at word
// boundaries and sets its lines at the designed typeface's pitch, so that a
// row sized by its line count is as tall as designed. A word wider than the
// label runs past its edge, as in any wrapping label. Its frame is drawn over
// the lines' outer leading, not beside it.
class WrapLabel : public QLabel {
public:
    explicit WrapLabel(QWidget* parent = nullptr);
    // The height (pixels) the text takes at this width: its lines times the pitch.
    int heightForWidth(int width) const override;
    bool hasHeightForWidth() const override { return true; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    // The text's area across the label at this width: inside the frame and margin.
    int textWidth(int width) const;
};

// ---- disabled text that stays readable

// The WCAG relative luminance of a colour, and the contrast ratio of two
// colours (1 to 21).
double RelativeLuminance(const QColor& c);
double ContrastRatio(const QColor& a, const QColor& b);
constexpr double kReadableContrast = 4.5;

// Controls are disabled to make them read-only (a model answer, a reopened
// result, a name that cannot be changed), so every window draws disabled text
// dimmed but never below the readable contrast against the window, the text
// boxes' and buttons' ground or a frame's slightly darker fill. Disabled push
// buttons keep the usual look.

// ---- windows on the screen

// The frame a window is given where the platform reports none before the
// window is shown: a title bar and a resizing border, as on the desktop the
// windows were designed for (pixels).
inline const QMargins kFrameAllowance{8, 31, 8, 8};

// Where a window goes over its owner: its frame (`frame` around its inner
// `size`) centred over the owner's frame, then moved inside `room`, the
// screen's available area. A window larger than the room keeps its left
// edge and its title bar on it. Returns the inner rectangle.
QRect PlaceOver(const QRect& ownerFrame, const QSize& size, const QMargins& frame, const QRect& room);

// The frame of a top-level window: the margins it reports once shown; before
// that those its owner reports, or the allowance where neither reports any.
QMargins FrameMargins(const QWidget* window, const QWidget* owner = nullptr);

// Places a top-level window (a form's window or a dialog) over its owner, on
// the owner's screen; and again when it is shown, with the frame it reports
// then.
void PlaceOverOwner(QWidget* window, QWidget* owner);

int LeftOf(const QWidget* w);    // twips
int TopOf(const QWidget* w);     // twips
void SetLeft(QWidget* w, int twips);
void SetTop(QWidget* w, int twips);

// ---- controls with the rules of the original form runtime

// Selecting an option (by the user or by code) clears the others of its container
// and runs its click handler only when it was not selected before; clearing one
// by code runs nothing; a disabled option can still be selected by code.
class OptionButton : public QRadioButton {
    Q_OBJECT
public:
    explicit OptionButton(const QString& caption, QWidget* parent = nullptr);
    bool Value() const { return isChecked(); }
    void SetValue(bool selected);
    void OnClick(std::function<void()> handler) { click_ = std::move(handler); }

protected:
    // A click selects; it never clears the selected option.
    void nextCheckState() override;
    // An arrow key moves to the next (Down, Right) or previous (Up, Left)
    // option of the group in tab order, round the end, skipping the disabled
    // and the hidden, and chooses it as a click does.
    void keyPressEvent(QKeyEvent* e) override;

private:
    std::function<void()> click_;
};

// Setting the value by code runs the click handler when the value changes, as a
// click by the user does.
class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit CheckBox(const QString& caption, QWidget* parent = nullptr);
    int Value() const { return isChecked() ? 1 : 0; }
    void SetValue(int v);
    void OnClick(std::function<void()> handler) { click_ = std::move(handler); }

private:
    std::function<void()> click_;
};

// Connects a button-like signal to a handler that is guarded against run-time errors.
void OnClicked(QAbstractButton* b, std::function<void()> handler);
void OnTriggered(QAction* a, std::function<void()> handler);

// A control array: element 0 is the template built with the window; Load(i)
// makes element i as a hidden copy of the template, named like "optAnswer(3)".
template <class T>
class ControlArray {
public:
    using Factory = std::function<T*(QWidget* parent)>;

    // Called by the window's build step: forgets every element of a former load.
    void Reset(const QString& name, T* element0, Factory make = nullptr) {
        name_ = name;
        items_.clear();
        items_[0] = element0;
        make_ = make ? std::move(make) : Factory([](QWidget* p) -> T* {
            // Option buttons and check boxes are made with a caption first.
            if constexpr (std::is_constructible_v<T, QWidget*>) return new T(p);
            else return new T(QString(), p);
        });
        element0->setObjectName(name + "(0)");
    }
    T* Load(int index) {
        T* t0 = items_.at(0);
        T* e = make_(t0->parentWidget());
        e->setObjectName(name_ + "(" + QString::number(index) + ")");
        e->setGeometry(t0->geometry());
        e->setFont(t0->font());
        for (const char* prop : {"text", "alignment", "wordWrap", "toolTip", "styleSheet"}) {
            QVariant v = t0->property(prop);
            if (v.isValid()) e->setProperty(prop, v);
        }
        // The template's own setting, not the one it takes from a disabled frame.
        e->setEnabled(!t0->testAttribute(Qt::WA_ForceDisabled));
        e->setVisible(false);
        items_[index] = e;
        return e;
    }
    void Unload(int index) {
        auto it = items_.find(index);
        if (it == items_.end() || index == 0) return;
        delete it->second;
        items_.erase(it);
    }
    bool Exists(int index) const { return items_.count(index) > 0; }
    T* operator()(int index) const { return items_.at(index); }
    int UBound() const { return items_.empty() ? -1 : items_.rbegin()->first; }
    int Count() const { return static_cast<int>(items_.size()); }
    const std::map<int, T*>& items() const { return items_; }

private:
    QString name_;
    std::map<int, T*> items_;
    Factory make_;
};

// A menu control array: element 0 is the template item; Load(i) adds item i
// after the last one, with the template's caption.
class MenuArray {
public:
    void Reset(const QString& name, QMenu* menu, QAction* element0);
    QAction* Load(int index);
    QAction* operator()(int index) const { return items_.at(index); }
    bool Exists(int index) const { return items_.count(index) > 0; }
    int UBound() const { return items_.empty() ? -1 : items_.rbegin()->first; }
    // The handler receives the element's index.
    void OnClick(std::function<void(int)> handler) { click_ = std::move(handler); }

private:
    void wire(int index, QAction* a);
    QString name_;
    QMenu* menu_ = nullptr;
    std::map<int, QAction*> items_;
    std::function<void(int)> click_;
};

// ---- the window

class Form;

// The top-level widget of a loaded window; closing it by its title bar unloads.
class FormWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit FormWindow(Form* form);

protected:
    void closeEvent(QCloseEvent* e) override;
    // Activation keeps the order in which the windows came to the front.
    bool event(QEvent* e) override;
    // Enter presses the window's default button, as in a dialog.
    void keyPressEvent(QKeyEvent* e) override;

private:
    Form* form_;
};

class Form {
public:
    explicit Form(const QString& name);
    virtual ~Form();
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const QString& Name() const { return name_; }
    bool IsLoaded() const { return win_ != nullptr; }

    // Builds the controls and runs the load step; nothing when already loaded.
    void Load();
    // Loads if needed and shows; nothing when its load step closed it again.
    // Modal: returns only once the window is hidden or unloaded, running events
    // meanwhile.
    void Show(bool modal = false);
    void Hide();
    // Runs the unload step (which may cancel) and destroys the controls; members stay.
    // Returns false when the unload step cancelled.
    bool Unload();

    // Touching the window loads it.
    FormWindow* Window();
    QString Caption();
    void SetCaption(const QString& caption);
    bool Visible();
    bool IsModalShown() const { return modalLoop_ != nullptr; }

    // Destroys every window without its unload step, when the program ends.
    static void DiscardAll();
    static int LoadedCount();
    static std::vector<Form*> LoadedForms();
    // The window the user is looking at, over which a new modal window or
    // message box belongs: of the visible windows, the one last brought to
    // the front or activated (while a modal window is up, that is it);
    // nullptr when none is visible.
    static QWidget* FrontWindow(const QWidget* except = nullptr);

protected:
    // Creates the controls and menus (on Body() and Menus()); called by Load.
    virtual void Build() = 0;
    virtual void Form_Load() {}
    // Set cancel to true to keep the window loaded.
    virtual void Form_Unload(bool& /*cancel*/) {}
    // The title bar's close button: an unload, unless a window leaves
    // another way.
    virtual void TitleBarClose() { Unload(); }

    void EnsureLoaded() { if (!win_) Load(); }
    QWidget* Body() const;
    QMenuBar* Menus() const;
    // Sets the inner size of the window (in twips).
    void SetClientSize(int width, int height);

    template <class T, class... A>
    T* Make(QWidget* parent, const char* name, A&&... args) {
        T* t = new T(std::forward<A>(args)..., parent);
        t->setObjectName(QString::fromLatin1(name));
        return t;
    }

private:
    friend class FormWindow;
    void destroy();
    // A modal window is owned by the window that opened it: centred over it
    // (its whole frame on the screen), kept above it by the window manager;
    // `owner` nullptr lets it go again.
    void setOwner(QWidget* owner);

    QString name_;
    FormWindow* win_ = nullptr;
    QEventLoop* modalLoop_ = nullptr;
    bool loading_ = false;
};

}  // namespace plat

// A control reached from outside its window loads the window first.
#define PEMU_CONTROL(Type, name)                \
public:                                         \
    Type* name() { EnsureLoaded(); return m_##name; } \
protected:                                      \
    Type* m_##name = nullptr;
