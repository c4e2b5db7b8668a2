#pragma once

#include "db/connection.h"
#include "gui/remembereddialog.h"

#include <QDate>
#include <functional>
#include <memory>
#include <thread>

class PeriodChangeModel;
class QLabel;
class QPushButton;
class QTableView;

// "Változások időszakra": the changes and deletions of a period in the whole register. The rows
// are read on a line of their own on a worker thread, so a period of a hundred thousand changes
// does not hold the window; they are exported through the export window, and a deleted record
// can be brought back. ShowPeriodChanges does the database work.
class Tfrm_ValtozasokIdoszak : public RememberedDialog
{
public:
    Tfrm_ValtozasokIdoszak(const ConnectionParams &params, QDate from, QDate to, QWidget *parent = nullptr);
    ~Tfrm_ValtozasokIdoszak() override;

    // Starts reading the rows; `loaded` is called on this window's thread when they are in.
    void load(std::function<void()> loaded = {});
    bool isLoading() const { return m_worker.joinable() && !m_done; }
    const ResultSet &rows() const;

    void setExportHandler(std::function<void(const ResultSet &)> handler) { m_onExport = std::move(handler); }
    // Called with the record id of the selected deletion.
    void setBringBackHandler(std::function<void(int recordId)> handler) { m_onBringBack = std::move(handler); }

    QTableView *grid() const { return m_grid; }
    QPushButton *bringBackButton() const { return m_bringBackButton; }

private:
    void onLoaded(std::shared_ptr<ResultSet> rows, const QString &error);
    void updateButtons();

    ConnectionParams m_params;
    QDate m_from, m_to;
    QLabel *m_status;
    PeriodChangeModel *m_model;
    QTableView *m_grid;
    QPushButton *m_exportButton;
    QPushButton *m_bringBackButton;
    std::thread m_worker;
    bool m_done = false;
    std::function<void()> m_loaded;
    std::function<void(const ResultSet &)> m_onExport;
    std::function<void(int)> m_onBringBack;
};

// Asks for a period and shows its changes; returns the id of a record brought back, else 0.
int ShowPeriodChanges(Connection &con, QWidget *parent);
