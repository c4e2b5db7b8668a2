#include "exportvalues.h"

#include "common/cp1250.h"

#include <QDate>
#include <QTime>
#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace {

// Digits at raw[pos, pos + count) as a number; nullopt when any is no digit or out of range.
std::optional<int> digits(QByteArrayView raw, qsizetype pos, qsizetype count)
{
    if (pos < 0 || pos + count > raw.size())
        return std::nullopt;
    int value = 0;
    for (qsizetype i = pos; i < pos + count; ++i) {
        const char c = raw[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

// "yyyy-MM-dd" at the start; invalid for the zero date and anything else.
QDate parseDate(QByteArrayView raw)
{
    if (raw.size() < 10 || raw[4] != '-' || raw[7] != '-')
        return {};
    const auto y = digits(raw, 0, 4), m = digits(raw, 5, 2), d = digits(raw, 8, 2);
    if (!y || !m || !d)
        return {};
    return QDate(*y, *m, *d);
}

// "HH:mm:ss" with optional fraction, from `pos` to the end; invalid for a negative time or
// one of a day or more (a TIME column may hold both).
QTime parseTime(QByteArrayView raw, qsizetype pos)
{
    const qsizetype colon = raw.indexOf(':', pos);
    if (colon < pos + 1 || colon > pos + 2)
        return {};
    const auto h = digits(raw, pos, colon - pos), m = digits(raw, colon + 1, 2),
               s = digits(raw, colon + 4, 2);
    if (!h || !m || !s || raw.size() < colon + 6 || raw[colon + 3] != ':')
        return {};
    int ms = 0;
    const qsizetype rest = colon + 6;
    if (rest < raw.size()) {
        if (raw[rest] != '.')
            return {};
        int scale = 100;
        for (qsizetype i = rest + 1; i < raw.size() && i < rest + 4; ++i, scale /= 10) {
            const auto digit = digits(raw, i, 1);
            if (!digit)
                return {};
            ms += *digit * scale;
        }
    }
    return QTime(*h, *m, *s, ms);
}

QByteArray dateText(QDate date)
{
    return date.toString(u"yyyy. MM. dd."_s).toLatin1();
}

QByteArray timeText(QTime time)
{
    return time.toString(u"H:mm:ss"_s).toLatin1();
}

double daySerial(QDate date)
{
    return double(QDate(1899, 12, 30).daysTo(date));
}

double timeFraction(QTime time)
{
    return time.msecsSinceStartOfDay() / 86400000.0;
}

// Spreadsheets count 1900-02-29, which never was, so day numbers before March 1900 are off.
bool hasDaySerial(QDate date)
{
    return date.isValid() && date >= QDate(1900, 3, 1) && date.year() <= 9999;
}

int significantDigits(QByteArrayView raw)
{
    int count = 0;
    bool leading = true;
    for (const char c : raw) {
        if (c < '0' || c > '9')
            continue;
        if (leading && c == '0')
            continue;
        leading = false;
        ++count;
    }
    return count;
}

SheetCell textCell(QString text)
{
    SheetCell cell;
    cell.type = SheetCell::Type::Text;
    text.replace(u"\r\n"_s, u"\n"_s);
    text.replace(u'\r', u'\n');
    cell.text = std::move(text);
    return cell;
}

SheetCell numberCell(double value, SheetCell::Format format = SheetCell::Format::General)
{
    SheetCell cell;
    cell.type = SheetCell::Type::Number;
    cell.format = format;
    cell.number = value;
    return cell;
}

} // namespace

QByteArray ExportDisplayText(ExportKind kind, QByteArrayView raw)
{
    switch (kind) {
    case ExportKind::Float:
    case ExportKind::Decimal: return raw.toByteArray().replace('.', ',');
    case ExportKind::Date: {
        const QDate date = parseDate(raw);
        return date.isValid() ? dateText(date) : raw.toByteArray();
    }
    case ExportKind::DateTime: {
        const QDate date = parseDate(raw);
        const QTime time = raw.size() > 11 ? parseTime(raw, 11) : QTime();
        if (!date.isValid() || !time.isValid())
            return raw.toByteArray();
        if (time.msecsSinceStartOfDay() / 1000 == 0)
            return dateText(date);
        return dateText(date) + ' ' + timeText(time);
    }
    case ExportKind::Time: {
        const QTime time = parseTime(raw, 0);
        return time.isValid() ? timeText(time) : raw.toByteArray();
    }
    case ExportKind::Integer:
    case ExportKind::Text:
    case ExportKind::Memo:
    case ExportKind::Blob: break;
    }
    return raw.toByteArray();
}

SheetCell ExportSheetCell(ExportKind kind, bool isNull, QByteArrayView raw)
{
    if (kind == ExportKind::Blob)
        return textCell(u"BLOB"_s);
    if (isNull)
        return {};
    switch (kind) {
    case ExportKind::Integer: {
        bool ok = false;
        const qlonglong value = raw.toLongLong(&ok);
        // Whole numbers beyond 2^53 would come back rounded. (No llabs: the smallest BIGINT has
        // no positive counterpart.)
        constexpr qlonglong exact = 1LL << 53;
        if (ok && value >= -exact && value <= exact)
            return numberCell(double(value));
        break;
    }
    case ExportKind::Float: {
        bool ok = false;
        const double value = raw.toDouble(&ok);
        if (ok && std::isfinite(value))
            return numberCell(value);
        break;
    }
    case ExportKind::Decimal: {
        bool ok = false;
        const double value = raw.toDouble(&ok);
        if (ok && std::isfinite(value) && significantDigits(raw) <= 15)
            return numberCell(value);
        break;
    }
    case ExportKind::Date: {
        const QDate date = parseDate(raw);
        if (hasDaySerial(date))
            return numberCell(daySerial(date), SheetCell::Format::Date);
        break;
    }
    case ExportKind::DateTime: {
        const QDate date = parseDate(raw);
        const QTime time = raw.size() > 11 ? parseTime(raw, 11) : QTime();
        if (hasDaySerial(date) && time.isValid())
            return numberCell(daySerial(date) + timeFraction(time), SheetCell::Format::DateTime);
        break;
    }
    case ExportKind::Time: {
        const QTime time = parseTime(raw, 0);
        if (time.isValid())
            return numberCell(timeFraction(time), SheetCell::Format::Time);
        break;
    }
    case ExportKind::Text:
    case ExportKind::Memo:
    case ExportKind::Blob: break;
    }
    return textCell(FromCp1250(raw));
}
