#include "register/frm_idoszak.h"

#include "gui/dialogfields.h"
#include "register/periods.h"

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

Tfrm_Idoszak::Tfrm_Idoszak(QWidget *parent) : RememberedDialog(parent)
{
    setObjectName(u"frm_Idoszak"_s);
    setWindowTitle(u"Időszak megadása"_s);
    setFixedSize(475, 338);

    auto periodBox = new QGroupBox(u"Időszak"_s, this);
    m_fromPicker = MakeDatePicker(u"eAlso"_s, periodBox);
    m_toPicker = MakeDatePicker(u"eFelso"_s, periodBox);
    setPeriod(QDate::currentDate(), QDate::currentDate());
    auto periodLayout = new QVBoxLayout(periodBox);
    periodLayout->addWidget(m_fromPicker);
    periodLayout->addWidget(new QLabel(u"–"_s, periodBox), 0, Qt::AlignHCenter);
    periodLayout->addWidget(m_toPicker);
    periodLayout->addStretch(1);
    // Created before the OK and Mégsem buttons, so that Tab reaches the presets first.
    QWidget *presets = buildPresets();

    m_okButton = new QPushButton(u"OK"_s, this);
    m_okButton->setObjectName(u"Button1"_s);
    m_cancelButton = new QPushButton(u"Mégsem"_s, this);
    m_cancelButton->setObjectName(u"Button2"_s);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);

    auto boxes = new QHBoxLayout;
    boxes->addWidget(periodBox, 1);
    boxes->addWidget(presets, 1);
    auto layout = new QVBoxLayout(this);
    layout->addLayout(boxes, 1);
    layout->addLayout(buttons);

    // Ctrl+Enter accepts from anywhere; a focused button is pressed by Enter as usual, elsewhere
    // Enter moves on.
    auto keys = new FieldKeys(this, [this] { accept(); });
    keys->setEnterPressesButtons(true);
    keys->watchAll();
}

// The one-click periods, top to bottom.
QWidget *Tfrm_Idoszak::buildPresets()
{
    static constexpr struct
    {
        const char16_t *name;
        const char16_t *caption;
        PeriodPreset preset;
    } Presets[] = {
        {u"Button7", u"Csak a mai nap", PeriodPreset::Today},
        {u"Button3", u"Ez a hét", PeriodPreset::ThisWeek},
        {u"Button4", u"Ez a hónap", PeriodPreset::ThisMonth},
        {u"Button5", u"Múlt hónap", PeriodPreset::LastMonth},
        {u"Button6", u"Idén", PeriodPreset::ThisYear},
        {u"Button8", u"Tavaly", PeriodPreset::LastYear},
    };
    auto box = new QGroupBox(u"Intervallum"_s, this);
    auto layout = new QVBoxLayout(box);
    for (const auto &row : Presets) {
        auto button = new QPushButton(QString::fromUtf16(row.caption), box);
        button->setObjectName(QString::fromUtf16(row.name));
        layout->addWidget(button);
        const PeriodPreset preset = row.preset;
        connect(button, &QPushButton::clicked, this, [this, preset] {
            const Period p = PresetPeriod(preset, QDate::currentDate());
            setPeriod(p.from, p.to);
        });
    }
    return box;
}

void Tfrm_Idoszak::setPeriod(QDate from, QDate to)
{
    m_fromPicker->setDate(from);
    m_toPicker->setDate(to);
}

QDate Tfrm_Idoszak::from() const
{
    return m_fromPicker->date();
}

QDate Tfrm_Idoszak::to() const
{
    return m_toPicker->date();
}
