#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class Connection;

// An index of a table as the server describes it.
struct TableIndex
{
    QString name;
    bool unique = false;
    QStringList columns; // in the index's order, lower case
};

// The indexes of a table of the connection's database. Throws DbError when the server refuses.
QList<TableIndex> TableIndexes(Connection &con, const QString &table);

// Whether iktato has an index on the year alone (or on the year and then the key, which InnoDB
// appends to every index anyway): within a year its entries are then in key order. Databases
// made before the index was added lack it. Throws DbError.
bool HasYearIndex(Connection &con);
