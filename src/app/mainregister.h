#pragma once

#include <QDate>
#include <QObject>

class Connection;
class RegisterView;
class Tfrm_Main;

// The register inside the main window: puts the register view into the frame and binds the
// actions that work on it (refresh, period filter, resolution panel, new, edit, status,
// delete, attachments) and the status-bar panels that follow the current record.
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

private:
    void bindActions();
    void showRecord(const QString &position, const QString &file1, const QString &file2,
                    const QString &file3);
    void periodFilterOn();
    void periodFilterOff();
    QString currentText(const QString &field) const;

    Tfrm_Main &m_window;
    Connection &m_connection;
    RegisterView *m_view;
    QDate m_lastEntryDate = QDate::currentDate();
};
