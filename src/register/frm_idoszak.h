#pragma once

#include "gui/remembereddialog.h"

#include <QDate>

class QDateEdit;
class QPushButton;

// The period dialog: a from-date and a to-date with one-click presets. It only shows and
// collects; PickPeriod fills it and takes the dates back.
class Tfrm_Idoszak : public RememberedDialog
{
    Q_OBJECT
public:
    explicit Tfrm_Idoszak(QWidget *parent = nullptr);

    void setPeriod(QDate from, QDate to);
    QDate from() const;
    QDate to() const;

private:
    QWidget *buildPresets();

    QDateEdit *m_fromPicker;
    QDateEdit *m_toPicker;
    QPushButton *m_okButton;
    QPushButton *m_cancelButton;
};

// A date picker as the dialogs use it: calendar drop-down, Hungarian date form.
QDateEdit *MakeDatePicker(const QString &name, QWidget *parent);
