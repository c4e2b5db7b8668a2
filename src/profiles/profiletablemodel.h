#pragma once

#include "config/profilelist.h"

#include <QAbstractTableModel>

// The profile manager's in-memory list as a read-only grid: display name, database, host, port,
// user and schema version (the password is never shown). The rows stay sorted by one column;
// a row that is added or changed moves to its place in that order.
class ProfileTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    explicit ProfileTableModel(QList<ProfileRow> rows, QObject *parent = nullptr);

    // The rows in the grid's order.
    const QList<ProfileRow> &rows() const { return m_rows; }
    const ProfileRow &row(int index) const { return m_rows.at(index); }

    // Each returns the row's position afterwards.
    int insertProfile(const ProfileRow &row);
    int setProfile(int index, const ProfileRow &row);
    void removeProfile(int index);
    // Sorts by the column; returns where the row that was at `keep` is now (-1 stays -1).
    int sortBy(ProfileColumn column, int keep = -1);
    ProfileColumn sortColumn() const { return m_sortColumn; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<ProfileRow> m_rows;
    ProfileColumn m_sortColumn = ProfileColumn::DisplayName;
};
