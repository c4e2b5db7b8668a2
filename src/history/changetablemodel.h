#pragma once

#include "changehistory.h"

#include <QAbstractTableModel>

// The history rows of a grid: one line a change, long values cut to their first line.
class ChangeTableModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRows(QList<ChangeRow> rows);
    const ChangeRow &change(int row) const { return m_rows.at(row); }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<ChangeRow> m_rows;
};

// A value as one grid cell: its first line, at most a hundred characters; "(üres)" for NULL.
QString ChangeCellText(const QString &value, bool isNull);
