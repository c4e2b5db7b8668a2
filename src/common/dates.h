#pragma once

#include <QDate>
#include <QString>

int YearOfDate(QDate date);
// 1 to 12
int MonthOfDate(QDate date);
// ISO 8601: weeks begin on Monday, week 1 holds the year's first Thursday (so 1 January may
// be in week 52 or 53 of the year before, and 31 December in week 1 of the next).
int WeekOfDate(QDate date);
// "yyyy.mm.dd - yyyy.mm.dd"
QString PeriodText(QDate first, QDate last);

// The date of year `year` from a month-and-day text "mm.dd" as a masked date field shows it
// (blanks shown as "_" or " "). Month and day take two digits each. An invalid date and a
// message saying what is wrong when the text names no day (also when a part is half-typed).
QDate MonthDayDate(int year, const QString &monthDay, QString *error = nullptr);
