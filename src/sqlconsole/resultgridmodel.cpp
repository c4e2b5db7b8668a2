#include "resultgridmodel.h"

#include "db/resultset.h"
#include "db/table.h"
#include "gridposting.h"
#include "gui/messagebox.h"

void ResultGridModel::showRows(const ResultSet *rows)
{
    beginResetModel();
    m_newRow = false;
    m_newRowPosted = false;
    m_rows = rows;
    m_table = nullptr;
    endResetModel();
}

void ResultGridModel::showTable(Table *table)
{
    beginResetModel();
    m_newRow = false;
    m_newRowPosted = false;
    m_table = table;
    m_rows = table ? &table->rows() : nullptr;
    endResetModel();
}

int ResultGridModel::storedRowCount() const
{
    return m_rows ? m_rows->rowCount() : 0;
}

int ResultGridModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_rows ? 0 : m_rows->rowCount() + (m_newRow ? 1 : 0);
}

int ResultGridModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_rows ? 0 : m_rows->columnCount();
}

QVariant ResultGridModel::data(const QModelIndex &index, int role) const
{
    if (!m_rows || !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (index.row() >= storedRowCount())
        return newRowData(index.column(), role);
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_rows->text(index.row(), index.column());
    if (role == Qt::TextAlignmentRole && m_rows->fields().at(index.column()).isNumeric())
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

QVariant ResultGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (!m_rows || orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= m_rows->columnCount())
        return {};
    return m_rows->fields().at(section).name;
}

Qt::ItemFlags ResultGridModel::flags(const QModelIndex &index) const
{
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (m_table && !m_readOnly && index.isValid() && !(m_newRowPosted && index.row() >= storedRowCount()))
        f |= Qt::ItemIsEditable;
    return f;
}

bool ResultGridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (!m_table || m_readOnly || role != Qt::EditRole ||
        !checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return false;
    const QString text = value.toString();
    if (index.row() >= storedRowCount()) {
        m_newValues[index.column()] = NewRowCellValue(text);
        emit dataChanged(index, index);
        return true;
    }
    try {
        if (!PostGridCell(*m_table, index.row(), index.column(), text))
            return false;
    } catch (...) {
        ShowCurrentException();
        return false;
    }
    emit tableWritten();
    return true;
}

void ResultGridModel::removeTableRow(int row)
{
    if (!m_table || m_readOnly)
        return;
    m_table->remove(row);
    emit tableWritten();
}

QVariant ResultGridModel::newRowData(int column, int role) const
{
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return m_newValues.value(column).toString();
    return {};
}

int ResultGridModel::addNewRow()
{
    if (!m_table || m_readOnly || m_newRow)
        return -1;
    const int row = storedRowCount();
    beginInsertRows({}, row, row);
    m_newRow = true;
    m_newValues = QList<QVariant>(m_rows->columnCount());
    endInsertRows();
    return row;
}

void ResultGridModel::dropNewRow()
{
    const int row = storedRowCount();
    beginRemoveRows({}, row, row);
    m_newRow = false;
    m_newRowPosted = false;
    m_newValues.clear();
    endRemoveRows();
}

void ResultGridModel::postNewRow()
{
    if (!hasNewRow() || m_readOnly)
        return;
    if (!PostGridNewRow(*m_table, m_newValues)) {
        dropNewRow();
        return;
    }
    // The row stays as typed, no longer editable, until the table is read again.
    m_newRowPosted = true;
    emit tableWritten();
}

void ResultGridModel::replaceTable(const std::function<void()> &replace)
{
    beginResetModel();
    m_newRow = false;
    m_newRowPosted = false;
    m_newValues.clear();
    replace();
    m_rows = m_table ? &m_table->rows() : nullptr;
    endResetModel();
    emit tableChanged();
}

void ResultGridModel::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
}
