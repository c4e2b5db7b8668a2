// The month-and-day text of the editor, and the one-click periods for any day.

#include "common/cp1250.h"
#include "common/dates.h"
#include "fuzzcheck.h"
#include "register/periods.h"

#include <fuzzer/FuzzedDataProvider.h>

namespace {

void CheckMonthDay(int year, const QString &text)
{
    QString error;
    const QDate date = MonthDayDate(year, text, &error);
    FUZZ_CHECK(MonthDayDate(year, text) == date);
    if (!date.isValid()) {
        FUZZ_CHECK(!error.isEmpty());
        return;
    }
    FUZZ_CHECK(error.isEmpty());
    FUZZ_CHECK(date.year() == year);
    // The date is the one the digits name.
    FUZZ_CHECK(text.mid(0, 2) == QString::asprintf("%02d", date.month()));
    FUZZ_CHECK(text.mid(3, 2) == QString::asprintf("%02d", date.day()));
}

void CheckPresets(QDate day)
{
    const QDate firstOfMonth(day.year(), day.month(), 1);
    for (const PeriodPreset preset :
         {PeriodPreset::Today, PeriodPreset::ThisWeek, PeriodPreset::ThisMonth, PeriodPreset::LastMonth,
          PeriodPreset::ThisYear, PeriodPreset::LastYear}) {
        const Period p = PresetPeriod(preset, day);
        FUZZ_CHECK(p.from.isValid() && p.to.isValid() && p.from <= p.to);
        switch (preset) {
        case PeriodPreset::Today: FUZZ_CHECK(p.from == day && p.to == day); break;
        case PeriodPreset::ThisWeek:
            FUZZ_CHECK(p.from.dayOfWeek() == 1 && p.from.daysTo(p.to) == 6);
            FUZZ_CHECK(p.from <= day && day <= p.to);
            break;
        case PeriodPreset::ThisMonth:
            FUZZ_CHECK(p.from == firstOfMonth && p.to.month() == day.month() && p.to.addDays(1).day() == 1);
            break;
        case PeriodPreset::LastMonth: FUZZ_CHECK(p.from.day() == 1 && p.to.addDays(1) == firstOfMonth); break;
        case PeriodPreset::ThisYear:
            FUZZ_CHECK(p.from == QDate(day.year(), 1, 1) && p.to == QDate(day.year(), 12, 31));
            break;
        case PeriodPreset::LastYear:
            FUZZ_CHECK(p.to.addDays(1) == QDate(day.year(), 1, 1) && p.from.month() == 1 &&
                       p.from.day() == 1);
            break;
        }
    }
    // A week number belongs to the Thursday of the same week.
    const QDate thursday = day.addDays(4 - day.dayOfWeek());
    FUZZ_CHECK(WeekOfDate(day) == (QDate(thursday.year(), 1, 1).daysTo(thursday) / 7) + 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    // The register's years, with room on both sides.
    const int year = input.ConsumeIntegralInRange<int>(1, 9999);
    const QDate day = QDate(2, 1, 1).addDays(input.ConsumeIntegralInRange<int>(0, 3650000));
    const std::string text = input.ConsumeRemainingBytesAsString();
    CheckMonthDay(year, FromCp1250(QByteArrayView(text.data(), qsizetype(text.size()))));
    if (day.year() <= 9999)
        CheckPresets(day);
    return 0;
}
