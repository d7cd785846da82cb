#include "core/Conversions.h"

#include "core/Failure.h"

#include <QDate>
#include <QLocale>

#include <cmath>
#include <limits>

namespace {

std::int64_t checkedRange(std::int64_t number, std::int64_t minimum, std::int64_t maximum)
{
    if (number < minimum || number > maximum)
        throw Failure(ErrorNumber::Overflow);
    return number;
}

std::int64_t roundedInRange(double number, std::int64_t minimum, std::int64_t maximum)
{
    if (std::isnan(number))
        throw Failure(ErrorNumber::TypeMismatch);
    // nearbyint uses the default rounding mode, which rounds halves to even.
    const double rounded = std::nearbyint(number);
    // 2^63 is the first double past every 64-bit whole number; it equals the largest one made a double,
    // so a comparison with that would let it through to an undefined conversion.
    constexpr double limit = 9223372036854775808.0;
    if (!(rounded >= -limit && rounded < limit))
        throw Failure(ErrorNumber::Overflow);
    return checkedRange(static_cast<std::int64_t>(rounded), minimum, maximum);
}

// Digits with an optional sign, point and exponent, in ASCII.
bool isPlainDecimal(QStringView text)
{
    qsizetype i = 0;
    const auto digitsFrom = [&text, &i] {
        const qsizetype first = i;
        while (i < text.size() && text.at(i) >= u'0' && text.at(i) <= u'9')
            ++i;
        return i - first;
    };
    if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-'))
        ++i;
    qsizetype digits = digitsFrom();
    if (i < text.size() && text.at(i) == u'.') {
        ++i;
        digits += digitsFrom();
    }
    if (digits == 0)
        return false;
    if (i < text.size() && (text.at(i) == u'e' || text.at(i) == u'E')) {
        ++i;
        if (i < text.size() && (text.at(i) == u'+' || text.at(i) == u'-'))
            ++i;
        if (digitsFrom() == 0)
            return false;
    }
    return i == text.size();
}

// A number written in the C locale. Raises 13 for text that is no number, "nan" included.
double readNumber(const QString& trimmed)
{
    bool ok = false;
    const double number = QLocale::c().toDouble(trimmed, &ok);
    if (ok && !std::isnan(number))
        return number;
    // The C locale refuses a number beyond a double's range: with an infinity when it is too large,
    // with zero when it is too small, which is what such a number rounds to.
    if (!ok && std::isinf(number))
        return number;
    if (!ok && isPlainDecimal(trimmed))
        return 0.0;
    throw Failure(ErrorNumber::TypeMismatch);
}

std::int64_t parseWholeNumber(const QString& text, std::int64_t minimum, std::int64_t maximum)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        throw Failure(ErrorNumber::TypeMismatch);

    // Plain digits are read exactly, so that large values are not rounded through a double.
    bool ok = false;
    const qlonglong exact = trimmed.toLongLong(&ok, 10);
    if (ok)
        return checkedRange(exact, minimum, maximum);
    return roundedInRange(readNumber(trimmed), minimum, maximum);
}

} // namespace

std::int64_t toWholeNumber(const QVariant& value, std::int64_t minimum, std::int64_t maximum)
{
    if (value.isNull())
        throw Failure(ErrorNumber::InvalidUseOfNull);
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? -1 : 0;
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::UShort:
        return checkedRange(value.toLongLong(), minimum, maximum);
    // Unsigned 64-bit values past the signed range would wrap to negative numbers.
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        if (value.toULongLong() > static_cast<qulonglong>(std::numeric_limits<std::int64_t>::max()))
            throw Failure(ErrorNumber::Overflow);
        return checkedRange(value.toLongLong(), minimum, maximum);
    case QMetaType::Double:
    case QMetaType::Float:
        return roundedInRange(value.toDouble(), minimum, maximum);
    case QMetaType::QString:
        return parseWholeNumber(value.toString(), minimum, maximum);
    default:
        throw Failure(ErrorNumber::TypeMismatch);
    }
}

std::int32_t toInt32(const QString& text)
{
    return static_cast<std::int32_t>(
        parseWholeNumber(text, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int32_t toInt32(const QVariant& value)
{
    return static_cast<std::int32_t>(
        toWholeNumber(value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int16_t toInt16(const QString& text)
{
    return static_cast<std::int16_t>(
        parseWholeNumber(text, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

std::int16_t toInt16(const QVariant& value)
{
    return static_cast<std::int16_t>(
        toWholeNumber(value, std::numeric_limits<std::int16_t>::min(), std::numeric_limits<std::int16_t>::max()));
}

bool toBoolean(const QString& text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.compare(u"True", Qt::CaseInsensitive) == 0)
        return true;
    if (trimmed.compare(u"False", Qt::CaseInsensitive) == 0)
        return false;
    return readNumber(trimmed) != 0.0;
}

QString fromBoolean(bool value)
{
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

QString toText(const QVariant& value)
{
    if (value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Bool:
        return fromBoolean(value.toBool());
    case QMetaType::QDate:
        return value.toDate().toString(Qt::ISODate);
    default:
        return value.toString();
    }
}
