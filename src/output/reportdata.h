#pragma once

#include "output/reportband.h"
#include "output/reportsource.h"

#include <QDateTime>
#include <QString>

class ResultSet;

// The printed columns of the report query's rows. A column the result lacks reads empty.
class ReportRows
{
public:
    enum Column { Hosszu, Datum, Targy, Felelos, DatHatid, StatuszNev, Hatarozat, ColumnCount };

    // The result must outlive this object.
    explicit ReportRows(const ResultSet &result);

    int count() const;
    // Dates in the short date format the register shows.
    QString text(int row, Column column) const;

private:
    const ResultSet &m_result;
    int m_index[ColumnCount];
};

// The page footer both reports share, with the report's name at the bottom right.
inline constexpr qreal ReportFooterHeight = 14.6;
ReportBand ReportPageFooter(int page, const QString &reportName, const QDateTime &printedAt,
                            const QString &address, qreal width);
