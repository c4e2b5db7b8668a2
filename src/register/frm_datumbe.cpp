#include "register/frm_datumbe.h"

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

    btnOK = new QPushButton(u"OK"_s, this);
    btnOK->setObjectName(u"btnOK"_s);
    btnOK->setDefault(true);
    btnMegsem = new QPushButton(u"Mégsem"_s, this);
    btnMegsem->setObjectName(u"btnMegsem"_s);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);

    auto pickerRow = new QHBoxLayout;
    pickerRow->addStretch(1);
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
