#pragma once

#include "registercolumns.h"

#include <QAbstractTableModel>
#include <QColor>

class Query;

// The register grid's eight columns over the register query. Cells are decoded only when the
// view asks for them, so a long list costs no more than the rows painted. Rows are coloured by
// status; the grid's delegate marks the sort column over that.
class RegisterModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The columns of registercolumns.h: RegisterModel::ColNumber and so on.
    using enum RegisterColumn;

    static const QColor OpenColour;     // status 1
    static const QColor FinishedColour; // status 2

    explicit RegisterModel(Query *query, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    QString fieldName(int column) const;

    // Status of a row as the colouring sees it: 0 when the row has no number (the empty row of
    // an empty list) or no status.
    int rowStatus(int row) const;

private:
    void resolveColumns();

    Query *m_query;
    int m_fieldOf[RegisterColumnCount] = {-1, -1, -1, -1, -1, -1, -1, -1};
    int m_statusField = -1;
    int m_numberField = -1;
};
