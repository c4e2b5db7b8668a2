#pragma once

#include <QDate>
#include <QObject>
#include <functional>

class Connection;
class Query;
class RegisterView;
class Tfrm_Main;

// The register inside the main window: puts the register view into the frame and binds the
// actions that work on it (refresh, period filter, resolution panel, new, edit, status,
// delete, attachments, the export, the two reports) and the status-bar panels that follow the
// current record.
class MainRegister : public QObject
{
    Q_OBJECT

public:
    MainRegister(Tfrm_Main &window, Connection &connection);

    RegisterView &view() const { return *m_view; }
    // Builds the tabs and opens the register (the last start-up step).
    void start();

    // The date offered for the next new record: today at start, then the date last chosen.
    QDate lastEntryDate() const { return m_lastEntryDate; }

    void newResolution();
    void editResolution();
    void changeStatus();
    void deleteResolution();
    void viewAttachment(int slot);
    // Export: the export window on the register's rows, offering RegisterExportFileName in the
    // user's documents folder.
    void exportRegister();
    static const QString RegisterExportFileName;
    // Print: the resolution report of the record under the cursor (0 when there is none).
    void printResolution();
    // PrintList: the list report of the register as it is filtered, searched and sorted.
    void printList();

    // Where the print choice's "Excelbe (CSV)" opens the export window on the report's query: the
    // export window with its default file name unless a test puts something else here. Without
    // an opener the print choice does not offer it.
    using ExportWindowOpener = std::function<void(Query &query)>;
    void setExportWindowOpener(ExportWindowOpener opener) { m_openExportWindow = std::move(opener); }

private:
    void bindActions();
    void onRecordChanged(const QString &position, const QString &file1, const QString &file2,
                         const QString &file3);
    void periodFilterOn();
    void periodFilterOff();
    QString currentText(const QString &field) const;

    Tfrm_Main &m_window;
    Connection &m_connection;
    RegisterView *m_view;
    QDate m_lastEntryDate = QDate::currentDate();
    ExportWindowOpener m_openExportWindow;
};
