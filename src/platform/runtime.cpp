#include "runtime.h"

#include "database.h"
#include "form.h"
#include "safefile.h"

#include <QApplication>
#include <QDesktopServices>
#include <QEventLoop>
#include <QGridLayout>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include <algorithm>
#include <optional>

namespace plat {

namespace {
std::filesystem::path gTestAppPath;
MsgBoxHook gMsgBoxHook;
HelpHook gHelpHook;
EndHook gEndHook;

bool gEnding = false;
int gGuardDepth = 0;
std::optional<QString> gPendingError;  // caught inside a nested handler, reported by the outermost
bool gHelpFileSet = false;
std::vector<QEventLoop*> gModalLoops;
std::vector<QPointer<QMessageBox>> gOpenBoxes;
}  // namespace

QString AppTitle() { return QStringLiteral("PEMU Network Exam Practice"); }

std::filesystem::path AppPath() {
    if (!gTestAppPath.empty()) return gTestAppPath;
    return std::filesystem::path(QCoreApplication::applicationDirPath().toStdString());
}

QString AppPathQ() { return QString::fromStdString(AppPath().string()); }

void SetAppPathForTesting(const std::filesystem::path& folder) { gTestAppPath = folder; }

// ---------------------------------------------------------------- message boxes

namespace {

// The window a box belongs over: the window the user is looking at. The
// active window is no guide: right after another box closes there is none
// until the window manager hands the focus back.
QWidget* boxOwner() {
    if (QWidget* w = Form::FrontWindow()) return w;
    return QApplication::activeWindow();
}

// Over the window it speaks for, its whole frame on the screen: placed as it
// is shown, once it has taken the size its text needs.
class PlacedMessageBox : public QMessageBox {
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent* e) override {
        QMessageBox::showEvent(e);
        PlaceOverOwner(this, parentWidget());
    }
};

}  // namespace

QMessageBox* NewMsgBox(const MsgBoxCall& call) {
    auto* box = new PlacedMessageBox(call.owner.data());
    box->setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    // Typed and stored text shows as it stands, never as markup.
    box->setTextFormat(Qt::PlainText);
    box->setText(call.text);
    box->setWindowTitle(call.title);
    switch (call.icon()) {
    case vbCritical: box->setIcon(QMessageBox::Critical); break;
    case vbQuestion: box->setIcon(QMessageBox::Question); break;
    case vbExclamation: box->setIcon(QMessageBox::Warning); break;
    case vbInformation: box->setIcon(QMessageBox::Information); break;
    default: box->setIcon(QMessageBox::NoIcon); break;
    }
    if (call.buttons() == vbYesNo) {
        box->setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box->setDefaultButton(QMessageBox::Yes);
    } else {
        box->setStandardButtons(QMessageBox::Ok);
    }
    // Some window managers draw their own buttons whatever the flags ask:
    // the box is made wide enough for its whole title beside four of them.
    if (auto* grid = qobject_cast<QGridLayout*>(box->layout())) {
        QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
        titleFont.setBold(true);
        const int titleWidth = QFontMetrics(titleFont).horizontalAdvance(call.title) + kTitleBarRoom;
        grid->addItem(new QSpacerItem(titleWidth, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0,
                      1, std::max(1, grid->columnCount()));
    }
    return box;
}

namespace {

int showBox(MsgBoxCall call) {
    call.owner = boxOwner();
    if (gMsgBoxHook) return gMsgBoxHook(call);

    // On the heap and watched: a timer may unload the window the box belongs
    // to while it waits, and the box goes with its owner.
    QMessageBox* box = NewMsgBox(call);
    QPointer<QMessageBox> alive(box);
    gOpenBoxes.push_back(box);
    int result = vbOK;
    if (call.buttons() == vbYesNo) {
        const int pressed = box->exec();
        result = alive && pressed == QMessageBox::Yes ? vbYes : vbNo;
    } else {
        box->exec();
    }
    gOpenBoxes.erase(std::remove(gOpenBoxes.begin(), gOpenBoxes.end(), alive), gOpenBoxes.end());
    delete alive.data();
    return result;
}

}  // namespace

int MsgBox(const QString& text, int style, const QString& title) {
    ThrowIfEnding();
    const int answer = showBox(MsgBoxCall{text, style, title.isEmpty() ? AppTitle() : title, nullptr});
    // A timer may have ended the program while the box waited.
    ThrowIfEnding();
    return answer;
}

void SetMsgBoxHook(MsgBoxHook hook) { gMsgBoxHook = std::move(hook); }

// ---------------------------------------------------------------- help

std::filesystem::path HelpFile() { return AppPath() / "help" / "Tavolin.html"; }

bool HelpFileSet() { return gHelpFileSet; }

void HelpCommand() {
    gHelpFileSet = true;
    PressF1();
}

void PressF1() {
    if (gHelpFileSet) ShowHelp();
}

namespace {

enum class Kind {
    Block,     // holds text and inline elements only: a new block ends it
    List,      // holds list items
    ListItem,  // ends at the next item of its list
    Inline,
    Break,     // no content, no end tag
};

std::optional<Kind> kindOf(QStringView name) {
    static const std::pair<const char*, Kind> kinds[] = {
        {"h1", Kind::Block},    {"h2", Kind::Block},     {"h3", Kind::Block},      {"h4", Kind::Block},
        {"p", Kind::Block},     {"pre", Kind::Block},    {"ul", Kind::List},       {"ol", Kind::List},
        {"li", Kind::ListItem}, {"a", Kind::Inline},     {"b", Kind::Inline},      {"strong", Kind::Inline},
        {"i", Kind::Inline},    {"em", Kind::Inline},    {"code", Kind::Inline},   {"br", Kind::Break},
    };
    for (const auto& [n, k] : kinds)
        if (name == QLatin1StringView(n)) return k;
    return std::nullopt;
}

// Elements whose content is no text of the page.
bool hidden(QStringView name) {
    return name == u"script" || name == u"style" || name == u"title" || name == u"textarea";
}

// An id or an in-page link target that can be written back as it stands.
bool plainName(QStringView s) {
    if (s.isEmpty() || s.size() > 200) return false;
    for (QChar c : s)
        if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'-' && c != u'_' && c != u'.' && c != u':')
            return false;
    return true;
}

// The value of one attribute in the text between a tag's name and its ">";
// empty when it is not there.
QString attribute(QStringView attrs, QStringView wanted) {
    qsizetype i = 0;
    const qsizetype n = attrs.size();
    while (i < n) {
        while (i < n && (attrs[i].isSpace() || attrs[i] == u'/')) ++i;
        const qsizetype nameStart = i;
        while (i < n && !attrs[i].isSpace() && attrs[i] != u'=' && attrs[i] != u'/') ++i;
        const QStringView name = attrs.sliced(nameStart, i - nameStart);
        while (i < n && attrs[i].isSpace()) ++i;
        QStringView value;
        if (i < n && attrs[i] == u'=') {
            ++i;
            while (i < n && attrs[i].isSpace()) ++i;
            if (i < n && (attrs[i] == u'"' || attrs[i] == u'\'')) {
                const QChar quote = attrs[i++];
                const qsizetype end = attrs.indexOf(quote, i);
                const qsizetype stop = end < 0 ? n : end;
                value = attrs.sliced(i, stop - i);
                i = end < 0 ? n : end + 1;
            } else {
                const qsizetype start = i;
                while (i < n && !attrs[i].isSpace()) ++i;
                value = attrs.sliced(start, i - start);
            }
        }
        if (name.isEmpty()) ++i;
        else if (name.compare(wanted, Qt::CaseInsensitive) == 0) return value.toString();
    }
    return QString();
}

class HelpMarkup {
public:
    explicit HelpMarkup(const QString& page) : page_(page) { out_.reserve(page.size()); }

    QString Take() {
        const qsizetype n = page_.size();
        qsizetype i = 0;
        while (i < n) {
            const QChar c = page_[i];
            if (c == u'<') i = tag(i);
            else {
                if (c == u'>') out_ += QLatin1StringView("&gt;");
                else if (c.unicode() == 0) out_ += u' ';
                else out_ += c;
                ++i;
            }
        }
        closeTo(0);
        return std::move(out_);
    }

private:
    // Reads the markup at `at` (a "<"); returns where the text goes on.
    qsizetype tag(qsizetype at) {
        const qsizetype n = page_.size();
        const QStringView rest = QStringView(page_).sliced(at);
        if (rest.startsWith(u"<!--")) {
            const qsizetype end = page_.indexOf(QLatin1StringView("-->"), at + 4);
            return end < 0 ? n : end + 3;
        }
        const bool closing = rest.size() > 1 && rest[1] == u'/';
        qsizetype i = at + 1 + (closing ? 1 : 0);
        if (i < n && (page_[i] == u'!' || page_[i] == u'?')) {  // a declaration
            const qsizetype end = page_.indexOf(u'>', i);
            return end < 0 ? n : end + 1;
        }
        const qsizetype nameStart = i;
        while (i < n && page_[i].unicode() < 128 && page_[i].isLetterOrNumber()) ++i;
        if (i == nameStart || !page_[nameStart].isLetter()) {  // a "<" of the text
            out_ += QLatin1StringView("&lt;");
            return at + 1;
        }
        const QString name = page_.sliced(nameStart, i - nameStart).toLower();
        const qsizetype attrsStart = i;
        for (QChar quote; i < n; ++i) {
            const QChar c = page_[i];
            if (!quote.isNull()) {
                if (c == quote) quote = QChar();
            } else if (c == u'"' || c == u'\'') {
                quote = c;
            } else if (c == u'>') {
                break;
            }
        }
        if (i >= n) return n;  // a tag the page never ends
        const QStringView attrs = QStringView(page_).sliced(attrsStart, i - attrsStart);
        const qsizetype next = i + 1;
        if (!closing && hidden(name)) {
            const qsizetype end = page_.indexOf(QStringLiteral("</") + name, next, Qt::CaseInsensitive);
            if (end < 0) return n;
            const qsizetype close = page_.indexOf(u'>', end);
            return close < 0 ? n : close + 1;
        }
        const std::optional<Kind> kind = kindOf(name);
        if (!kind) return next;
        if (closing) end(name);
        else start(name, *kind, attrs);
        return next;
    }

    Kind top() const { return *kindOf(open_.back()); }

    void start(const QString& name, Kind kind, QStringView attrs) {
        if (kind == Kind::Break) {
            out_ += QLatin1StringView("<br>");
            return;
        }
        if (kind != Kind::Inline) {
            // A block ends the inline elements and the block it stands in.
            while (!open_.empty() && top() != Kind::List && top() != Kind::ListItem) closeTo(open_.size() - 1);
        }
        if (kind == Kind::ListItem) {
            if (!open_.empty() && top() == Kind::ListItem) closeTo(open_.size() - 1);
            if (open_.empty() || top() != Kind::List) return;  // an item outside a list is text only
            // Qt numbers a list's items by searching the list for each one:
            // a long list goes on as a new one.
            if (++items_.back() > kHelpListItems) {
                const QString list = open_.back();
                closeTo(open_.size() - 1);
                out_ += u'<' + list + u'>';
                open_.push_back(list);
                items_.push_back(1);
            }
        }
        if (open_.size() >= kHelpDepth) return;
        out_ += u'<' + name;
        const QString id = attribute(attrs, u"id");
        if (plainName(id)) out_ += QStringLiteral(" id=\"") + id + u'"';
        if (name == u"a") {
            const QString href = attribute(attrs, u"href");
            if (href.startsWith(u'#') && plainName(QStringView(href).sliced(1)))
                out_ += QStringLiteral(" href=\"") + href + u'"';
        }
        out_ += u'>';
        open_.push_back(name);
        items_.push_back(0);
    }

    // An end tag ends its element and every element opened inside it; one that
    // ends nothing open is passed over.
    void end(const QString& name) {
        for (qsizetype k = qsizetype(open_.size()) - 1; k >= 0; --k) {
            if (open_[size_t(k)] == name) {
                closeTo(size_t(k));
                return;
            }
        }
    }

    void closeTo(size_t depth) {
        while (open_.size() > depth) {
            out_ += QStringLiteral("</") + open_.back() + u'>';
            open_.pop_back();
            items_.pop_back();
        }
    }

    const QString& page_;
    QString out_;
    std::vector<QString> open_;
    std::vector<int> items_;  // of each open element: the list items begun in it
};

QString refusal(const FileRead& read, const std::filesystem::path& file) {
    const QString named = QStringLiteral("The help page ") + QString::fromStdString(file.string());
    switch (read.status) {
    case FileRead::Status::Missing: return named + QStringLiteral(" is missing.");
    case FileRead::Status::NotAFile:
        return named + QStringLiteral(" is not a plain file (a folder, pipe or device stands in its place).");
    case FileRead::Status::TooLarge:
        return named + QStringLiteral(" is larger than any help page of this program (over %1 KB), so it is not "
                                      "opened.")
                           .arg(kLargestHelpPage >> 10);
    case FileRead::Status::Failed:
    case FileRead::Status::Read: break;
    }
    return named + QStringLiteral(" cannot be read (") + read.reason + QStringLiteral(").");
}

// The program's own help window. It shows the page it is given and reads
// nothing itself: no link, picture or style sheet of the page is fetched.
class HelpViewer : public QTextBrowser {
public:
    void Open(const QUrl& page, const QString& markup) {
        page_ = page;
        markup_ = markup;
        if (source() == page) reload();
        else setSource(page);
    }

    QVariant loadResource(int type, const QUrl& name) override {
        if (type == QTextDocument::HtmlResource && name.adjusted(QUrl::RemoveFragment) == page_) return markup_;
        return QVariant();
    }

private:
    QUrl page_;
    QString markup_;
};

}  // namespace

QString HelpPageMarkup(const QByteArray& page) { return HelpMarkup(QString::fromUtf8(page)).Take(); }

void ShowHelp() {
    const std::filesystem::path file = HelpFile();
    const FileRead page = ReadRegularFile(file, kLargestHelpPage);
    if (page.status != FileRead::Status::Read) {
        MsgBox(refusal(page, file), vbExclamation, QStringLiteral("Help"));
        return;
    }
    const QUrl url = QUrl::fromLocalFile(QString::fromStdString(file.string()));
    const bool opened = gHelpHook ? gHelpHook(file) : QDesktopServices::openUrl(url);
    if (opened) return;
    // No browser on this desktop: the program shows the page itself.
    static QPointer<HelpViewer> viewer;
    if (!viewer) {
        viewer = new HelpViewer;
        viewer->setObjectName(QStringLiteral("helpViewer"));
        viewer->setAttribute(Qt::WA_DeleteOnClose);
        viewer->setOpenExternalLinks(false);
        viewer->resize(720, 540);
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, viewer, &QObject::deleteLater);
    }
    viewer->setWindowTitle(AppTitle() + QStringLiteral(" Help"));
    viewer->Open(url, HelpPageMarkup(page.bytes));
    viewer->show();
    viewer->raise();
    viewer->activateWindow();
}

void SetHelpHook(HelpHook hook) { gHelpHook = std::move(hook); }

// ---------------------------------------------------------------- ending

void PushModalLoop(QEventLoop* loop) { gModalLoops.push_back(loop); }
void PopModalLoop(QEventLoop* loop) {
    gModalLoops.erase(std::remove(gModalLoops.begin(), gModalLoops.end(), loop), gModalLoops.end());
}

namespace {
// Every modal window and box a handler waits in returns, so the chain unwinds.
void leaveModalLoops() {
    for (QEventLoop* l : gModalLoops) l->quit();
    for (const QPointer<QMessageBox>& b : gOpenBoxes)
        if (b) b->done(0);
}
}  // namespace

void EndProgram(int status) {
    gEnding = true;
    leaveModalLoops();
    if (gEndHook) {
        gEndHook(status);
        return;
    }
    QCoreApplication::exit(status);
}

bool Ending() { return gEnding; }

void SetEndHook(EndHook hook) { gEndHook = std::move(hook); }

void ResetEndingForTesting() {
    gEnding = false;
    gGuardDepth = 0;
    gPendingError.reset();
    gHelpFileSet = false;
}

void ThrowIfEnding() {
    if (gEnding && gGuardDepth > 0) throw EndingChain{};
}

// ---------------------------------------------------------------- run-time errors

namespace {
void reportFatal(const QString& text) {
    showBox(MsgBoxCall{QStringLiteral("Run-time error:\n\n") + text, vbCritical, AppTitle(), nullptr});
    EndProgram(1);
}
}  // namespace

void Guard(const std::function<void()>& handler) {
    // After the program has begun to end, no handler code runs.
    if (gEnding) return;
    ++gGuardDepth;
    try {
        handler();
    } catch (const EndingChain&) {
    } catch (const std::exception& e) {
        if (!gEnding) {
            gPendingError = QString::fromStdString(e.what());
            // Stop the chain at once: boxes and modal windows it waits in return,
            // and every later guard or resume point unwinds.
            gEnding = true;
            leaveModalLoops();
        }
    }
    --gGuardDepth;
    if (gGuardDepth == 0 && gPendingError) {
        const QString text = *gPendingError;
        gPendingError.reset();
        reportFatal(text);
    }
}

}  // namespace plat
