#include "profiletablemodel.h"

using namespace Qt::StringLiterals;

ProfileTableModel::ProfileTableModel(QList<ProfileRow> rows, QObject *parent)
    : QAbstractTableModel(parent), m_rows(std::move(rows))
{
}

int ProfileTableModel::insertProfile(const ProfileRow &row)
{
    m_rows.append(row);
    return sortBy(m_sortColumn, int(m_rows.size()) - 1);
}

int ProfileTableModel::setProfile(int index, const ProfileRow &row)
{
    m_rows[index] = row;
    return sortBy(m_sortColumn, index);
}

void ProfileTableModel::removeProfile(int index)
{
    beginRemoveRows({}, index, index);
    m_rows.removeAt(index);
    endRemoveRows();
}

int ProfileTableModel::sortBy(ProfileColumn column, int keep)
{
    m_sortColumn = column;
    const QList<int> order = SortedProfileOrder(m_rows, column);
    beginResetModel();
    QList<ProfileRow> sorted;
    sorted.reserve(m_rows.size());
    int kept = -1;
    for (int i = 0; i < order.size(); ++i) {
        sorted.append(m_rows.at(order.at(i)));
        if (order.at(i) == keep)
            kept = i;
    }
    m_rows = std::move(sorted);
    endResetModel();
    return kept;
}

int ProfileTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int ProfileTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(ProfileColumn::Version) + 1;
}

QVariant ProfileTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const ProfileRow &r = m_rows.at(index.row());
    const auto column = ProfileColumn(index.column());
    if (role == Qt::TextAlignmentRole && column == ProfileColumn::Port)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (column) {
    case ProfileColumn::DisplayName: return r.profile.displayName;
    case ProfileColumn::Database: return r.profile.database;
    case ProfileColumn::Host: return r.profile.host;
    case ProfileColumn::Port: return r.port();
    case ProfileColumn::User: return r.profile.user;
    case ProfileColumn::Version: return r.version;
    }
    return {};
}

QVariant ProfileTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char16_t *const titles[] = {
        u"Megjelenített név", u"Adatbázis / tárhely", u"Kiszolgáló", u"Port", u"Felhasználó", u"Verzió"};
    return section >= 0 && section < int(std::size(titles)) ? QString::fromUtf16(titles[section])
                                                            : QVariant();
}
