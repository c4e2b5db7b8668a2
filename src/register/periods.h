#pragma once

#include <QDate>

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
