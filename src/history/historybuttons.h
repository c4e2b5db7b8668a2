#pragma once

#include <QString>
#include <functional>

class QDialog;
class QDialogButtonBox;
class QPushButton;
class QTableView;

// The button row of the history windows: "Bezár", and buttons that act on the grid's current row.
QDialogButtonBox *NewHistoryButtons(QDialog *dialog);
// A button calling `onRow` with the grid's current row; nothing happens without one.
QPushButton *AddRowButton(QDialogButtonBox *buttons, QTableView *grid, const QString &text,
                          const QString &objectName, const QString &toolTip, std::function<void(int row)> onRow);
