// What is shown read-only by disabling its controls (the correct matching of
// a drag-and-drop question, a router lab's model answer, a reopened result's
// questions and options, the administrator's fixed name, the difficulty
// points) stays readable in every window: its text keeps a contrast of at
// least 4.5:1 against what it stands on, in the palette and as drawn.
#include "config/frmAdminConfig.h"
#include "config/frmChgPwd.h"
#include "exam/FrmSettings.h"
#include "exam/frmDrag.h"
#include "exam/frmExam.h"
#include "exam/frmExhibit.h"
#include "exam/frmFlashCard.h"
#include "exam/frmMode.h"
#include "results/frmGrade.h"
#include "results/frmResBrief.h"
#include "results/frmReview.h"
#include "signin/frmLogin.h"
#include "signin/frmSignUp.h"
#include "simulator/frmSimulator.h"
#include "startup/state.h"
#include "support/fixture.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionComboBox>
#include <QStyleOptionGroupBox>
#include <QTableWidget>
#include <QTextEdit>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

using namespace plat;

namespace {

// WCAG 2 relative luminance and contrast ratio.
double luminance(QColor c) {
    auto lin = [](double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    c = c.toRgb();
    return 0.2126 * lin(c.redF()) + 0.7152 * lin(c.greenF()) + 0.0722 * lin(c.blueF());
}
double contrast(const QColor& a, const QColor& b) {
    const double x = luminance(a), y = luminance(b);
    return (std::max(x, y) + 0.05) / (std::min(x, y) + 0.05);
}

// The contrast of what is drawn in `area` of a control (its own
// coordinates), as its window shows it: the most common colour is the
// ground, the pixel furthest from it the ink.
double drawnContrast(QWidget* w, const QRect& area) {
    QWidget* window = w->window();
    const QRect inside = QRect(w->mapTo(window, area.topLeft()), area.size());
    const QImage image = window->grab(inside).toImage().convertToFormat(QImage::Format_RGB32);
    std::map<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) ++counts[image.pixel(x, y)];
    QRgb ground = 0;
    int most = -1;
    for (const auto& [colour, n] : counts)
        if (n > most) most = n, ground = colour;
    double best = 1;
    for (const auto& [colour, n] : counts) best = std::max(best, contrast(QColor(colour), QColor(ground)));
    return best;
}

// Where a control draws its text, clear of its border, its check mark and
// its arrow: the pixels that are read.
QRect textArea(QWidget* w) {
    QStyle* style = w->style();
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        QStyleOptionButton opt;
        opt.initFrom(b);
        opt.text = b->text();
        const bool radio = qobject_cast<QRadioButton*>(w) != nullptr;
        return style->subElementRect(radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &opt, w);
    }
    if (auto* g = qobject_cast<QGroupBox*>(w)) {
        QStyleOptionGroupBox opt;
        opt.initFrom(g);
        opt.text = g->title();
        opt.subControls = QStyle::SC_GroupBoxLabel;
        return style->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, g);
    }
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        QStyleOptionComboBox opt;
        opt.initFrom(c);
        return style->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, c);
    }
    if (auto* a = qobject_cast<QAbstractScrollArea*>(w))
        return QRect(a->viewport()->mapTo(w, QPoint(0, 0)), a->viewport()->size()).adjusted(1, 1, -1, -1);
    if (qobject_cast<QLineEdit*>(w)) return w->rect().adjusted(3, 3, -3, -3);
    if (auto* l = qobject_cast<QLabel*>(w)) return l->contentsRect().adjusted(1, 1, -1, -1);
    return w->rect();
}

// The text a control shows, when it shows any; push buttons, menus and
// scroll bars are not read.
QString shownText(QWidget* w) {
    if (qobject_cast<QPushButton*>(w)) return {};
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(w)) return e->echoMode() == QLineEdit::Normal ? e->text() : QString();
    if (auto* g = qobject_cast<QGroupBox*>(w)) return g->title();
    if (auto* c = qobject_cast<QComboBox*>(w)) return c->currentText();
    if (auto* t = qobject_cast<QPlainTextEdit*>(w)) return t->toPlainText();
    if (auto* t = qobject_cast<QTextEdit*>(w)) return t->toPlainText();
    return {};
}

// The windows as the source declares them ("extern TfrmLogin frmLogin;").
std::set<std::string> declaredWindows() {
    static const QRegularExpression instance(R"(extern\s+T\w+\s+(\w+)\s*;)");
    std::set<std::string> names;
    const std::filesystem::path src = std::filesystem::path(PEMU_SOURCE_DIR) / "src";
    for (const auto& e : std::filesystem::recursive_directory_iterator(src)) {
        const std::string stem = e.path().stem().string();
        if (e.path().extension() != ".h" || (stem.rfind("frm", 0) != 0 && stem.rfind("Frm", 0) != 0)) continue;
        std::ifstream in(e.path());
        std::stringstream text;
        text << in.rdbuf();
        for (const auto& m : instance.globalMatch(QString::fromStdString(text.str())))
            names.insert(m.captured(1).toStdString());
    }
    return names;
}

class ReadableTest : public pemu_test::ProgramTest {
protected:
    // The disabled text colour against the ground the control stands on.
    static void expectReadable(QWidget* w, QPalette::ColorRole text, const QColor& ground, const QRect& area,
                               const std::string& what) {
        ASSERT_FALSE(w->isEnabled()) << what << " is shown disabled, to be read only";
        const QColor ink = w->palette().color(QPalette::Disabled, text);
        EXPECT_GE(contrast(ink, ground), 4.5) << what << ": " << ink.name().toStdString() << " on "
                                              << ground.name().toStdString();
        EXPECT_GE(drawnContrast(w, area), 4.5) << what << " as drawn";
    }
    static void expectReadable(QWidget* w, QPalette::ColorRole text, const QColor& ground, int inset,
                               const std::string& what) {
        expectReadable(w, text, ground, w->rect().adjusted(inset, inset, -inset, -inset), what);
    }

    // Every disabled control of the shown window that shows text, as drawn
    // where it can be seen; each grid cell on its own. Records the window.
    void expectDisabledTextReadable(Form& form, const std::string& state) {
        ASSERT_TRUE(form.Visible()) << form.Name().toStdString() << " (" << state << ") is not shown";
        covered.insert(form.Name().toStdString());
        QWidget* window = form.Window();
        const auto measure = [&](QWidget* w, const QRect& area, const QString& what) {
            // Within every frame and grid it stands in.
            QRect seen = area.intersected(w->rect());
            for (QWidget* p = w; !p->isWindow(); p = p->parentWidget())
                seen &= QRect(w->mapFrom(p->parentWidget(), QPoint(0, 0)), p->parentWidget()->size());
            if (seen.isEmpty()) return;
            ++measured;
            EXPECT_GE(drawnContrast(w, seen), 4.5)
                << form.Name().toStdString() << " (" << state << "): " << what.toStdString() << " as drawn";
        };
        for (QWidget* w : window->findChildren<QWidget*>()) {
            const QString name = w->objectName();
            if (w->window() != window || !w->isVisible() || w->isEnabled() || name.isEmpty() ||
                name.startsWith(QLatin1String("qt_")))
                continue;
            if (auto* grid = qobject_cast<QTableWidget*>(w)) {
                for (int r = 0; r < grid->rowCount(); ++r)
                    for (int c = 0; c < grid->columnCount(); ++c) {
                        const QTableWidgetItem* item = grid->item(r, c);
                        if (!item || item->text().trimmed().isEmpty()) continue;
                        const QRect cell = grid->visualItemRect(item).adjusted(2, 2, -2, -2);
                        measure(grid, cell.translated(grid->viewport()->pos()),
                                QStringLiteral("%1 cell (%2, %3) \"%4\"").arg(name).arg(r).arg(c).arg(item->text()));
                    }
                continue;
            }
            const QString text = shownText(w);
            if (!text.trimmed().isEmpty()) measure(w, textArea(w), name + " \"" + text.left(40) + "\"");
        }
    }
    std::set<std::string> covered;
    int measured = 0;

    static QColor windowGround(QWidget* w) { return w->parentWidget()->palette().color(QPalette::Window); }
    long long first(const char* type) {
        return gcnExam->Scalar(std::string("SELECT min(QId) FROM Questions where QType = '") + type + "'").toInt();
    }
};

}  // namespace

TEST_F(ReadableTest, TheCorrectMatchingOfADragAndDropQuestion) {
    gintCurQId = 14;
    frmExam.mblnFromShAns = true;
    frmDrag.Show();
    ASSERT_EQ(frmDrag.lblQuestion().UBound(), 4);
    for (int n = 1; n <= 4; ++n) {
        const std::string row = " of row " + std::to_string(n);
        expectReadable(frmDrag.lblQuestion()(n), QPalette::WindowText, windowGround(frmDrag.lblQuestion()(n)), 0,
                       "the item" + row);
        // Inside the frames, which are no text.
        expectReadable(frmDrag.lblAnswer()(n), QPalette::WindowText, windowGround(frmDrag.lblAnswer()(n)), 2,
                       "the slot" + row);
        expectReadable(frmDrag.lblOption()(n), QPalette::WindowText, windowGround(frmDrag.lblOption()(n)), 2,
                       "the option" + row);
    }
}

TEST_F(ReadableTest, ARouterLabsModelAnswer) {
    gintCurQId = static_cast<int16_t>(first("SIM"));
    frmExam.mblnFromShAns = true;
    frmSimulator.Show();
    QPlainTextEdit* console = frmSimulator.txtSimCon();
    ASSERT_FALSE(console->toPlainText().isEmpty());
    expectReadable(console, QPalette::Text, console->palette().color(QPalette::Disabled, QPalette::Base), 3,
                   "the model answer");
}

TEST_F(ReadableTest, AReopenedResultsQuestionAndOptions) {
    const long long q = first("S");
    gcnExam->Execute("DELETE * from QuestIds");
    gcnExam->Execute("INSERT INTO QuestIds (Index,QId) VALUES (1,?)", {q});
    gcnExam->Execute("DELETE * from AnsIds");
    gcnExam->Execute("INSERT INTO AnsIds (Index,AnsId,Qid) SELECT Index, Index, QId FROM Answers where QId = ?", {q});
    gblnFromResults = true;
    frmExam.Show();
    ASSERT_GE(frmExam.intAnsLbls, 2);
    expectReadable(frmExam.lblQuest()(1), QPalette::WindowText, windowGround(frmExam.lblQuest()(1)), 0,
                   "the question");
    for (int k = 1; k <= frmExam.intAnsLbls; ++k)
        expectReadable(frmExam.lblAnswers()(k), QPalette::WindowText, windowGround(frmExam.lblAnswers()(k)), 0,
                       "option " + std::to_string(k));
    frmExam.Unload();
    gblnFromResults = false;
}

// Disabled push buttons still look disabled: only read-only text is darkened.
TEST_F(ReadableTest, DisabledButtonsKeepTheirDimmedLook) {
    gintCurQId = 14;
    frmExam.mblnFromShAns = true;
    frmDrag.Show();
    QPushButton* close = frmDrag.cmdClose();
    EXPECT_EQ(close->palette().color(QPalette::Disabled, QPalette::ButtonText),
              QApplication::palette(close).color(QPalette::Disabled, QPalette::ButtonText));
    // The measure itself: the grey on grey that was drawn before is 1.6:1.
    EXPECT_NEAR(contrast(QColor("#bebebe"), QColor("#ececec")), 1.6, 0.05);
    EXPECT_NEAR(contrast(Qt::black, Qt::white), 21.0, 1e-9);
    EXPECT_NEAR(ContrastRatio(QColor("#bebebe"), QColor("#ececec")), contrast(QColor("#bebebe"), QColor("#ececec")),
                1e-9);
}

// The administrator's fixed name in the password window, and the difficulty
// points and the type "Adaptive" that the configuration window shows but never
// lets be changed, as drawn.
TEST_F(ReadableTest, TheAdministratorsNameAndTheDifficultyPoints) {
    frmChgPwd.Show();
    QLineEdit* name = frmChgPwd.txtUname();
    ASSERT_EQ(name->text(), "norvi");
    expectReadable(name, QPalette::Text, name->palette().color(QPalette::Disabled, QPalette::Base), 3,
                   "the user name");

    frmAdminConfig.Show();
    const QStringList points = {"1", "2", "3"};
    int i = 0;
    for (QLineEdit* box : {frmAdminConfig.txtBS(), frmAdminConfig.txtIS(), frmAdminConfig.txtES()}) {
        EXPECT_EQ(box->text(), points[i++]);
        expectReadable(box, QPalette::Text, box->palette().color(QPalette::Disabled, QPalette::Base), 3,
                       box->objectName().toStdString());
    }
    QCheckBox* adaptive = frmAdminConfig.chkAdaptive();
    ASSERT_EQ(adaptive->text(), "Adaptive");
    expectReadable(adaptive, QPalette::WindowText, windowGround(adaptive), textArea(adaptive), "Adaptive");
}

// Every window of the program, in the states that disable what it shows.
TEST_F(ReadableTest, EveryWindowsDisabledTextIsReadable) {
    const long long s = 10;  // has an exhibit and an explanation
    gcnExam->Execute("INSERT INTO QuestIds (Index,QId) VALUES (1,?)", {s});
    gcnExam->Execute("INSERT INTO AnsIds (Index,AnsId,Qid) SELECT Index, Index, QId FROM Answers where QId = ?", {s});
    const auto shown = [&](Form& form, const std::string& state) {
        form.Show();
        expectDisabledTextReadable(form, state);
        form.Unload();
    };

    shown(frmLogin, "candidate");
    frmLogin.Show();
    frmLogin.optSUser()->SetValue(true);
    expectDisabledTextReadable(frmLogin, "administrator");
    frmLogin.Unload();
    shown(frmSignUp, "empty");
    shown(frmChgPwd, "empty");
    shown(frmMode, "learn mode");
    gcnExam->Execute("UPDATE AdminConfig SET ExamMode = 0, LearnMode = 0 where Index = 1");
    shown(frmMode, "learn and exam mode switched off");
    shown(frmAdminConfig, "as stored");
    gcnExam->Execute("UPDATE AdminConfig SET ExamMode = 1, LearnMode = 1 where Index = 1");
    shown(FrmSettings, "all questions");
    shown(frmResBrief, "no results");

    gintCurQId = static_cast<int16_t>(s);
    shown(frmExhibit, "an exhibit");
    shown(frmFlashCard, "a flash card");
    gintCurQId = 14;
    shown(frmDrag, "a drag-and-drop question");
    frmExam.mblnFromShAns = true;
    shown(frmDrag, "the correct matching");
    gintCurQId = static_cast<int16_t>(first("SIM"));
    frmExam.mblnFromShAns = true;  // closing the drag window cleared it
    shown(frmSimulator, "the model answer");
    frmExam.mblnFromShAns = false;
    shown(frmSimulator, "a router lab");

    gintExamTime = 60;
    shown(frmExam, "a learn-mode run");
    shown(frmReview, "the run's list");
    shown(frmGrade, "the run's report");
    gblnFromResults = true;
    shown(frmExam, "a reopened result");
    shown(frmGrade, "a reopened result");
    gblnFromResults = false;

    EXPECT_GE(measured, 30) << "too few disabled texts were found to measure";
    EXPECT_EQ(covered, declaredWindows()) << "a window is not measured";
}
