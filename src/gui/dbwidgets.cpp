#include "dbwidgets.h"

#include "db/dbroutines.h"

#include <QComboBox>

void FillComboFromQuery(Connection &con, QComboBox *combo, const QString &sql, const QString &firstItem)
{
    QStringList items;
    if (!firstItem.isEmpty())
        items.append(firstItem);
    AppendQueryToList(con, items, sql);
    const QString typed = combo->currentText();
    combo->clear();
    combo->addItems(items);
    if (combo->isEditable())
        combo->setEditText(typed);
    else if (combo->count() > 0)
        combo->setCurrentIndex(0);
}
