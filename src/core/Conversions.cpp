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
    if (!std::isfinite(number))
        throw Failure(ErrorNumber::Overflow);
    // nearbyint uses the default rounding mode, which rounds halves to even.
    const double rounded = std::nearbyint(number);
    if (rounded < static_cast<double>(minimum) || rounded > static_cast<double>(maximum))
        throw Failure(ErrorNumber::Overflow);
    return static_cast<std::int64_t>(rounded);
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

    const double number = QLocale::c().toDouble(trimmed, &ok);
    if (!ok)
        throw Failure(ErrorNumber::TypeMismatch);
    return roundedInRange(number, minimum, maximum);
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
    case QMetaType::ULong:
        return checkedRange(value.toLongLong(), minimum, maximum);
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
    bool ok = false;
    const double number = QLocale::c().toDouble(trimmed, &ok);
    if (!ok)
        throw Failure(ErrorNumber::TypeMismatch);
    return number != 0.0;
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
