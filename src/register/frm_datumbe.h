#pragma once

#include "gui/remembereddialog.h"

#include <QDate>

class QDateEdit;
class QPushButton;

// The date dialog: one date; Enter closes it with OK. PickDate fills it and takes the date
// back.
class Tfrm_Datumbe : public RememberedDialog
{
    Q_OBJECT
public:
    explicit Tfrm_Datumbe(QWidget *parent = nullptr);

    void setDate(QDate date);
    QDate date() const;

private:
    QDateEdit *m_datePicker;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
};
