#pragma once

#include <QDate>
#include <QString>

class QWidget;

// The one-click periods of the period dialog, in their order on the screen.
enum class PeriodPreset { Today, ThisWeek, ThisMonth, LastMonth, ThisYear, LastYear };

struct Period
{
    QDate from;
    QDate to;
};

// The period a preset stands for on the given day. Weeks run Monday to Sunday (ISO 8601),
// so a week may reach into the neighbouring year.
Period PresetPeriod(PeriodPreset preset, const QDate &today);

// Asks for a period. On OK returns true with from and to set to the picked dates (a from-date
// after the to-date is handed back as it is); otherwise returns false and leaves both alone.
// A non-empty caption replaces the window caption.
bool PickPeriod(QDate &from, QDate &to, const QString &caption = QString(), QWidget *parent = nullptr);

// Asks for one date. On OK returns true with date set; otherwise returns false and leaves it
// alone. A non-empty caption replaces the window caption.
bool PickDate(QDate &date, const QString &caption = QString(), QWidget *parent = nullptr);
