#include "convert.h"

#include <QRegularExpression>

#include <limits>
#include <stdexcept>

namespace plat {

int16_t CInt(long long v) {
    if (v < std::numeric_limits<int16_t>::min() || v > std::numeric_limits<int16_t>::max())
        throw std::overflow_error("Overflow");
    return static_cast<int16_t>(v);
}

bool IsNumeric(const QString& text) {
    static const QRegularExpression number(
        QStringLiteral(R"(^ *[+-]?([0-9]+\.?[0-9]*|\.[0-9]+)([eE][+-]?[0-9]+)? *$)"));
    return number.match(text).hasMatch();
}

QString Trim(const QString& text) {
    qsizetype b = 0, e = text.size();
    while (b < e && text[b] == u' ') ++b;
    while (e > b && text[e - 1] == u' ') --e;
    return text.mid(b, e - b);
}

bool IsDigits(const QString& text) {
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9') return false;
    return true;
}

std::optional<long long> DigitsValue(const QString& text) {
    if (!IsDigits(text)) return std::nullopt;
    constexpr long long kMax = std::numeric_limits<long long>::max();
    long long v = 0;
    for (QChar c : text) {
        const int d = c.unicode() - u'0';
        if (v > (kMax - d) / 10) return kMax;
        v = v * 10 + d;
    }
    return v;
}

bool HasControlChars(const QString& text) {
    for (QChar c : text)
        if (c.unicode() < 32 || c.unicode() == 127) return true;
    return false;
}

}  // namespace plat
