#pragma once

#include "gui/remembereddialog.h"
#include "output/exportlines.h"

#include <QList>
#include <QString>
#include <functional>

class Query;
class ResultSet;
class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QToolButton;

// The export window: the rows of an open dataset to a delimited text file, a spreadsheet
// (.xls, .xlsx) or the clipboard. It reads the dataset it is given and runs no query; the
// writers do the work, the window collects the choices and shows the progress.
class Tfrm_Hatarolt : public RememberedDialog
{
    Q_OBJECT
public:
    // The dataset must stay open while the window lives. An export walks it from the first row,
    // and the query is left on the row where the export ended.
    explicit Tfrm_Hatarolt(Query &query, QWidget *parent = nullptr);
    explicit Tfrm_Hatarolt(const ResultSet &rows, QWidget *parent = nullptr);

    QString fileName() const;
    void setFileName(const QString &name);

    // The choices as the controls hold them now.
    ExportOptions options() const;
    QList<int> tickedColumns() const;
    void tickAll(bool ticked);

    bool isRunning() const { return m_running; }
    // Whether an export (to a file or to the clipboard) ran while the window was open.
    bool exported() const { return m_exported; }

    // "Export indítás": asks for a name when the box is empty, then writes the file in the format
    // its extension chooses and says how it went.
    void exportToFile();
    // "Vágólapra!"
    void copyToClipboard();
    // "Megállít": the export ends after the row being written; what was gathered is kept.
    void stop();
    // The save dialog on the current name; a chosen name replaces the box's text. False when it
    // was cancelled.
    bool browse();

    QListWidget *fieldList() const { return m_fieldList; }
    QLineEdit *fileNameEdit() const { return m_fileNameEdit; }
    QToolButton *browseButton() const { return m_browseButton; }
    QButtonGroup *separatorGroup() const { return m_separatorGroup; }
    QButtonGroup *qualifierGroup() const { return m_qualifierGroup; }
    QCheckBox *multiLineBox() const { return m_multiLineBox; }
    QCheckBox *fieldNamesBox() const { return m_fieldNamesBox; }
    QCheckBox *noHeaderBox() const { return m_noHeaderBox; }
    QCheckBox *openAfterBox() const { return m_openAfterBox; }
    QPushButton *allButton() const { return m_allButton; }
    QPushButton *noneButton() const { return m_noneButton; }
    QPushButton *startButton() const { return m_startButton; }
    QPushButton *stopButton() const { return m_stopButton; }
    QPushButton *closeButton() const { return m_closeButton; }
    QPushButton *clipboardButton() const { return m_clipboardButton; }
    QProgressBar *progressBar() const { return m_progressBar; }

    // Closing while an export runs stops it; the window closes when the export has ended.
    void done(int result) override;

signals:
    // After every exported row, with the number of rows done so far.
    void rowsExported(int rowsDone);

private:
    Tfrm_Hatarolt(Query *query, const ResultSet &rows, QWidget *parent);
    // The controls the window does not keep, wanted only where they are laid out.
    struct LooseControls
    {
        QLabel *fileLabel = nullptr;
        QGroupBox *separators = nullptr;
        QGroupBox *qualifiers = nullptr;
        QLabel *clipboardNote = nullptr;
    };
    void buildControls();
    LooseControls createControls();
    void arrangeControls(const LooseControls &loose);
    void fillFieldList();
    // Runs `work` with the window in its running state (stop enabled, busy cursor, progress
    // over the rows) and leaves that state in every case.
    ExportResult run(const std::function<ExportResult(const ExportSource &, const ExportControl &)> &work);
    void finishExport(const QString &name);

    Query *m_query;
    const ResultSet &m_rows;
    bool m_running = false;
    bool m_exported = false;
    bool m_stopRequested = false;
    bool m_closeWhenStopped = false;
    int m_closeResult = Rejected;

    QListWidget *m_fieldList;
    QPushButton *m_allButton;
    QPushButton *m_noneButton;
    QLineEdit *m_fileNameEdit;
    QToolButton *m_browseButton;
    QButtonGroup *m_separatorGroup;
    QButtonGroup *m_qualifierGroup;
    QCheckBox *m_multiLineBox;
    QCheckBox *m_fieldNamesBox;
    QCheckBox *m_noHeaderBox;
    QCheckBox *m_openAfterBox;
    QPushButton *m_startButton;
    QPushButton *m_stopButton;
    QPushButton *m_closeButton;
    QPushButton *m_clipboardButton;
    QProgressBar *m_progressBar;
};

// Shows the export window modally on the query's rows (the register, a report's query) or on a
// bare result. The file name box starts with DefaultExportFileName(defaultFileName): a bare name
// lands in the user's documents folder, no name gives "File001.csv" there. The window takes the
// program-wide font size. True when an export ran: only then has a query moved.
bool OpenExportWindow(Query &query, const QString &defaultFileName, int fontSize, QWidget *parent = nullptr);
bool OpenExportWindow(const ResultSet &rows, const QString &defaultFileName, int fontSize,
                      QWidget *parent = nullptr);
