#pragma once

#include <QAbstractTableModel>
#include <functional>

class Query;
class ResultSet;

// A read-only grid over a Query: each grid column shows one field of the query, found by name
// whenever the query is (re)opened. Cells are decoded only when the view asks for them. A column
// may draw its cells itself (a picture for a flag, say) through `cell`.
class QueryTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // What a cell shows for a role; `rows` is the query's result, `row` and `field` locate the
    // cell (field -1 when the query lacks the column). An invalid QVariant falls back to the
    // default: the field's text for Qt::DisplayRole, nothing for other roles.
    using CellFunction = std::function<QVariant(const ResultSet &rows, int row, int field, int role)>;

    struct Column
    {
        QString field;
        QString title;
        // Grid width in pixels; 0 lets the list window stretch this column.
        int width = 0;
        CellFunction cell = {};
    };

    QueryTableModel(Query *query, QList<Column> columns, QObject *parent = nullptr);

    Query *query() const { return m_query; }
    const QList<Column> &columns() const { return m_columns; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    void resolveFields();

    Query *m_query;
    QList<Column> m_columns;
    QList<int> m_fieldOf;
};
