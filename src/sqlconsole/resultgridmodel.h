#pragma once

#include <QAbstractTableModel>
#include <functional>

class ResultSet;
class Table;

// The console's result grid: every column of whatever rows it is given, titled by the field
// names, decoded only when painted. Over a table it is editable in place: a changed cell is
// posted through the table (an empty cell of a column that is not text becomes NULL), and
// tableWritten() asks the window to read the table again (off its thread), so that the grid
// shows what the server stored.
//
// A table can also get a new row, shown below the others: what is typed into it is kept until
// postNewRow() writes it (the window calls it when the user leaves the row); a cell nothing was
// typed into is left out of the INSERT, so it gets the column's default (NULL where there is
// none), and the key comes from the server.
class ResultGridModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // Read-only rows (a query's), or nothing (nullptr).
    void showRows(const ResultSet *rows);
    // An open table, editable.
    void showTable(Table *table);
    Table *table() const { return m_table; }
    const ResultSet *rows() const { return m_rows; }

    // Rows added below those shown (the rest of a query that arrives in parts).
    void beginAppend(int first, int last) { beginInsertRows({}, first, last); }
    void endAppend() { endInsertRows(); }

    // Deletes the row through the table. Throws DbError.
    void removeTableRow(int row);
    // The table read again: `replace` puts the new rows in place while the grid is reset.
    void replaceTable(const std::function<void()> &replace);
    // While the console's connection is busy nothing may be written through it.
    void setReadOnly(bool readOnly);

    // Adds an empty new row below the table's rows (false when one is there already, or no
    // table is shown); its row number, or -1.
    int addNewRow();
    // A new row that has not been written yet.
    bool hasNewRow() const { return m_newRow && !m_newRowPosted; }
    int newRowIndex() const { return m_newRow ? rowCount() - 1 : -1; }
    // Writes the new row; a row nothing was typed into is dropped. A row the server refuses
    // stays, with what was typed, for another try; the error is thrown.
    void postNewRow();

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A value the server refuses is shown by the general error handler; the cell keeps what the
    // table holds.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    // A post or a delete went through: the table wants reading again.
    void tableWritten();
    // The table was read again (replaceTable()).
    void tableChanged();

private:
    int storedRowCount() const;
    QVariant newRowData(int column, int role) const;
    void dropNewRow();

    const ResultSet *m_rows = nullptr;
    Table *m_table = nullptr;
    bool m_readOnly = false;
    bool m_newRow = false;
    bool m_newRowPosted = false;
    QList<QVariant> m_newValues; // typed into the new row; invalid: nothing typed
};
