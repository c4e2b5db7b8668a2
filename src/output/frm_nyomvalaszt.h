#pragma once

#include "gui/remembereddialog.h"

#include <QList>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;
class QStackedWidget;

// How a report goes out. The numbers are those the rest of the program knows.
enum PrintOutput : int {
    OutputNone = -1,   // cancelled
    OutputPreview = 0, // "Nyomtatási kép"
    OutputPrinter = 1, // "Nyomtatás"
    OutputExport = 2,  // "Excelbe (CSV)"
    OutputPdf = 3,     // "PDF file"
};

// The print choice: preview, printer, export or PDF file, with the printer to print on.
class Tfrm_NyomValaszt : public RememberedDialog
{
    Q_OBJECT
public:
    // `printers`: the installed printers in the platform's order (may be empty).
    explicit Tfrm_NyomValaszt(const QStringList &printers, QWidget *parent = nullptr);

    // The printer box's text; with an empty name the first installed printer, if any.
    void setPrinterName(const QString &name);
    QString printerName() const;

    // The selected item; -1 when none is.
    int choice() const;
    void setChoice(int choice);

    // The export item is offered only where the program can export the report's rows.
    void setExportAvailable(bool available);

    QRadioButton *item(int choice) const { return m_items.value(choice); }
    QComboBox *printerBox() const { return m_printerBox; }
    QLabel *printerLabel() const { return m_printerLabel; }
    // The picture of the selected item (the others are hidden).
    QStackedWidget *pictures() const { return m_pictures; }
    QPushButton *okButton() const { return m_okButton; }
    QPushButton *cancelButton() const { return m_cancelButton; }

private:
    QGroupBox *buildChoices();
    void buildPrinterBox(const QStringList &printers);
    void buildButtons();
    void arrange(QGroupBox *choices);
    void onChoiceChanged();

    QButtonGroup *m_group;
    QList<QRadioButton *> m_items;
    QStackedWidget *m_pictures;
    QLabel *m_printerLabel;
    QComboBox *m_printerBox;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
};

// Shows the print choice modally. Returns the chosen output, OutputNone when cancelled; on OK
// `printerName` becomes the printer box's text, on cancel it stays as it was.
int ChoosePrintOutput(QString &printerName, bool exportAvailable, QWidget *parent = nullptr);
