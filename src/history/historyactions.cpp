#include "historyactions.h"

#include "frm_valtozasok.h"
#include "frm_valtozasok_idoszak.h"
#include "gui/messagebox.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

using namespace Qt::StringLiterals;

void InstallHistoryActions(QWidget *window, QMenu *gridPopup, Connection &con, HistoryHooks hooks)
{
    auto *record = new QAction(u"Változások"_s, window);
    record->setObjectName(u"aValtozasok"_s);
    record->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    record->setStatusTip(u"A határozat minden változása: ki, mikor, honnan, mit"_s);
    auto *period = new QAction(u"Változások időszakra"_s, window);
    period->setObjectName(u"aValtozasokIdoszak"_s);
    period->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_H));
    period->setStatusTip(u"Egy időszak változásai és törlései a teljes iktatókönyvben"_s);
    window->addAction(record);
    window->addAction(period);
    if (gridPopup) {
        gridPopup->addSeparator();
        gridPopup->addAction(record);
        gridPopup->addAction(period);
    }
    QObject::connect(record, &QAction::triggered, window, [window, &con, hooks] {
        const qint64 id = hooks.currentId();
        if (id <= 0)
            return;
        try {
            if (ShowRecordChanges(con, int(id), hooks.currentHeading(), hooks.documentStore(), window))
                hooks.showRecord(id);
        } catch (const std::exception &error) {
            ShowException(error, window);
        }
    });
    QObject::connect(period, &QAction::triggered, window, [window, &con, hooks] {
        try {
            const int broughtBack = ShowPeriodChanges(con, window);
            if (broughtBack > 0)
                hooks.showRecord(broughtBack);
        } catch (const std::exception &error) {
            ShowException(error, window);
        }
    });
}
