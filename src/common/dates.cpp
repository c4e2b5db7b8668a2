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
