#pragma once

#include <QDialog>

class QDateEdit;
class QPushButton;

// The period dialog: a from-date and a to-date with one-click presets. It only shows and
// collects; PickPeriod fills it and takes the dates back.
class Tfrm_Idoszak : public QDialog
{
    Q_OBJECT
public:
    explicit Tfrm_Idoszak(QWidget *parent = nullptr);

    QDateEdit *eAlso;
    QDateEdit *eFelso;
    QPushButton *Button7; // "Csak a mai nap"
    QPushButton *Button3; // "Ez a hét"
    QPushButton *Button4; // "Ez a hónap"
    QPushButton *Button5; // "Múlt hónap"
    QPushButton *Button6; // "Idén"
    QPushButton *Button8; // "Tavaly"
    QPushButton *Button1; // "OK"
    QPushButton *Button2; // "Mégsem"

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;
};

// A date picker as the dialogs use it: calendar drop-down, Hungarian date form.
QDateEdit *MakeDatePicker(const QString &name, QWidget *parent);
