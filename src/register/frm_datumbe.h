#pragma once

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

    QDateEdit *DateTimePicker1;
    QPushButton *btnOK;
    QPushButton *btnMegsem;

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
};
