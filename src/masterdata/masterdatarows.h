#pragma once

#include <QString>

class Connection;

// What the master-data windows change in the database, without a window: the windows ask and
// show, these routines write. Database errors are thrown as DbError.

// The table name of a master-data table, which becomes part of SQL text: accepted only as a
// plain identifier (a letter or "_", then letters, digits and "_"); anything else throws
// DbError "Érvénytelen táblanév: " + the name.
const QString &CheckedTableName(const QString &table);
// The name column of a master-data table: the table's name + "_nev".
QString MasterDataNameColumn(const QString &table);

// Deletes the row of a master-data table (id column named like the table) whose id is `id`.
// True when there was such a row. Nothing checks whether resolution records still refer to it.
bool DeleteMasterDataRow(Connection &con, const QString &table, int id);

// Deletes a subject from the catalogue; true when it was there. The empty subject stands for
// the records saved without one and is never listed, so it is never deleted (false); to the
// column's collation a text of blanks is that subject too.
bool DeleteSubject(Connection &con, const QString &subject);
