#include "periods.h"

Period PresetPeriod(PeriodPreset preset, const QDate &today)
{
    switch (preset) {
    case PeriodPreset::Today: return {today, today};
    case PeriodPreset::ThisWeek: {
        const QDate monday = today.addDays(1 - today.dayOfWeek());
        return {monday, monday.addDays(6)};
    }
    case PeriodPreset::ThisMonth: {
        const QDate first(today.year(), today.month(), 1);
        return {first, first.addMonths(1).addDays(-1)};
    }
    case PeriodPreset::LastMonth: {
        const QDate first = QDate(today.year(), today.month(), 1).addMonths(-1);
        return {first, first.addMonths(1).addDays(-1)};
    }
    case PeriodPreset::ThisYear: return {QDate(today.year(), 1, 1), QDate(today.year(), 12, 31)};
    case PeriodPreset::LastYear: return {QDate(today.year() - 1, 1, 1), QDate(today.year() - 1, 12, 31)};
    }
    return {today, today};
}
