// What the exhibit drawing shares between its files: the fonts, the arrow, and
// the device icons.
#pragma once

#include <QFont>
#include <QPainter>
#include <QRectF>
#include <QSizeF>

#include <string>

namespace bank {

QFont sans(double px, bool bold = false);
QFont mono(double px);

// A line with a filled head at `to`.
void arrow(QPainter& p, QPointF from, QPointF to);

// The kinds of device an exhibit can show, and the size of each icon.
bool IsDeviceKind(const std::string& kind);
QSizeF IconSize(const std::string& kind);

// Draws a device's icon in r, centred at c; a cloud carries the name inside.
void DrawDeviceIcon(QPainter& p, const std::string& kind, const std::string& name, const QRectF& r, QPointF c);

}  // namespace bank
