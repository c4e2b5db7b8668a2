#pragma once

#include "output/reportband.h"

#include <QDateTime>
#include <QString>

class Connection;
class Query;
class ResultSet;

// The owner block of both reports: one row of vw_tulajdonos.
struct ReportOwner
{
    QString tulajdonos; // name
    QString irszvaros;  // postcode and town
    QString telefon;
};

// Reads the owner block; empty texts when the view has no row.
ReportOwner LoadReportOwner(Connection &connection);

// Opens the report query on one resolution record (no row for an id that is not there).
void OpenResolutionQuery(Query &query, int iktato);

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
