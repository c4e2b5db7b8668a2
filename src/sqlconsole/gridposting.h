#pragma once

#include "db/resultset.h"

#include <QList>
#include <QString>
#include <QVariant>

class Table;

// What the console's grid writes to a table when a cell is typed, without a window.

// The value a typed cell of a stored row is written as: empty text is NULL except in a text or
// binary column, where it is the empty value a text column can hold.
QVariant GridCellValue(const FieldInfo &field, const QString &text);

// The value a typed cell of the new row keeps: empty text is no value, so the column gets its
// default from the server (an invalid QVariant is never written).
QVariant NewRowCellValue(const QString &text);

// Writes `text` into the cell and posts the row; a refused post is cancelled, so the table's
// row stays as read, and thrown on. Typing the text that is there already writes nothing:
// false then, true when the row was written.
bool PostGridCell(Table &table, int row, int column, const QString &text);

// Appends the new row with the values it was given (the others left to the server's defaults)
// and posts it; a refused post is cancelled and thrown on. A row without any value is not
// written: false then, true when the row was written.
bool PostGridNewRow(Table &table, const QList<QVariant> &values);
