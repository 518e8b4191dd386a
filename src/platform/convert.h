// Conversions and checks of typed and stored text that several windows share:
// 16-bit numbers as the program holds them, numeric and digits-only text, the
// trim of blanks, and control characters in typed names.
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace plat {

// A 16-bit number; beyond the range the handler stops with "Overflow".
int16_t CInt(long long v);

// Text that reads as a number: digits with an optional sign, decimal point and
// exponent, blanks around it allowed.
bool IsNumeric(const QString& text);

// Removes leading and trailing blanks (spaces only; tabs and line breaks stay).
QString Trim(const QString& text);

// Only the characters '0' to '9', at least one. Digits of other scripts, signs,
// blanks and decimal points do not count.
bool IsDigits(const QString& text);

// The value of a digits-only text, whatever its length: texts too long for a
// 64-bit number give the largest one, so they compare greater than any limit.
// Not digits-only: nullopt.
std::optional<long long> DigitsValue(const QString& text);

// Characters below 32 or DEL (a pasted NUL, tab or line break) in typed text.
bool HasControlChars(const QString& text);

}  // namespace plat
