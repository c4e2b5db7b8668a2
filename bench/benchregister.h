#pragma once

#include "register/flowtabbar.h"
#include "register/registerview.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QTableView>
#include <QVBoxLayout>
#include <QWidget>

// The register as the main window holds it, for the benchmarks that measure it or take their
// statements from it.

// Lets the window work until the first rows of the newest reading are in (the rest may still be
// coming), then paints the grid: what the clerk waits for before the list can be read.
inline void PaintFirstRows(RegisterView &view)
{
    while (!view.showsNewestRows())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    view.grid()->viewport()->repaint();
}

// Lets the window work until every row of the newest reading is in (the rows are read on another
// thread), then paints the grid.
inline void SettleRegister(RegisterView &view)
{
    while (view.isBusy())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    view.grid()->viewport()->repaint();
}

// The search box above the view in `window`, 1280 by 800, shown and started on the last
// committee tab (every committee); returns once the first reading is in.
inline RegisterView *ShowRegister(QWidget &window, Connection &con)
{
    auto view = new RegisterView(&con);
    auto layout = new QVBoxLayout(&window);
    layout->addWidget(view->searchEdit());
    layout->addWidget(view);
    window.resize(1280, 800);
    window.show();
    view->start();
    SettleRegister(*view);
    view->committeeTabs()->setCurrentIndex(view->committeeTabs()->count() - 1);
    SettleRegister(*view);
    return view;
}
