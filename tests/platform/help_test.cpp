// The help page read as safely as a result file: a page that is no plain file
// or far larger than the program's own is refused with a box naming it, and
// the program's own help window is given only markup it lays out at once,
// whatever the file holds.
#include "platform/runtime.h"
#include "support/fixture.h"
#include "support/pipewatch.h"

#include <QApplication>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextList>
#include <QTextTable>

#include <fstream>
#include <random>
#include <set>

using namespace plat;
namespace fs = std::filesystem;

namespace {

class HelpTest : public pemu_test::ProgramTest {
protected:
    void TearDown() override {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "helpViewer") w->close();
        ProgramTest::TearDown();
    }
    fs::path page() const { return folder() / "help" / "Tavolin.html"; }
    void writePage(const std::string& text) {
        fs::remove(page());
        std::ofstream(page(), std::ios::binary) << text;
    }
    static QTextBrowser* viewer() {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w->objectName() == "helpViewer" && w->isVisible()) return qobject_cast<QTextBrowser*>(w);
        return nullptr;
    }
    // Runs the help command and expects it refused with a box that names the
    // page and says `why`; nothing opens, in a browser or in the program.
    void expectRefused(const std::string& why) {
        boxes.clear();
        HelpCommand();
        ASSERT_EQ(boxes.size(), 1u) << why;
        EXPECT_EQ(boxes[0].text.toStdString(), "The help page " + page().string() + " " + why);
        EXPECT_EQ(boxes[0].title, "Help");
        EXPECT_EQ(boxes[0].icon(), vbExclamation);
        EXPECT_TRUE(helpOpened.empty()) << why;
        EXPECT_EQ(viewer(), nullptr) << why;
    }

    // Every tag of the markup closes what it opened, in order, at most
    // kHelpDepth deep, with only the attributes a help page needs.
    static void expectTidy(const QString& markup, const std::string& from) {
        static const QRegularExpression tag(QStringLiteral("<(/?)([a-z0-9]+)([^>]*)>"));
        static const QRegularExpression attrs(
            QStringLiteral("^(?: id=\"[A-Za-z0-9_.:-]+\")?(?: href=\"#[A-Za-z0-9_.:-]+\")?$"));
        std::vector<QString> open;
        size_t deepest = 0;
        for (auto it = tag.globalMatch(markup); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const QString name = m.captured(2);
            ASSERT_TRUE(attrs.match(m.captured(3)).hasMatch()) << m.captured(0).toStdString() << " from " << from;
            if (name == "br") continue;
            if (m.captured(1).isEmpty()) {
                open.push_back(name);
                deepest = std::max(deepest, open.size());
            } else {
                ASSERT_FALSE(open.empty()) << "</" << name.toStdString() << "> closes nothing, from " << from;
                ASSERT_EQ(open.back(), name) << "from " << from;
                open.pop_back();
            }
        }
        EXPECT_TRUE(open.empty()) << "from " << from;
        EXPECT_LE(deepest, size_t(kHelpDepth)) << "from " << from;
        // Stray brackets of the text stay text.
        QString outside = markup;
        outside.remove(tag);
        EXPECT_FALSE(outside.contains(u'<') || outside.contains(u'>')) << "from " << from;
    }
};

bool hasTable(QTextFrame* frame) {
    for (QTextFrame* child : frame->childFrames())
        if (qobject_cast<QTextTable*>(child) || hasTable(child)) return true;
    return false;
}

}  // namespace

// A page of 300 MB (a sparse file: nothing is written) crashed the program's
// own window and one line of 1 MB held it for most of a minute; a pipe held
// the program for good. Each is refused at once, whether the desktop has a
// browser or not.
TEST_F(HelpTest, APageFarLargerThanTheProgramsOwnOrNoPlainFileIsRefused) {
    ASSERT_LT(fs::file_size(page()) * 4, uintmax_t(kLargestHelpPage)) << "the program's own page stays far within";
    const std::string tooLarge = "is larger than any help page of this program (over 64 KB), so it is not opened.";
    desktopOpensHelp = false;
    fs::resize_file(page(), qint64(300) << 20);
    expectRefused(tooLarge);

    writePage("<p>" + std::string(1 << 20, 'x') + "</p>");
    expectRefused(tooLarge);
    desktopOpensHelp = true;
    expectRefused(tooLarge);

    fs::remove(page());
    {
        pemu_test::PipeWatch pipe(page());
        expectRefused("is not a plain file (a folder, pipe or device stands in its place).");
        EXPECT_FALSE(pipe.opened()) << "the help command opened the pipe and waited on it";
    }
    fs::remove(page());
    fs::create_directory(page());
    expectRefused("is not a plain file (a folder, pipe or device stands in its place).");

    // F1 afterwards asks again, and a page put right opens.
    fs::remove(page());
    writePage("<p>Help</p>");
    boxes.clear();
    PressF1();
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(helpOpened, std::vector<fs::path>{page()});
}

// Tables nested 14 deep take the window's layout a third of a second, and
// twice as long for every further level (20 took 12 s); a cell padding of
// 10^8 pixels never finishes. None of it reaches the window; the text does.
TEST_F(HelpTest, TheProgramsOwnWindowGetsTheTextWithoutMarkupThatWouldHoldItUp) {
    desktopOpensHelp = false;
    std::string nested;
    for (int i = 0; i < 14; ++i) nested += "<table cellpadding=\"2\"><tr><td style=\"padding:9px\">";
    writePage("<html><head><title>T</title><style>td { padding: 100000000px }</style></head><body>"
              "<h2 id=\"top\" style=\"font-size:2000000000pt\">Top</h2>" +
              nested + "deep inside" +
              "<p>a <b>bold <i>word</b> and <a href=\"other.html\">a link out</a>, "
              "<a href=\"#top\">back</a> 1 < 2 > 0</p><script>alert('x')</script></body></html>");
    HelpCommand();
    QTextBrowser* v = viewer();
    ASSERT_NE(v, nullptr) << "the help command did nothing";
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(v->source().toLocalFile().toStdString(), page().string());
    QTextDocument* doc = v->document();
    EXPECT_FALSE(hasTable(doc->rootFrame()));
    const QString text = doc->toPlainText();
    for (const char* shown : {"Top", "deep inside", "bold word", "a link out", "back", "1 < 2 > 0"})
        EXPECT_TRUE(text.contains(QString::fromLatin1(shown))) << shown << " in " << text.toStdString();
    EXPECT_FALSE(text.contains("alert")) << "a script is no text of the page";
    EXPECT_FALSE(text.contains("padding"));
    std::set<QString> hrefs;
    for (QTextBlock b = doc->begin(); b != doc->end(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            if (f.isAnchor() && !f.anchorHref().isEmpty()) hrefs.insert(f.anchorHref());
            EXPECT_LT(f.fontPointSize(), 100.0);
        }
    EXPECT_EQ(hrefs, std::set<QString>{"#top"}) << "only links within the page are kept";
}

// The program's own page loses nothing a reader uses: every heading, list and
// paragraph, and every link of its contents reaches its section.
TEST_F(HelpTest, TheProgramsOwnPageKeepsItsSectionsAndTheirLinks) {
    desktopOpensHelp = false;
    HelpCommand();
    QTextBrowser* v = viewer();
    ASSERT_NE(v, nullptr);
    QTextDocument* doc = v->document();
    std::set<QString> names, targets;
    int lists = 0;
    for (QTextBlock b = doc->begin(); b != doc->end(); b = b.next()) {
        if (b.textList() && b.textList()->item(0) == b) ++lists;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextCharFormat f = it.fragment().charFormat();
            for (const QString& n : f.anchorNames()) names.insert(n);
            if (!f.anchorHref().isEmpty()) targets.insert(f.anchorHref().mid(1));
        }
    }
    EXPECT_EQ(targets.size(), 9u);
    for (const QString& t : targets) EXPECT_EQ(names.count(t), 1u) << "#" << t.toStdString() << " leads nowhere";
    EXPECT_EQ(lists, 2);
    EXPECT_TRUE(doc->toPlainText().contains("9. About"));
    EXPECT_FALSE(doc->toPlainText().contains("Book Antiqua")) << "the style sheet is no text";
}

// Pages of random pieces of markup, broken tags, stray brackets and bytes that
// are no UTF-8: what the window is given is always tidy, and lays out.
TEST_F(HelpTest, AnyPageGivesTidyMarkup) {
    const std::vector<std::string> pieces = {
        "<p>", "</p>", "<h2 id=\"s1\">", "</h2>", "<ul>", "</ul>", "<ol>", "<li>", "</li>", "<b>", "</b>",
        "<i>", "<a href=\"#s1\">", "<a href='javascript:x'>", "</a>", "<br>", "<br/>", "<pre>", "</pre>",
        "<table cellpadding=100000000>", "<td>", "</table>", "<div>", "<blockquote>", "<style>p{}</style>",
        "<script>", "</script>", "<!-- c -->", "<!--", "<!DOCTYPE html>", "<?xml?>", "<", ">", "< p>", "</>",
        "<p id=\"a b\">", "<p id='x\">", "<a href=\"#\">", "<code", "text ", "&amp;", "&#0;", "&#x110000;",
        std::string("\0", 1), "\xff\xfe", "\xe2\x82", "<H1 ID=UP>", "</H1>", "<img src=x width=99999>",
        "<li>", "<ul><li>", "\"", "'"};
    std::mt19937 random(20261207);
    for (int n = 0; n < 300; ++n) {
        std::string text;
        const int length = 1 + int(random() % 400);
        for (int i = 0; i < length; ++i) text += pieces[random() % pieces.size()];
        const QString markup = HelpPageMarkup(QByteArray::fromStdString(text));
        expectTidy(markup, text);
        QTextDocument doc;
        doc.setHtml(markup);
        doc.setTextWidth(700);
        EXPECT_GT(doc.size().height(), 0.0);
    }
    // Lists nested a thousand deep, never closed.
    std::string deep;
    for (int i = 0; i < 1000; ++i) deep += "<ul><li><b>";
    expectTidy(HelpPageMarkup(QByteArray::fromStdString(deep + "x")), "deep lists");

    // A list of 13,000 items took the window 4 s: it is shown as lists of
    // at most kHelpListItems items each, every item kept.
    std::string items = "<ol>";
    for (int i = 0; i < 13000; ++i) items += "<li>" + std::to_string(i);
    const QString markup = HelpPageMarkup(QByteArray::fromStdString(items));
    expectTidy(markup, "a long list");
    QTextDocument doc;
    doc.setHtml(markup);
    std::set<QTextList*> lists;
    int shown = 0;
    for (QTextBlock b = doc.begin(); b != doc.end(); b = b.next())
        if (QTextList* l = b.textList()) {
            lists.insert(l);
            ++shown;
        }
    EXPECT_EQ(shown, 13000);
    for (QTextList* l : lists) EXPECT_LE(l->count(), kHelpListItems);
    EXPECT_TRUE(doc.toPlainText().contains("12999"));
}
