#pragma once

#include <QApplication>

// The hourglass while the program waits for the server: the window cannot answer then, and the
// user should see why. Nests; restored when the scope ends, also by an exception.
class BusyCursor
{
public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor &) = delete;
    BusyCursor &operator=(const BusyCursor &) = delete;
};
