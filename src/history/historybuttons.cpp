#include "historybuttons.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTableView>

using namespace Qt::StringLiterals;

QDialogButtonBox *NewHistoryButtons(QDialog *dialog)
{
    auto *buttons = new QDialogButtonBox(dialog);
    QPushButton *close = buttons->addButton(u"Bezár"_s, QDialogButtonBox::RejectRole);
    close->setObjectName(u"btnBezar"_s);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

QPushButton *AddRowButton(QDialogButtonBox *buttons, QTableView *grid, const QString &text,
                          const QString &objectName, const QString &toolTip, std::function<void(int row)> onRow)
{
    QPushButton *button = buttons->addButton(text, QDialogButtonBox::ActionRole);
    button->setObjectName(objectName);
    button->setToolTip(toolTip);
    QObject::connect(button, &QPushButton::clicked, grid, [grid, onRow = std::move(onRow)] {
        const QModelIndex current = grid->currentIndex();
        if (current.isValid())
            onRow(current.row());
    });
    return button;
}
