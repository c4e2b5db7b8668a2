#include "sortcolumn.h"

#include <QTableView>

void SortColumnDelegate::initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() == m_sortColumn)
        option->backgroundBrush = HighlightColor();
}

void HighlightSortColumn(QTableView *grid, int column)
{
    auto *delegate = qobject_cast<SortColumnDelegate *>(grid->itemDelegate());
    if (!delegate) {
        delegate = new SortColumnDelegate(grid);
        grid->setItemDelegate(delegate);
    }
    delegate->setSortColumn(column);
    grid->viewport()->update();
}

int HighlightedSortColumn(const QTableView *grid)
{
    const auto *delegate = qobject_cast<const SortColumnDelegate *>(grid->itemDelegate());
    return delegate ? delegate->sortColumn() : -1;
}
