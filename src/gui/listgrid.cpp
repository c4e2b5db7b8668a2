#include "gui/listgrid.h"

#include <QHeaderView>
#include <QMenu>
#include <QTableView>

using namespace Qt::StringLiterals;

QTableView *NewListGrid(QWidget *parent, QAbstractItemModel *model, QMenu *popup)
{
    auto *grid = new QTableView(parent);
    grid->setObjectName(u"DBGrid1"_s);
    grid->setModel(model);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setTabKeyNavigation(false);
    grid->verticalHeader()->hide();
    grid->verticalHeader()->setDefaultSectionSize(grid->fontMetrics().height() + 6);
    grid->horizontalHeader()->setHighlightSections(false);
    grid->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(grid, &QWidget::customContextMenuRequested, popup,
                     [grid, popup](const QPoint &pos) { popup->exec(grid->viewport()->mapToGlobal(pos)); });
    return grid;
}
