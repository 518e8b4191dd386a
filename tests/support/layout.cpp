#include "layout.h"

#include <QAbstractButton>
#include <QApplication>
#include <QAbstractScrollArea>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTextEdit>

namespace pemu_test {

namespace {

// A button's caption as shown: "&x" marks an access key, "&&" is one "&".
QString shownCaption(const QString& text) {
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size()) {
            ++i;
            out += text[i];
            continue;
        }
        if (text[i] != u'&') out += text[i];
    }
    return out;
}

bool ours(const QWidget* w) {
    const QString n = w->objectName();
    return !n.isEmpty() && !n.startsWith(QLatin1String("qt_"));
}

std::string name(const QWidget* w) { return w->objectName().toStdString(); }

int widest(const QFontMetrics& fm, const QString& text) {
    int w = 0;
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("\r\n|\n|\r"))))
        w = std::max(w, fm.horizontalAdvance(line));
    return w;
}

// The area of a frame that its controls may use: inside the border, below the title.
QRect usableArea(const QWidget* parent) {
    if (auto* gb = qobject_cast<const QGroupBox*>(parent)) {
        QStyleOptionGroupBox opt;
        opt.initFrom(gb);
        opt.text = gb->title();
        opt.lineWidth = 1;
        opt.midLineWidth = 0;
        opt.textAlignment = gb->alignment();
        opt.subControls = QStyle::SC_GroupBoxFrame;
        if (!gb->title().isEmpty()) opt.subControls |= QStyle::SC_GroupBoxLabel;
        QRect r = gb->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxContents, gb);
        if (!gb->title().isEmpty()) {
            const QRect label = gb->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, gb);
            r.setTop(std::max(r.top(), label.bottom() + 1));
        }
        return r.adjusted(1, 0, -1, -1);
    }
    return parent->rect();
}

void checkCaption(QWidget* w, std::vector<std::string>& out) {
    const QFontMetrics fm(w->font());
    auto report = [&](const std::string& what) { out.push_back(name(w) + ": " + what); };
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        const QString text = shownCaption(b->text());
        if (text.isEmpty()) return;
        int need = widest(fm, text);
        if (qobject_cast<QRadioButton*>(w)) {
            need += w->style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, w) +
                    w->style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, w);
        } else if (qobject_cast<QCheckBox*>(w)) {
            need += w->style()->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, w) +
                    w->style()->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, w);
        } else if (qobject_cast<QPushButton*>(w)) {
            need += 2 * w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w);
        }
        const int lines = text.count(u'\n') + 1;
        if (need > w->width())
            report("caption \"" + text.toStdString() + "\" needs " + std::to_string(need) + " px, has " +
                   std::to_string(w->width()));
        if (lines * fm.height() > w->height())
            report("caption \"" + text.toStdString() + "\" needs " + std::to_string(lines * fm.height()) +
                   " px of height, has " + std::to_string(w->height()));
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        if (l->text().isEmpty() || !l->pixmap().isNull()) return;
        if (l->wordWrap()) {
            const int need = l->heightForWidth(l->width());
            if (need > l->height())
                report("text needs " + std::to_string(need) + " px of height, has " + std::to_string(l->height()));
            return;
        }
        const int needW = widest(fm, l->text()) + 2 * l->margin() + 2 * l->frameWidth();
        const int lines = l->text().count(u'\n') + 1;
        const int needH = lines * fm.height() + 2 * l->frameWidth();
        if (needW > l->width())
            report("text \"" + l->text().toStdString() + "\" needs " + std::to_string(needW) + " px, has " +
                   std::to_string(l->width()));
        if (needH > l->height())
            report("text needs " + std::to_string(needH) + " px of height, has " + std::to_string(l->height()));
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        if (g->title().isEmpty()) return;
        const int need = fm.horizontalAdvance(shownCaption(g->title())) + 16;
        if (need > g->width())
            report("title \"" + g->title().toStdString() + "\" needs " + std::to_string(need) + " px, has " +
                   std::to_string(g->width()));
    } else if (qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w)) {
        const int need = w->minimumSizeHint().height();
        if (need > w->height())
            report("box needs " + std::to_string(need) + " px of height, has " + std::to_string(w->height()));
    }
}

}  // namespace

void LayoutTest::SetUp() {
    ProgramTest::SetUp();
    desktopFont_ = QApplication::font();
    QApplication::setFont(QFont("DejaVu Sans", 11));
}

void LayoutTest::TearDown() {
    ProgramTest::TearDown();
    QApplication::setFont(desktopFont_);
}

void LayoutTest::expectClean(plat::Form& form, const std::string& state, const LayoutRules& rules) {
    std::string listed;
    for (const std::string& line : LayoutProblems(form.Window(), rules)) listed += "\n  " + line;
    EXPECT_TRUE(listed.empty()) << form.Name().toStdString() << " (" << state << "):" << listed;
}

std::vector<std::string> LayoutProblems(QWidget* window, const LayoutRules& rules) {
    std::vector<std::string> out;
    window->ensurePolished();
    // Drawing the window once settles what is laid out lazily (text boxes
    // decide on their scroll bars when they first draw).
    window->grab();
    std::vector<QWidget*> shown;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!ours(w) || !w->isVisibleTo(window)) continue;
        // Controls inside another control's insides (a grid's cells) are that control's business.
        bool inside = false;
        for (QWidget* p = w->parentWidget(); p && p != window; p = p->parentWidget())
            if (qobject_cast<QAbstractScrollArea*>(p) || qobject_cast<QComboBox*>(p)) inside = true;
        if (inside) continue;
        shown.push_back(w);
        w->ensurePolished();
        checkCaption(w, out);
        if (rules.noScroll.count(w->objectName())) {
            if (auto* a = qobject_cast<QAbstractScrollArea*>(w)) {
                // A bar shown, or text beyond the box that a hidden bar would reach.
                if (a->horizontalScrollBar()->isVisibleTo(window) || a->horizontalScrollBar()->maximum() > 0)
                    out.push_back(name(w) + ": its text needs a scroll bar sideways");
                if (a->verticalScrollBar()->isVisibleTo(window) || a->verticalScrollBar()->maximum() > 0)
                    out.push_back(name(w) + ": its text needs a scroll bar up and down");
            }
        }
        // Inside the frame that holds it.
        QWidget* parent = w->parentWidget();
        if (parent && parent != window && (ours(parent) || parent->objectName() == QLatin1String("body"))) {
            const QRect area = usableArea(parent);
            if (!area.contains(w->geometry()))
                out.push_back(name(w) + " is cut by the edge of " + name(parent));
        }
    }
    for (size_t i = 0; i < shown.size(); ++i)
        for (size_t j = i + 1; j < shown.size(); ++j) {
            QWidget* a = shown[i];
            QWidget* b = shown[j];
            if (a->parentWidget() != b->parentWidget()) continue;
            if (!a->geometry().intersects(b->geometry())) continue;
            const auto pair = std::make_pair(a->objectName(), b->objectName());
            const auto rpair = std::make_pair(b->objectName(), a->objectName());
            if (rules.overlaps.count(pair) || rules.overlaps.count(rpair)) continue;
            out.push_back(name(a) + " overlaps " + name(b));
        }
    return out;
}

}  // namespace pemu_test
