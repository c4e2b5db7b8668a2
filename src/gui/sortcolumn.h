#pragma once

#include <QColor>
#include <QStyledItemDelegate>

class QTableView;

// The background of a grid's sort column: light yellow, red FF, green FF, blue B9.
inline constexpr QRgb HighlightRgb = 0xFFFFFFB9;
inline QColor HighlightColor()
{
    return QColor::fromRgb(HighlightRgb);
}

// Paints the cells of one column (the sort column) with the highlight colour, above any
// background the model gives (row colours by status, say); the current row keeps the selection
// colour. A grid that needs its own delegate derives from this one.
class SortColumnDelegate : public QStyledItemDelegate
{
    Q_OBJECT

public:
    using QStyledItemDelegate::QStyledItemDelegate;

    int sortColumn() const { return m_sortColumn; }
    void setSortColumn(int column) { m_sortColumn = column; }

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;

private:
    int m_sortColumn = -1;
};

// Marks `column` as the grid's sort column: every other column goes back to the window colour
// and this one gets the highlight colour (-1 marks none). Installs a SortColumnDelegate when
// the grid has none yet.
void HighlightSortColumn(QTableView *grid, int column);
// The marked column, -1 when none.
int HighlightedSortColumn(const QTableView *grid);
