#pragma once

#include <QString>
#include <functional>

class Connection;
class QMenu;
class QWidget;

// What the register's window needs to know for the history windows.
struct HistoryHooks
{
    std::function<qint64()> currentId;          // the record under the cursor, 0 for none
    std::function<QString()> currentHeading;    // its long heading
    std::function<QString()> documentStore;
    std::function<void(qint64 id)> showRecord;  // the register shows the record again
};

// Adds "Változások" (Ctrl+H) and "Változások időszakra" to the window and to the grid's pop-up
// menu.
void InstallHistoryActions(QWidget *window, QMenu *gridPopup, Connection &con, HistoryHooks hooks);
