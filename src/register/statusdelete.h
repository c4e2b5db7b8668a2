#pragma once

#include <QVariant>

class Connection;
class QWidget;

// The two changes of a resolution record that the main window makes without the editor. Both
// take the current register row's values; the caller re-reads the register when they return
// true. Database errors are raised as DbError.

// F3: status 1 (open) becomes 2 (done) and back, each after its confirmation. Status 0 or NULL
// shows "Nincs mit beállítani."; other values do nothing. True when the status was written.
bool ChangeResolutionStatus(Connection &con, int recordId, const QVariant &status, QWidget *parent = nullptr);

// Ctrl+Del: deletes the record's row after the confirmation. The attached files stay in the
// document store. True when the DELETE was sent. No record (id 0, an empty register) shows
// "Nincs mit törölni." and asks nothing.
bool DeleteResolution(Connection &con, int recordId, QWidget *parent = nullptr);
