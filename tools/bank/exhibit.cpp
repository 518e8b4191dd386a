// Draws exhibit descriptions (see pictures.h) with QPainter.
#include "pictures.h"
#include "draw.h"
#include "statement.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <deque>
#include <fstream>
#include <map>
#include <numbers>
#include <optional>
#include <sstream>

namespace bank {

namespace {

QString q(const std::string& s) { return QString::fromStdString(s); }

QStringList linesOf(const std::string& s) { return q(s).split(QLatin1Char('\n')); }

QSizeF textSize(const QFont& f, const QStringList& lines) {
    QFontMetricsF m(f);
    double w = 0;
    for (const auto& l : lines) w = std::max(w, m.horizontalAdvance(l));
    return {w, m.lineSpacing() * lines.size()};
}

struct Device {
    std::string name, kind, label;
    QPointF c;
};
struct Link {
    std::string a, b, from, to, mid, style;
};
struct Area {
    QRectF r;
    std::string label;
};
struct Note {
    QPointF p;
    std::string text;
    double size = 13;
    bool bold = false;
};
struct Block {
    QPointF p;
    std::vector<std::string> lines;
    double size = 13;
    bool table = false;
};

class Exhibit {
public:
    bool parse(const std::string& text, std::string& error) {
        std::istringstream in(text);
        std::string line;
        int no = 0;
        Block* open = nullptr;
        int openLine = 0;
        while (std::getline(in, line)) {
            ++no;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (open) {
                std::string t = line;
                size_t b = t.find_first_not_of(" \t");
                if (b != std::string::npos && t.substr(b) == "end") {
                    dedent(*open);
                    open = nullptr;
                } else {
                    open->lines.push_back(line);
                }
                continue;
            }
            std::vector<Token> tok;
            std::string terr;
            size_t b = line.find_first_not_of(" \t");
            if (b == std::string::npos || line[b] == '#') continue;
            if (!TokenizeStatement(line, tok, terr)) return fail(error, no, terr);
            const std::string& what = tok[0].value;
            std::vector<std::string> pos;
            std::map<std::string, std::string> opt;
            for (size_t i = 1; i < tok.size(); ++i) {
                if (tok[i].key.empty()) pos.push_back(tok[i].value);
                else opt[tok[i].key] = tok[i].value;
            }
            std::vector<double> num;
            auto numbers = [&](size_t from, size_t n) {
                num.clear();
                for (size_t i = from; i < from + n; ++i) {
                    double v;
                    if (i >= pos.size() || !StatementNumber(pos[i], v)) return false;
                    num.push_back(v);
                }
                return true;
            };
            auto size = [&](double dflt, double& v) {
                auto it = opt.find("size");
                if (it == opt.end()) {
                    v = dflt;
                    return true;
                }
                return StatementNumber(it->second, v) && v >= 6 && v <= 40;
            };
            if (what == "device") {
                if (pos.size() != 4 || !numbers(2, 2)) return fail(error, no, "device NAME KIND X Y expected");
                if (!IsDeviceKind(pos[1])) return fail(error, no, "unknown device kind \"" + pos[1] + "\"");
                if (devices_.count(pos[0])) return fail(error, no, "device \"" + pos[0] + "\" drawn twice");
                devices_[pos[0]] = Device{pos[0], pos[1], opt["label"], QPointF(num[0], num[1])};
                order_.push_back(pos[0]);
            } else if (what == "link") {
                if (pos.size() != 2) return fail(error, no, "link A B expected");
                for (auto& d : pos)
                    if (!devices_.count(d)) return fail(error, no, "link names unknown device \"" + d + "\"");
                std::string style = opt.count("style") ? opt["style"] : "solid";
                if (style != "solid" && style != "dashed" && style != "serial" && style != "bundle")
                    return fail(error, no, "unknown link style \"" + style + "\"");
                links_.push_back(Link{pos[0], pos[1], opt["from"], opt["to"], opt["mid"], style});
            } else if (what == "area") {
                if (pos.size() != 5 || !numbers(0, 4)) return fail(error, no, "area X Y W H \"label\" expected");
                areas_.push_back(Area{QRectF(num[0], num[1], num[2], num[3]), pos[4]});
            } else if (what == "note") {
                Note n;
                if (pos.size() < 3 || !numbers(0, 2)) return fail(error, no, "note X Y \"text\" expected");
                n.p = QPointF(num[0], num[1]);
                n.text = pos[2];
                for (size_t i = 3; i < pos.size(); ++i) {
                    if (pos[i] == "bold") n.bold = true;
                    else return fail(error, no, "unknown note option \"" + pos[i] + "\"");
                }
                if (!size(13, n.size)) return fail(error, no, "size must lie between 6 and 40");
                notes_.push_back(n);
            } else if (what == "text" || what == "table") {
                if (pos.size() != 2 || !numbers(0, 2)) return fail(error, no, what + " X Y expected");
                Block bl;
                bl.p = QPointF(num[0], num[1]);
                bl.table = what == "table";
                if (!size(bl.table ? 13 : 13, bl.size)) return fail(error, no, "size must lie between 6 and 40");
                blocks_.push_back(bl);
                open = &blocks_.back();
                openLine = no;
            } else if (what == "canvas") {
                if (pos.size() != 2 || !numbers(0, 2)) return fail(error, no, "canvas W H expected");
                minSize_ = QSizeF(num[0], num[1]);
            } else {
                return fail(error, no, "unknown statement \"" + what + "\"");
            }
        }
        if (open) return fail(error, openLine, "\"" + std::string(open->table ? "table" : "text") + "\" has no \"end\"");
        if (devices_.empty() && blocks_.empty() && notes_.empty())
            return fail(error, no, "the exhibit draws nothing");
        for (auto& bl : blocks_)
            if (bl.lines.empty()) return fail(error, no, "a text or table block is empty");
        return true;
    }

    QImage draw(std::string& error) {
        QRectF box = bounds();
        if (minSize_.isValid()) box = box.united(QRectF(QPointF(0, 0), minSize_));
        box.adjust(-kMargin, -kMargin, kMargin, kMargin);
        QSize px(static_cast<int>(std::ceil(box.width())), static_cast<int>(std::ceil(box.height())));
        if (px.width() > 2000 || px.height() > 2000) {
            error = "the picture would be " + std::to_string(px.width()) + "x" + std::to_string(px.height()) +
                    " pixels; keep it within 2000x2000";
            return {};
        }
        QImage img(px, QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter p(&img);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
        p.translate(-box.left(), -box.top());
        for (auto& a : areas_) drawArea(p, a);
        for (auto& l : links_) drawLink(p, l);
        for (auto& l : links_) drawLinkLabels(p, l);
        for (auto& name : order_) drawDevice(p, devices_[name]);
        for (auto& n : notes_) {
            p.setFont(sans(n.size, n.bold));
            p.setPen(QColor(0x22, 0x22, 0x22));
            QFontMetricsF m(p.font());
            double y = n.p.y() + m.ascent();
            for (const auto& l : linesOf(n.text)) {
                p.drawText(QPointF(n.p.x(), y), l);
                y += m.lineSpacing();
            }
        }
        for (auto& bl : blocks_) bl.table ? drawTable(p, bl) : drawText(p, bl);
        return img;
    }

    // A text printed over another text or over an icon cannot be read. Returns
    // the first such pair ("\"G0/0\" over \"802.1Q trunk\""), or empty when every
    // caption, link label, note, area heading and block stands clear. Links and
    // areas themselves may pass under texts: the labels have backgrounds.
    std::string overlap() const {
        struct Placed {
            QRectF r;
            QString what;
        };
        std::vector<Placed> all;
        auto add = [&](const QRectF& r, const QString& what) {
            if (!r.isNull()) all.push_back({r, what});
        };
        auto quoted = [](const std::string& s) { return "\"" + linesOf(s).join(QLatin1Char(' ')) + "\""; };
        for (auto& name : order_) {
            const Device& d = devices_.at(name);
            add(iconRect(d), "the " + q(name) + " icon");
            add(captionRect(d), "the " + q(name) + " caption");
        }
        for (auto& l : links_) {
            LinkGeometry g = geometry(l);
            if (!l.mid.empty()) add(labelRect(l.mid, (g.a + g.b) / 2), quoted(l.mid));
            if (!l.from.empty()) add(labelRect(l.from, endLabelAt(g, true, l.from)), quoted(l.from));
            if (!l.to.empty()) add(labelRect(l.to, endLabelAt(g, false, l.to)), quoted(l.to));
        }
        for (auto& a : areas_)
            add(QRectF(a.r.topLeft() + QPointF(8, 4), textSize(sans(12, true), {q(a.label)})), quoted(a.label));
        for (auto& n : notes_) add(QRectF(n.p, textSize(sans(n.size, n.bold), linesOf(n.text))), quoted(n.text));
        for (auto& bl : blocks_)
            add(QRectF(bl.p, bl.table ? tableSize(bl) : textBlockSize(bl)), quoted(bl.lines.front()));
        for (size_t i = 0; i < all.size(); ++i)
            for (size_t j = i + 1; j < all.size(); ++j)
                if (all[i].r.intersects(all[j].r)) return (all[j].what + " over " + all[i].what).toStdString();
        return {};
    }

private:
    static constexpr double kMargin = 14;

    static bool fail(std::string& error, int line, const std::string& msg) {
        error = "line " + std::to_string(line) + ": " + msg;
        return false;
    }

    static void dedent(Block& b) {
        size_t common = std::string::npos;
        for (auto& l : b.lines) {
            size_t i = l.find_first_not_of(" \t");
            if (i != std::string::npos) common = std::min(common, i);
        }
        for (auto& l : b.lines) l = l.size() > common && common != std::string::npos ? l.substr(common) : std::string();
        while (!b.lines.empty() && b.lines.back().empty()) b.lines.pop_back();
    }

    // --- geometry shared by measuring and drawing

    QRectF iconRect(const Device& d) const {
        QSizeF s = IconSize(d.kind);
        return QRectF(d.c.x() - s.width() / 2, d.c.y() - s.height() / 2, s.width(), s.height());
    }

    // The name (and label) under the icon; a cloud holds its name inside.
    QRectF captionRect(const Device& d) const {
        QStringList lines;
        if (d.kind != "cloud") lines << q(d.name);
        if (!d.label.empty()) lines << linesOf(d.label);
        if (lines.isEmpty()) return {};
        QSizeF s = textSize(sans(12, true), lines);
        QRectF icon = iconRect(d);
        return QRectF(d.c.x() - s.width() / 2, icon.bottom() + 3, s.width(), s.height());
    }

    QRectF labelRect(const std::string& text, QPointF at) const {
        QSizeF s = textSize(sans(11), linesOf(text));
        return QRectF(at.x() - s.width() / 2 - 3, at.y() - s.height() / 2 - 1, s.width() + 6, s.height() + 2);
    }

    struct LinkGeometry {
        QPointF a, b, dir, normal;
        double len = 0;
    };
    LinkGeometry geometry(const Link& l) const {
        LinkGeometry g;
        g.a = devices_.at(l.a).c;
        g.b = devices_.at(l.b).c;
        QPointF d = g.b - g.a;
        g.len = std::hypot(d.x(), d.y());
        g.dir = g.len > 0 ? d / g.len : QPointF(1, 0);
        g.normal = QPointF(-g.dir.y(), g.dir.x());
        if (g.normal.y() > 0 || (g.normal.y() == 0 && g.normal.x() < 0)) g.normal = -g.normal;  // labels above/left
        return g;
    }
    // Near its own end, clear of the device icon, and far enough off the line
    // that its box stays clear of a label in the link's middle.
    QPointF endLabelAt(const LinkGeometry& g, bool atA, const std::string& text) const {
        double reach = std::min(g.len * 0.45, 38.0 + textSize(sans(11), linesOf(text)).width() * 0.5);
        QPointF base = atA ? g.a + g.dir * reach : g.b - g.dir * reach;
        return base + g.normal * 15;
    }

    QRectF bounds() const {
        QRectF r;
        auto add = [&](const QRectF& x) {
            if (!x.isNull()) r = r.isNull() ? x : r.united(x);
        };
        for (auto& [name, d] : devices_) {
            add(iconRect(d));
            add(captionRect(d));
        }
        for (auto& l : links_) {
            LinkGeometry g = geometry(l);
            if (!l.from.empty()) add(labelRect(l.from, endLabelAt(g, true, l.from)));
            if (!l.to.empty()) add(labelRect(l.to, endLabelAt(g, false, l.to)));
            if (!l.mid.empty()) add(labelRect(l.mid, (g.a + g.b) / 2));
        }
        for (auto& a : areas_) add(a.r);
        for (auto& n : notes_) add(QRectF(n.p, textSize(sans(n.size, n.bold), linesOf(n.text))));
        for (auto& bl : blocks_) add(QRectF(bl.p, bl.table ? tableSize(bl) : textBlockSize(bl)));
        return r;
    }

    // --- drawing

    void drawArea(QPainter& p, const Area& a) {
        p.setPen(QPen(QColor(0x70, 0x80, 0x90), 1.4, Qt::DashLine));
        p.setBrush(QColor(0xf3, 0xf6, 0xfa));
        p.drawRoundedRect(a.r, 10, 10);
        p.setFont(sans(12, true));
        p.setPen(QColor(0x50, 0x60, 0x70));
        QFontMetricsF m(p.font());
        p.drawText(QPointF(a.r.left() + 8, a.r.top() + 4 + m.ascent()), q(a.label));
    }

    void drawLink(QPainter& p, const Link& l) {
        LinkGeometry g = geometry(l);
        QPen pen(QColor(0x44, 0x44, 0x44), 2);
        if (l.style == "dashed") pen.setStyle(Qt::DashLine);
        p.setPen(pen);
        p.setBrush(Qt::NoBrush);
        if (l.style == "serial") {
            QPointF m = (g.a + g.b) / 2;
            QPainterPath path(g.a);
            path.lineTo(m - g.dir * 7);
            path.lineTo(m - g.dir * 2 + g.normal * 9);
            path.lineTo(m + g.dir * 2 - g.normal * 9);
            path.lineTo(m + g.dir * 7);
            path.lineTo(g.b);
            p.drawPath(path);
        } else if (l.style == "bundle") {
            for (double off : {-3.5, 3.5}) p.drawLine(g.a + g.normal * off, g.b + g.normal * off);
            QPointF m = (g.a + g.b) / 2;
            p.save();
            p.translate(m);
            p.rotate(std::atan2(g.dir.y(), g.dir.x()) * 180 / std::numbers::pi);
            p.setPen(QPen(QColor(0x44, 0x44, 0x44), 1.5));
            p.drawEllipse(QPointF(0, 0), 9, 12);
            p.restore();
        } else {
            p.drawLine(g.a, g.b);
        }
    }

    void drawLabel(QPainter& p, const std::string& text, QPointF at) {
        QRectF r = labelRect(text, at);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 230));
        p.drawRoundedRect(r, 3, 3);
        p.setPen(QColor(0x1a, 0x3a, 0x6a));
        p.setFont(sans(11));
        p.drawText(r, Qt::AlignCenter, q(text));
    }

    void drawLinkLabels(QPainter& p, const Link& l) {
        LinkGeometry g = geometry(l);
        if (!l.mid.empty()) drawLabel(p, l.mid, (g.a + g.b) / 2);
        if (!l.from.empty()) drawLabel(p, l.from, endLabelAt(g, true, l.from));
        if (!l.to.empty()) drawLabel(p, l.to, endLabelAt(g, false, l.to));
    }

    void drawDevice(QPainter& p, const Device& d) {
        const QPointF c = d.c;
        DrawDeviceIcon(p, d.kind, d.name, iconRect(d), c);
        QRectF cap = captionRect(d);
        if (cap.isNull()) return;
        // Links may pass under the caption; keep it readable.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 220));
        if (d.kind != "cloud") p.drawRoundedRect(cap.adjusted(-2, 0, 2, 0), 3, 3);
        p.setPen(QColor(0x11, 0x11, 0x11));
        QFontMetricsF bold(sans(12, true));
        double y = cap.top() + bold.ascent();
        if (d.kind != "cloud") {
            p.setFont(sans(12, true));
            p.drawText(QPointF(c.x() - bold.horizontalAdvance(q(d.name)) / 2, y), q(d.name));
            y += bold.lineSpacing();
        }
        p.setFont(sans(11));
        QFontMetricsF m(sans(11));
        for (const auto& l : linesOf(d.label)) {
            if (d.label.empty()) break;
            p.drawText(QPointF(c.x() - m.horizontalAdvance(l) / 2, y), l);
            y += bold.lineSpacing();
        }
    }

    static constexpr double kPad = 8;

    QSizeF textBlockSize(const Block& bl) const {
        QStringList lines;
        for (auto& l : bl.lines) lines << q(l);
        QSizeF s = textSize(mono(bl.size), lines);
        return {s.width() + 2 * kPad, s.height() + 2 * kPad};
    }

    void drawText(QPainter& p, const Block& bl) {
        QRectF r(bl.p, textBlockSize(bl));
        p.setPen(QPen(QColor(0xa8, 0xa8, 0xa8), 1));
        p.setBrush(QColor(0xfb, 0xfb, 0xf7));
        p.drawRect(r);
        p.setPen(QColor(0x10, 0x10, 0x10));
        p.setFont(mono(bl.size));
        QFontMetricsF m(p.font());
        double y = r.top() + kPad + m.ascent();
        for (auto& l : bl.lines) {
            p.drawText(QPointF(r.left() + kPad, y), q(l));
            y += m.lineSpacing();
        }
    }

    static std::vector<std::vector<QString>> cells(const Block& bl) {
        std::vector<std::vector<QString>> rows;
        for (auto& l : bl.lines) {
            std::vector<QString> row;
            for (auto& c : q(l).split(QLatin1Char('|'))) row.push_back(c.trimmed());
            rows.push_back(row);
        }
        return rows;
    }

    std::vector<double> columnWidths(const Block& bl) const {
        std::vector<double> w;
        auto rows = cells(bl);
        for (size_t r = 0; r < rows.size(); ++r) {
            QFontMetricsF m(sans(bl.size, r == 0));
            for (size_t c = 0; c < rows[r].size(); ++c) {
                if (w.size() <= c) w.push_back(0);
                w[c] = std::max(w[c], m.horizontalAdvance(rows[r][c]) + 2 * kPad);
            }
        }
        return w;
    }

    QSizeF tableSize(const Block& bl) const {
        double width = 0;
        for (double w : columnWidths(bl)) width += w;
        double rowH = QFontMetricsF(sans(bl.size, true)).lineSpacing() + 8;
        return {width, rowH * bl.lines.size()};
    }

    void drawTable(QPainter& p, const Block& bl) {
        auto rows = cells(bl);
        auto widths = columnWidths(bl);
        double rowH = QFontMetricsF(sans(bl.size, true)).lineSpacing() + 8;
        QRectF all(bl.p, tableSize(bl));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xdd, 0xe5, 0xef));
        p.drawRect(QRectF(all.left(), all.top(), all.width(), rowH));
        for (size_t r = 0; r < rows.size(); ++r) {
            double x = all.left();
            double y = all.top() + r * rowH;
            p.setFont(sans(bl.size, r == 0));
            p.setPen(QColor(0x11, 0x11, 0x11));
            for (size_t c = 0; c < widths.size(); ++c) {
                QString text = c < rows[r].size() ? rows[r][c] : QString();
                p.drawText(QRectF(x + kPad, y, widths[c] - kPad, rowH), Qt::AlignVCenter | Qt::AlignLeft, text);
                x += widths[c];
            }
        }
        p.setPen(QPen(QColor(0x8a, 0x96, 0xa3), 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(all);
        for (size_t r = 1; r < rows.size(); ++r)
            p.drawLine(QPointF(all.left(), all.top() + r * rowH), QPointF(all.right(), all.top() + r * rowH));
        double x = all.left();
        for (size_t c = 0; c + 1 < widths.size(); ++c) {
            x += widths[c];
            p.drawLine(QPointF(x, all.top()), QPointF(x, all.bottom()));
        }
    }

    std::map<std::string, Device> devices_;
    std::vector<std::string> order_;
    std::vector<Link> links_;
    std::vector<Area> areas_;
    std::vector<Note> notes_;
    std::deque<Block> blocks_;
    QSizeF minSize_;
};

}  // namespace

QImage RenderExhibit(const std::string& description, std::string& error) {
    error.clear();
    Exhibit e;
    if (!e.parse(description, error)) return {};
    return e.draw(error);
}

namespace {
bool readSource(const std::filesystem::path& source, std::string& text, std::string& error) {
    std::ifstream in(source, std::ios::binary);
    if (!in) {
        error = "cannot read " + source.string();
        return false;
    }
    std::ostringstream ss;
    ss << in.rdbuf();
    text = ss.str();
    return true;
}
}  // namespace

QImage RenderExhibitFile(const std::filesystem::path& source, std::string& error) {
    std::string text;
    if (!readSource(source, text, error)) return {};
    return RenderExhibit(text, error);
}

std::string ExhibitLayoutProblem(const std::string& description) {
    std::string error;
    Exhibit e;
    if (!e.parse(description, error)) return error;
    if (e.draw(error).isNull()) return error.empty() ? "nothing was drawn" : error;
    std::string clash = e.overlap();
    return clash.empty() ? std::string() : "it would print " + clash;
}

std::string ExhibitDrawProblem(const std::filesystem::path& source) {
    std::string text, error;
    if (!readSource(source, text, error)) return error;
    return ExhibitLayoutProblem(text);
}

}  // namespace bank
