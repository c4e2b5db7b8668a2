#pragma once

#include <QAbstractTableModel>

class ResultSet;
class Table;

// The console's result grid: every column of whatever rows it is given, titled by the field
// names, decoded only when painted. Over a table it is editable in place: a changed cell is
// posted through the table (an empty cell of a column that is not text becomes NULL) and the
// table is read again, so the grid shows what the server stored.
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

    // Deletes the row through the table and reads the table again. Throws DbError.
    void removeTableRow(int row);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    // A value the server refuses is shown by the general error handler; the cell keeps what the
    // table holds.
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

signals:
    // After a post or a delete went through and the table was read again.
    void tableChanged();

private:
    void reread();

    const ResultSet *m_rows = nullptr;
    Table *m_table = nullptr;
};
