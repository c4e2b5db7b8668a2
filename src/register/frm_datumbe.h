#pragma once

#include <QDate>
#include <QDialog>

class QDateEdit;
class QPushButton;

// The date dialog: one date; Enter closes it with OK. PickDate fills it and takes the date
// back.
class Tfrm_Datumbe : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_Datumbe(QWidget *parent = nullptr);

    void setDate(QDate date);
    QDate date() const;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QDateEdit *m_datePicker;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
};
