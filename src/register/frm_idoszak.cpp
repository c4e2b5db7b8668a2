#include "register/frm_idoszak.h"

#include "gui/dialogfields.h"
#include "gui/formgeometry.h"
#include "register/perioddialogs.h"

#include <QDateEdit>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

QDateEdit *MakeDatePicker(const QString &name, QWidget *parent)
{
    auto picker = new QDateEdit(parent);
    picker->setObjectName(name);
    picker->setLocale(QLocale(QLocale::Hungarian, QLocale::Hungary));
    picker->setDisplayFormat(u"yyyy.MM.dd."_s);
    picker->setCalendarPopup(true);
    picker->setMinimumWidth(130);
    PaintFocusedField(picker);
    return picker;
}

Tfrm_Idoszak::Tfrm_Idoszak(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frm_Idoszak"_s);
    setWindowTitle(u"Időszak megadása"_s);
    setFixedSize(475, 338);

    auto periodBox = new QGroupBox(u"Időszak"_s, this);
    eAlso = MakeDatePicker(u"eAlso"_s, periodBox);
    eFelso = MakeDatePicker(u"eFelso"_s, periodBox);
    eAlso->setDate(QDate::currentDate());
    eFelso->setDate(QDate::currentDate());
    auto periodLayout = new QVBoxLayout(periodBox);
    periodLayout->addWidget(eAlso);
    periodLayout->addWidget(new QLabel(u"–"_s, periodBox), 0, Qt::AlignHCenter);
    periodLayout->addWidget(eFelso);
    periodLayout->addStretch(1);

    auto presetBox = new QGroupBox(u"Intervallum"_s, this);
    auto presetLayout = new QVBoxLayout(presetBox);
    auto preset = [&](const QString &name, const QString &caption, PeriodPreset which) {
        auto button = new QPushButton(caption, presetBox);
        button->setObjectName(name);
        presetLayout->addWidget(button);
        connect(button, &QPushButton::clicked, this, [this, which] {
            const Period p = PresetPeriod(which, QDate::currentDate());
            eAlso->setDate(p.from);
            eFelso->setDate(p.to);
        });
        return button;
    };
    Button7 = preset(u"Button7"_s, u"Csak a mai nap"_s, PeriodPreset::Today);
    Button3 = preset(u"Button3"_s, u"Ez a hét"_s, PeriodPreset::ThisWeek);
    Button4 = preset(u"Button4"_s, u"Ez a hónap"_s, PeriodPreset::ThisMonth);
    Button5 = preset(u"Button5"_s, u"Múlt hónap"_s, PeriodPreset::LastMonth);
    Button6 = preset(u"Button6"_s, u"Idén"_s, PeriodPreset::ThisYear);
    Button8 = preset(u"Button8"_s, u"Tavaly"_s, PeriodPreset::LastYear);

    Button1 = new QPushButton(u"OK"_s, this);
    Button1->setObjectName(u"Button1"_s);
    Button2 = new QPushButton(u"Mégsem"_s, this);
    Button2->setObjectName(u"Button2"_s);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    auto buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(Button1);
    buttons->addWidget(Button2);

    auto boxes = new QHBoxLayout;
    boxes->addWidget(periodBox, 1);
    boxes->addWidget(presetBox, 1);
    auto layout = new QVBoxLayout(this);
    layout->addLayout(boxes, 1);
    layout->addLayout(buttons);

    // Ctrl+Enter accepts from anywhere; a focused button is pressed by Enter as usual, elsewhere
    // Enter moves on.
    auto keys = new FieldKeys(this, [this] { accept(); });
    keys->setEnterPressesButtons(true);
    keys->watchAll();
}

// The dialog opens where the user last left it.
void Tfrm_Idoszak::showEvent(QShowEvent *event)
{
    LoadFormPos(this);
    QDialog::showEvent(event);
}

void Tfrm_Idoszak::done(int result)
{
    SaveFormPos(this);
    QDialog::done(result);
}
