#include "values.h"

#include "cp1250.h"

#include <QLocale>
#include <QTime>
#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace values {

const QDate DayZero(1899, 12, 30);
constexpr double MsPerDay = 86400000.0;

QString textOf(const QVariant &value)
{
    return value.typeId() == QMetaType::QByteArray ? FromCp1250(value.toByteArray()) : value.toString();
}

// The value as an error message quotes it, cut short.
QString shownValue(const QVariant &value)
{
    QString text = textOf(value);
    if (text.size() > 60)
        text = text.left(60) + u'…';
    return text;
}

[[noreturn]] void failInt(const QVariant &value)
{
    throw ConversionError(u"Az érték nem alakítható egész számmá: „%1”"_s.arg(shownValue(value)));
}

[[noreturn]] void failFloat(const QVariant &value)
{
    throw ConversionError(u"Az érték nem alakítható számmá: „%1”"_s.arg(shownValue(value)));
}

// Text typed or stored as a number: C form first ("3.5"), then the Hungarian decimal comma.
bool parseDouble(const QString &text, double *out)
{
    const QString t = text.trimmed();
    bool ok = false;
    double d = QLocale::c().toDouble(t, &ok);
    if (!ok)
        d = QLocale(QLocale::Hungarian, QLocale::Hungary).toDouble(t, &ok);
    if (ok && std::isfinite(d)) {
        *out = d;
        return true;
    }
    return false;
}

bool isTextType(int typeId)
{
    return typeId == QMetaType::QString || typeId == QMetaType::QByteArray || typeId == QMetaType::QChar;
}

bool isIntegerType(int typeId)
{
    switch (typeId) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar: return true;
    default: return false;
    }
}

int roundedToInt(double d, const QVariant &value)
{
    if (!std::isfinite(d))
        failInt(value);
    const double r = std::round(d);
    if (r < double(std::numeric_limits<int>::min()) || r > double(std::numeric_limits<int>::max()))
        failInt(value);
    return int(r);
}

} // namespace values

QString ValueToStr(const QVariant &value, const QString &defaultText)
{
    if (value.isNull())
        return defaultText;
    if (value.typeId() == QMetaType::QByteArray)
        return FromCp1250(value.toByteArray());
    if (!value.canConvert<QString>())
        throw ConversionError(
            u"Az érték nem alakítható szöveggé (%1)."_s.arg(QString::fromLatin1(value.typeName())));
    return value.toString();
}

int ValueToInt(const QVariant &value, int defaultValue)
{
    if (value.isNull())
        return defaultValue;
    const int type = value.typeId();
    if (type == QMetaType::ULongLong || type == QMetaType::ULong) {
        bool ok = false;
        const qulonglong u = value.toULongLong(&ok);
        if (!ok || u > qulonglong(std::numeric_limits<int>::max()))
            values::failInt(value);
        return int(u);
    }
    if (values::isIntegerType(type)) {
        bool ok = false;
        const qlonglong n = value.toLongLong(&ok);
        if (!ok || n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
            values::failInt(value);
        return int(n);
    }
    if (type == QMetaType::Double || type == QMetaType::Float)
        return values::roundedToInt(value.toDouble(), value);
    if (type == QMetaType::QDate || type == QMetaType::QDateTime || type == QMetaType::QTime)
        return values::roundedToInt(ValueToFloat(value), value);
    if (values::isTextType(type)) {
        const QString text = values::textOf(value).trimmed();
        bool ok = false;
        const qlonglong n = text.toLongLong(&ok);
        if (ok) {
            if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
                values::failInt(value);
            return int(n);
        }
        double d = 0;
        if (values::parseDouble(text, &d))
            return values::roundedToInt(d, value);
        values::failInt(value);
    }
    values::failInt(value);
}

double ValueToFloat(const QVariant &value, double defaultValue)
{
    if (value.isNull())
        return defaultValue;
    const int type = value.typeId();
    if (type == QMetaType::QDate) {
        const QDate date = value.toDate();
        if (!date.isValid())
            values::failFloat(value);
        return double(values::DayZero.daysTo(date));
    }
    if (type == QMetaType::QDateTime) {
        const QDateTime dt = value.toDateTime();
        if (!dt.isValid())
            values::failFloat(value);
        return DateTimeToFloat(dt);
    }
    if (type == QMetaType::QTime) {
        const QTime time = value.toTime();
        if (!time.isValid())
            values::failFloat(value);
        return time.msecsSinceStartOfDay() / values::MsPerDay;
    }
    if (values::isIntegerType(type) || type == QMetaType::Double || type == QMetaType::Float)
        return value.toDouble();
    if (values::isTextType(type)) {
        double d = 0;
        if (values::parseDouble(values::textOf(value), &d))
            return d;
    }
    values::failFloat(value);
}

QString ValueToIntText(const QVariant &value)
{
    return QString::number(ValueToInt(value, 0));
}

QVariant IfThenValue(bool condition, const QVariant &a, const QVariant &b)
{
    return condition ? a : b;
}

double DateTimeToFloat(const QDateTime &dateTime)
{
    const double days = double(values::DayZero.daysTo(dateTime.date()));
    const double fraction = dateTime.time().msecsSinceStartOfDay() / values::MsPerDay;
    return days < 0 ? days - fraction : days + fraction;
}

QDateTime FloatToDateTime(double value)
{
    const double whole = std::trunc(value);
    const double fraction = std::fabs(value - whole);
    const int ms = int(std::lround(fraction * values::MsPerDay));
    return QDateTime(values::DayZero.addDays(qint64(whole)), QTime(0, 0)).addMSecs(ms);
}
