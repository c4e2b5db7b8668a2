#include "dates.h"

using namespace Qt::StringLiterals;

int YearOfDate(QDate date)
{
    return date.year();
}

int MonthOfDate(QDate date)
{
    return date.month();
}

int WeekOfDate(QDate date)
{
    return date.weekNumber();
}

QString PeriodText(QDate first, QDate last)
{
    return first.toString(u"yyyy.MM.dd"_s) + u" - "_s + last.toString(u"yyyy.MM.dd"_s);
}

QDate MonthDayDate(int year, const QString &monthDay, QString *error)
{
    const QString month = monthDay.mid(0, 2);
    const QString day = monthDay.mid(3, 2);
    const auto blank = [](QString part) { return part.remove(u'_').trimmed().isEmpty(); };
    // Both digits of each part: "1_" is a month left half-typed, not January.
    const auto twoDigits = [](const QString &part) {
        const auto digit = [](QChar c) { return c >= u'0' && c <= u'9'; };
        return part.size() == 2 && digit(part.at(0)) && digit(part.at(1));
    };
    const auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return QDate();
    };
    if (blank(month) || blank(day))
        return fail(u"A dátum hiányos: a hónapot és a napot is meg kell adni (hh.nn)."_s);
    if (!twoDigits(month) || !twoDigits(day))
        return fail(u"Érvénytelen dátum: \"%1\"."_s.arg(monthDay));
    const int m = month.toInt();
    const int d = day.toInt();
    if (m < 1 || m > 12)
        return fail(u"Érvénytelen dátum: nincs %1. hónap."_s.arg(m));
    const QDate date(year, m, d);
    if (!date.isValid())
        return fail(u"Érvénytelen dátum: %1.%2.%3. nem létező nap."_s.arg(year)
                        .arg(m, 2, 10, QChar(u'0'))
                        .arg(d, 2, 10, QChar(u'0')));
    return date;
}
