#pragma once

#include "db/resultset.h"

#include <QHash>
#include <QList>
#include <vector>

class Connection;

// The whole rows (every column of vw_iktato) of a few records of the register, by id: what the
// grid's rows leave out (the full resolution text, the attachments) for the records around the
// current one, read in one statement by their keys.
class RegisterDetails
{
public:
    // The ids of the grid's rows around `row`, a few before it and more after it, so that moving
    // through the grid asks the server once every few rows.
    static QList<qint64> idsAround(const ResultSet &gridRows, int row);
    // The same from the ids of the rows in their order.
    static QList<qint64> idsAround(const std::vector<qint64> &rowIds, int row);
    static RegisterDetails read(Connection &connection, const QList<qint64> &ids);

    // Whether the record was asked for; one that another workstation deleted meanwhile was asked
    // and has no row.
    bool has(qint64 id) const { return m_rowOf.contains(id); }
    // The column of the record; empty for NULL, for a record without a row and for no column.
    QString text(qint64 id, const QString &field) const;
    bool hasField(const QString &field) const { return m_rows.fieldIndex(field) >= 0; }

private:
    ResultSet m_rows;
    QHash<qint64, int> m_rowOf; // -1: asked, not found
};
