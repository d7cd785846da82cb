#pragma once

#include <QString>
#include <QVariant>

#include <cstdint>

// Conversions of typed text and field values into the program's whole numbers and booleans.
// Whole numbers accept surrounding blanks, a sign and a fraction; fractions round halves to even
// (2.5 gives 2, 3.5 gives 4). Text that is no number ("nan" included) raises 13 (type mismatch); a
// number outside the target's range raises 6 (overflow), even one too large for a double ("1e400"),
// while one too small for a double ("1e-400") is 0.

// A 32-bit whole number. Raises 13 or 6.
std::int32_t toInt32(const QString& text);
std::int32_t toInt32(const QVariant& value);

// A 16-bit whole number. Raises 13 or 6.
std::int16_t toInt16(const QString& text);
std::int16_t toInt16(const QVariant& value);

// A whole number in [minimum, maximum]. Raises 13 or 6; a Null value raises 94.
std::int64_t toWholeNumber(const QVariant& value, std::int64_t minimum, std::int64_t maximum);

// "True" and "False" in any capitals, or a number (anything but 0 is true). Raises 13 for other text.
bool toBoolean(const QString& text);

// How booleans are written: "True" or "False".
QString fromBoolean(bool value);

// A value appended to the empty string: Null gives empty text, a date its ISO form, a boolean "True"/"False".
QString toText(const QVariant& value);
