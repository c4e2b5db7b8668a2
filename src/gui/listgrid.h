#pragma once

class QAbstractItemModel;
class QMenu;
class QTableView;
class QWidget;

// The read-only grid of the list windows ("DBGrid1"): whole rows, one at a time, no row numbers,
// rows as high as the font, no editing, Tab leaves the grid. A right click opens `popup`.
QTableView *NewListGrid(QWidget *parent, QAbstractItemModel *model, QMenu *popup);
