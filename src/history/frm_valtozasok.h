#pragma once

#include "changehistory.h"
#include "gui/remembereddialog.h"

#include <functional>

class ChangeTableModel;
class QLabel;
class QPushButton;
class QTableView;
class QTextBrowser;

// "Változások": every change of one record, newest first, with the difference of the selected
// change below. It only shows: ShowRecordChanges reads the rows and writes an old value back.
class Tfrm_Valtozasok : public RememberedDialog
{
public:
    explicit Tfrm_Valtozasok(QWidget *parent = nullptr);

    void setHeading(const QString &heading);
    void setRows(QList<ChangeRow> rows);
    // Called with the selected change when "Visszaállít" is pressed.
    void setRevertHandler(std::function<void(const ChangeRow &)> handler) { m_onRevert = std::move(handler); }

    QTableView *grid() const { return m_grid; }
    QTextBrowser *differenceView() const { return m_difference; }
    QPushButton *revertButton() const { return m_revertButton; }

private:
    void showSelected();

    QLabel *m_heading;
    ChangeTableModel *m_model;
    QTableView *m_grid;
    QTextBrowser *m_difference;
    QPushButton *m_revertButton;
    std::function<void(const ChangeRow &)> m_onRevert;
};

class Connection;

// Opens "Változások" for the record; true when an old value was written back (the register
// shows the record again then).
bool ShowRecordChanges(Connection &con, int recordId, const QString &heading, const QString &documentStore,
                       QWidget *parent);
