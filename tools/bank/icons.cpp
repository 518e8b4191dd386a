// The device icons of the exhibits, and the fonts and arrow the drawing shares.
#include "draw.h"

#include <QPainterPath>

#include <cmath>
#include <map>

namespace bank {

QFont sans(double px, bool bold) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(static_cast<int>(std::lround(px)));
    f.setBold(bold);
    return f;
}

QFont mono(double px) {
    QFont f(QStringLiteral("DejaVu Sans Mono"));
    f.setStyleHint(QFont::Monospace);
    f.setFixedPitch(true);
    f.setPixelSize(static_cast<int>(std::lround(px)));
    return f;
}

void arrow(QPainter& p, QPointF from, QPointF to) {
    p.drawLine(from, to);
    QPointF d = to - from;
    double len = std::hypot(d.x(), d.y());
    if (len <= 0) return;
    QPointF u = d / len, n(-u.y(), u.x());
    QPolygonF head;
    head << to << to - u * 5 + n * 3.5 << to - u * 5 - n * 3.5;
    p.drawPolygon(head);
}

namespace {
const std::map<std::string, QSizeF>& iconSizes() {
    static const std::map<std::string, QSizeF> s = {
        {"router", {56, 34}}, {"switch", {60, 32}}, {"l3switch", {60, 34}}, {"pc", {40, 40}},
        {"laptop", {44, 32}}, {"server", {32, 48}}, {"cloud", {100, 56}},  {"ap", {44, 30}},
        {"wlc", {58, 30}},    {"firewall", {54, 34}}, {"hub", {60, 26}}};
    return s;
}
}  // namespace

bool IsDeviceKind(const std::string& kind) { return iconSizes().count(kind) > 0; }
QSizeF IconSize(const std::string& kind) { return iconSizes().at(kind); }

void DrawDeviceIcon(QPainter& p, const std::string& kind, const std::string& name, const QRectF& r, QPointF c) {
    const QColor edge(0x22, 0x33, 0x44);
    p.setPen(QPen(edge, 1.3));
    if (kind == "router") {
        QColor body(0x2a, 0x6c, 0xb0);
        QRectF top(r.left(), r.top(), r.width(), r.height() * 0.62);
        QRectF bottom = top.translated(0, r.height() * 0.38);
        p.setBrush(body.darker(125));
        p.drawEllipse(bottom);
        p.drawRect(QRectF(r.left(), top.center().y(), r.width(), bottom.center().y() - top.center().y()));
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(r.left() + 0.7, top.center().y(), r.width() - 1.4, bottom.center().y() - top.center().y()));
        p.setPen(QPen(edge, 1.3));
        p.setBrush(body);
        p.drawEllipse(top);
        QPointF tc = top.center();
        p.setPen(QPen(Qt::white, 1.6));
        p.setBrush(Qt::white);
        arrow(p, tc + QPointF(-5, -2), tc + QPointF(-15, -7));
        arrow(p, tc + QPointF(5, 2), tc + QPointF(15, 7));
        arrow(p, tc + QPointF(-15, 7), tc + QPointF(-5, 2));
        arrow(p, tc + QPointF(15, -7), tc + QPointF(5, -2));
    } else if (kind == "switch" || kind == "l3switch") {
        p.setBrush(kind == "switch" ? QColor(0x2e, 0x7d, 0x4f) : QColor(0x24, 0x6d, 0x78));
        p.drawRoundedRect(r, 4, 4);
        p.setPen(QPen(Qt::white, 1.6));
        p.setBrush(Qt::white);
        double y1 = c.y() - 6, y2 = c.y() + 6;
        arrow(p, QPointF(c.x() - 20, y1), QPointF(c.x() - 4, y1));
        arrow(p, QPointF(c.x() + 4, y1), QPointF(c.x() + 20, y1));
        arrow(p, QPointF(c.x() - 4, y2), QPointF(c.x() - 20, y2));
        arrow(p, QPointF(c.x() + 20, y2), QPointF(c.x() + 4, y2));
        if (kind == "l3switch") {
            p.setFont(sans(9, true));
            p.drawText(QRectF(r.right() - 17, r.top() + 1, 16, 11), Qt::AlignCenter, QStringLiteral("L3"));
        }
    } else if (kind == "pc") {
        QRectF screen(r.left(), r.top(), r.width(), r.height() * 0.68);
        p.setBrush(QColor(0xdf, 0xe6, 0xee));
        p.drawRoundedRect(screen, 3, 3);
        p.setBrush(QColor(0x5f, 0x8d, 0xbf));
        p.drawRect(screen.adjusted(4, 4, -4, -4));
        p.setBrush(QColor(0xb8, 0xc3, 0xcf));
        p.drawRect(QRectF(c.x() - 4, screen.bottom(), 8, r.height() * 0.16));
        p.drawRoundedRect(QRectF(c.x() - 14, r.bottom() - r.height() * 0.16, 28, r.height() * 0.16), 2, 2);
    } else if (kind == "laptop") {
        QRectF screen(r.left() + 5, r.top(), r.width() - 10, r.height() * 0.7);
        p.setBrush(QColor(0xdf, 0xe6, 0xee));
        p.drawRoundedRect(screen, 2, 2);
        p.setBrush(QColor(0x5f, 0x8d, 0xbf));
        p.drawRect(screen.adjusted(3, 3, -3, -3));
        QPolygonF base;
        base << QPointF(r.left() + 5, screen.bottom()) << QPointF(r.right() - 5, screen.bottom())
             << QPointF(r.right(), r.bottom()) << QPointF(r.left(), r.bottom());
        p.setBrush(QColor(0xb8, 0xc3, 0xcf));
        p.drawPolygon(base);
    } else if (kind == "server") {
        p.setBrush(QColor(0xc9, 0xd3, 0xde));
        p.drawRoundedRect(r, 3, 3);
        for (int i = 0; i < 3; ++i) {
            double y = r.top() + 8 + i * 11;
            p.drawLine(QPointF(r.left() + 5, y), QPointF(r.right() - 5, y));
            p.setBrush(QColor(0x3c, 0xb0, 0x5a));
            p.drawEllipse(QPointF(r.right() - 8, y + 4.5), 1.8, 1.8);
        }
    } else if (kind == "cloud") {
        QPainterPath path;
        double w = r.width(), h = r.height();
        path.addEllipse(QRectF(r.left(), r.top() + h * 0.3, w * 0.45, h * 0.6));
        path.addEllipse(QRectF(r.left() + w * 0.2, r.top(), w * 0.45, h * 0.7));
        path.addEllipse(QRectF(r.left() + w * 0.45, r.top() + h * 0.08, w * 0.4, h * 0.62));
        path.addEllipse(QRectF(r.left() + w * 0.55, r.top() + h * 0.35, w * 0.45, h * 0.6));
        path.addEllipse(QRectF(r.left() + w * 0.22, r.top() + h * 0.4, w * 0.5, h * 0.6));
        path.setFillRule(Qt::WindingFill);
        p.setBrush(QColor(0xe4, 0xe9, 0xef));
        p.drawPath(path.simplified());
        p.setPen(QColor(0x22, 0x33, 0x44));
        p.setFont(sans(12, true));
        p.drawText(r, Qt::AlignCenter, QString::fromStdString(name));
    } else if (kind == "ap") {
        QRectF body(r.left(), r.bottom() - 14, r.width(), 14);
        p.setBrush(QColor(0x7a, 0x5e, 0xa8));
        p.drawRoundedRect(body, 5, 5);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor(0x7a, 0x5e, 0xa8), 1.8));
        for (int i = 1; i <= 2; ++i) {
            double rad = 5.0 * i;
            p.drawArc(QRectF(c.x() - rad, body.top() - 2 - rad, 2 * rad, 2 * rad), 30 * 16, 120 * 16);
        }
    } else if (kind == "hub") {
        p.setBrush(QColor(0x8a, 0x8f, 0x96));
        p.drawRoundedRect(r, 4, 4);
        p.setPen(Qt::white);
        p.setFont(sans(11, true));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("HUB"));
    } else if (kind == "wlc") {
        p.setBrush(QColor(0x7a, 0x5e, 0xa8));
        p.drawRoundedRect(r, 4, 4);
        p.setPen(Qt::white);
        p.setFont(sans(11, true));
        p.drawText(r, Qt::AlignCenter, QStringLiteral("WLC"));
    } else if (kind == "firewall") {
        p.setBrush(QColor(0xb5, 0x48, 0x3b));
        p.drawRect(r);
        p.setPen(QPen(QColor(0xf0, 0xd0, 0xc8), 1));
        for (int row = 1; row < 4; ++row) {
            double y = r.top() + row * r.height() / 4;
            p.drawLine(QPointF(r.left(), y), QPointF(r.right(), y));
        }
        for (int row = 0; row < 4; ++row) {
            double y0 = r.top() + row * r.height() / 4, y1 = y0 + r.height() / 4;
            for (double x = r.left() + (row % 2 ? 9 : 18); x < r.right(); x += 18)
                p.drawLine(QPointF(x, y0), QPointF(x, y1));
        }
    }
}

}  // namespace bank
