#pragma once

#include "resolutionrecord.h"

#include <QDialog>
#include <array>
#include <functional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLayout;
class QLineEdit;
class QPushButton;
class QToolButton;
class QVBoxLayout;
class WholeTextEditor;

// The resolution editor window. It only shows and collects: EditResolution fills it, and the
// OK handler it installs checks and saves while the window is still open, so a failed save
// leaves everything typed in place.
class Tfrm_Szerkeszt : public QDialog
{
    Q_OBJECT

public:
    explicit Tfrm_Szerkeszt(QWidget *parent = nullptr, int fontSize = 0);

    void setHeading(const QString &committeeName);
    // The subjects the subject box offers; the text typed there stays.
    void setSubjectChoices(const QStringList &subjects);
    // Fills the fields from the record; serverDate is the deadline offered when it has none.
    void setRecord(const Resolution &record, QDate serverDate);
    // Copies the fields into the record. False, with the reason, when the date names no day.
    bool collect(Resolution &record, QString *error) const;
    void setDocumentStore(const QString &path) { m_documentStore = path; }
    // Runs on OK; the window closes only when it returns true.
    void setOkHandler(std::function<bool()> handler) { m_okHandler = std::move(handler); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void done(int result) override;

private:
    QLayout *buildNumberRow(QWidget *page);
    void buildSubjectAndText(QWidget *page, QVBoxLayout *pageLayout);
    QWidget *buildDeadlineGroup(QWidget *page);
    QLayout *buildAttachmentRows(QWidget *page);
    QLayout *buildButtons();
    void setTabOrderAndKeys();

    void onOkClicked();
    void onDeadlineToggled(bool visible);
    // The choose and remove buttons of attachment slot 1..3 (the row is written on OK).
    void onChooseFileClicked(int slot);
    void onRemoveFileClicked(int slot);

    QLabel *m_headingLabel = nullptr;
    QLineEdit *m_yearEdit = nullptr;
    QLineEdit *m_numberEdit = nullptr;
    QLineEdit *m_dateEdit = nullptr;
    QComboBox *m_subjectCombo = nullptr;
    WholeTextEditor *m_textEditor = nullptr;
    QCheckBox *m_deadlineCheck = nullptr;
    QLabel *m_deadlineLabel = nullptr;
    QDateEdit *m_deadlineEdit = nullptr;
    QLabel *m_responsibleLabel = nullptr;
    QLineEdit *m_responsibleEdit = nullptr;
    std::array<QLineEdit *, AttachmentSlotCount> m_attachmentEdits{};
    std::array<QToolButton *, AttachmentSlotCount> m_chooseButtons{};
    std::array<QToolButton *, AttachmentSlotCount> m_removeButtons{};
    QPushButton *m_okButton = nullptr;
    QPushButton *m_cancelButton = nullptr;

    std::function<bool()> m_okHandler;
    QString m_documentStore;
    int m_recordId = -1;
    std::array<AttachmentValue, AttachmentSlotCount> m_attachments;
};
