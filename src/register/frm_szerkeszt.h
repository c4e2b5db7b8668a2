#pragma once

#include "resolutioneditor.h"

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;
class QsciScintilla;

// The resolution editor window. It only shows and collects: EditResolution fills it, and the
// OK handler it installs checks and saves while the window is still open, so a failed save
// leaves everything typed in place.
class Tfrm_Szerkeszt : public QDialog
{
    Q_OBJECT

public:
    explicit Tfrm_Szerkeszt(QWidget *parent = nullptr, int fontSize = 0);

    void setHeading(const QString &committeeName);
    // Fills the fields from the record; serverDate is the deadline offered when it has none.
    void setRecord(const Resolution &record, QDate serverDate);
    // Copies the fields into the record. False, with the reason, when the date names no day.
    bool collect(Resolution &record, QString *error) const;
    void setDocumentStore(const QString &path) { m_documentStore = path; }
    // Runs on OK; the window closes only when it returns true.
    void setOkHandler(std::function<bool()> handler) { m_okHandler = std::move(handler); }

    // Attachment slot 1..3: choose a file / empty the slot (the row is written on OK).
    void AttachFile(int slot);
    void RemoveFile(int slot);
    void btnOKClick();

    QLabel *Label1 = nullptr;
    QLineEdit *DBEdit2 = nullptr; // ev
    QLineEdit *DBEdit3 = nullptr; // az
    QLineEdit *MaskEdit1 = nullptr;
    QComboBox *DBComboBox1 = nullptr;
    QsciScintilla *SynEdit1 = nullptr;
    QCheckBox *DBCheckBox1 = nullptr;
    QLabel *c1 = nullptr;
    QDateEdit *c2 = nullptr;
    QLabel *c3 = nullptr;
    QLineEdit *c4 = nullptr;
    std::array<QLineEdit *, AttachmentSlotCount> attachmentEdits{};
    std::array<QToolButton *, AttachmentSlotCount> chooseButtons{};
    std::array<QToolButton *, AttachmentSlotCount> removeButtons{};
    QPushButton *btnOK = nullptr;
    QPushButton *btnCancel = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    void buildWidgets();
    void showDeadline(bool visible);
    void subjectEdited(const QString &text);

    std::function<bool()> m_okHandler;
    QString m_documentStore;
    int m_recordId = -1;
    std::array<AttachmentValue, AttachmentSlotCount> m_attachments;
    QString m_subjectBefore;
    bool m_boundsLoaded = false;
};
