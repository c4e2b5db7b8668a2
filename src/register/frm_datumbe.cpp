#include "register/frm_datumbe.h"

#include "gui/formgeometry.h"
#include "register/frm_idoszak.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

Tfrm_Datumbe::Tfrm_Datumbe(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frm_Datumbe"_s);
    setWindowTitle(u"Dátum megadása"_s);
    setFixedSize(345, 229);

    DateTimePicker1 = MakeDatePicker(u"DateTimePicker1"_s, this);
    DateTimePicker1->setDate(QDate::currentDate());

    btnOK = new QPushButton(u"OK"_s, this);
    btnOK->setObjectName(u"btnOK"_s);
    btnOK->setDefault(true);
    btnMegsem = new QPushButton(u"Mégsem"_s, this);
    btnMegsem->setObjectName(u"btnMegsem"_s);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);

    auto label = new QLabel(u"&Dátum:"_s, this);
    label->setBuddy(DateTimePicker1);
    auto pickerRow = new QHBoxLayout;
    pickerRow->addStretch(1);
    pickerRow->addWidget(label);
    pickerRow->addWidget(DateTimePicker1);
    pickerRow->addStretch(1);

    auto buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnOK);
    buttons->addWidget(btnMegsem);

    auto layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addLayout(pickerRow);
    layout->addStretch(1);
    layout->addLayout(buttons);
    DateTimePicker1->setFocus();
}

// The dialog opens where the user last left it.
void Tfrm_Datumbe::showEvent(QShowEvent *event)
{
    LoadFormPos(this);
    QDialog::showEvent(event);
}

void Tfrm_Datumbe::done(int result)
{
    SaveFormPos(this);
    QDialog::done(result);
}
