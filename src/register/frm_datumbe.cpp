#include "register/frm_datumbe.h"

#include "register/frm_idoszak.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

Tfrm_Datumbe::Tfrm_Datumbe(QWidget *parent) : RememberedDialog(parent)
{
    setObjectName(u"frm_Datumbe"_s);
    setWindowTitle(u"Dátum megadása"_s);
    setFixedSize(345, 229);

    m_datePicker = MakeDatePicker(u"DateTimePicker1"_s, this);
    m_datePicker->setDate(QDate::currentDate());

    m_okButton = new QPushButton(u"OK"_s, this);
    m_okButton->setObjectName(u"btnOK"_s);
    m_okButton->setDefault(true);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    m_cancelButton = new QPushButton(u"Mégsem"_s, this);
    m_cancelButton->setObjectName(u"btnMegsem"_s);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto label = new QLabel(u"&Dátum:"_s, this);
    label->setBuddy(m_datePicker);
    auto pickerRow = new QHBoxLayout;
    pickerRow->addStretch(1);
    pickerRow->addWidget(label);
    pickerRow->addWidget(m_datePicker);
    pickerRow->addStretch(1);

    auto buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);

    auto layout = new QVBoxLayout(this);
    layout->addStretch(1);
    layout->addLayout(pickerRow);
    layout->addStretch(1);
    layout->addLayout(buttons);
    m_datePicker->setFocus();
}

void Tfrm_Datumbe::setDate(QDate date)
{
    m_datePicker->setDate(date);
}

QDate Tfrm_Datumbe::date() const
{
    return m_datePicker->date();
}
