#pragma once

#include <QString>

class Connection;
class Query;

// What both printed reports read from the database, without a window.

// The owner block of both reports: one row of vw_tulajdonos.
struct ReportOwner
{
    QString tulajdonos; // name
    QString irszvaros;  // postcode and town
    QString telefon;
};

// Reads the owner block; empty texts when the view has no row, and for a column it lacks (an
// older view) or a NULL.
ReportOwner LoadReportOwner(Connection &connection);

// Opens the report query on one resolution record (no row for an id that is not there).
void OpenResolutionQuery(Query &query, int recordId);
