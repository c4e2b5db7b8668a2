#pragma once

#include <QString>

class Connection;
class QComboBox;

// Fills the combo box with the first column of every row (NULL as an empty item), after the
// optional first item. A drop-down list with items selects the first one; an editable box
// keeps its text.
void FillComboFromQuery(Connection &con, QComboBox *combo, const QString &sql, const QString &firstItem = {});
