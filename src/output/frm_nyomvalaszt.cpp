#include "output/frm_nyomvalaszt.h"

#include "output/printchoicepictures.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrinterInfo>
#include <QPushButton>
#include <QRadioButton>
#include <QStackedWidget>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

Tfrm_NyomValaszt::Tfrm_NyomValaszt(const QStringList &printers, QWidget *parent) : RememberedDialog(parent)
{
    setObjectName(u"frm_NyomValaszt"_s);
    setWindowTitle(u"Nyomtatás típusa"_s);
    QGroupBox *choices = buildChoices();
    buildPrinterBox(printers);
    buildButtons();
    arrange(choices);

    connect(m_group, &QButtonGroup::idToggled, this, [this](int, bool on) {
        if (on)
            onChoiceChanged();
    });
    setChoice(OutputPreview);
    setPrinterName(QString());
}

// The four outputs, each with its picture beside the box.
QGroupBox *Tfrm_NyomValaszt::buildChoices()
{
    auto box = new QGroupBox(u"Nyomtatás típusa"_s, this);
    box->setObjectName(u"RadioGroup1"_s);
    auto boxLayout = new QVBoxLayout(box);
    m_group = new QButtonGroup(this);
    m_pictures = new QStackedWidget(this);
    const QString captions[] = {u"Nyomtatási kép"_s, u"Nyomtatás"_s, u"Excelbe (CSV)"_s, u"PDF file"_s};
    for (int i = 0; i < 4; ++i) {
        auto item = new QRadioButton(captions[i], box);
        item->setObjectName(u"RadioItem%1"_s.arg(i));
        m_group->addButton(item, i);
        boxLayout->addWidget(item);
        m_items.append(item);
        auto picture = new QLabel(m_pictures);
        picture->setObjectName(u"Image%1"_s.arg(i + 1));
        picture->setPixmap(PrintChoicePicture(i, 96));
        picture->setAlignment(Qt::AlignCenter);
        m_pictures->addWidget(picture);
    }
    m_pictures->setFixedSize(112, 112);
    return box;
}

void Tfrm_NyomValaszt::buildPrinterBox(const QStringList &printers)
{
    m_printerLabel = new QLabel(u"Nyomtató"_s, this);
    m_printerLabel->setObjectName(u"Label1"_s);
    m_printerBox = new QComboBox(this);
    m_printerBox->setObjectName(u"ComboBox1"_s);
    // Editable, so that the program-wide printer shows even when it is no longer installed.
    m_printerBox->setEditable(true);
    m_printerBox->addItems(printers);
    m_printerBox->setMinimumWidth(260);
    m_printerLabel->setBuddy(m_printerBox);
}

void Tfrm_NyomValaszt::buildButtons()
{
    m_okButton = new QPushButton(u"OK"_s, this);
    m_okButton->setObjectName(u"btnOK"_s);
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(u"Mégsem"_s, this);
    m_cancelButton->setObjectName(u"btnMegsem"_s);
    connect(m_okButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfrm_NyomValaszt::arrange(QGroupBox *choices)
{
    auto top = new QHBoxLayout;
    top->addWidget(choices, 1);
    top->addWidget(m_pictures, 0, Qt::AlignTop);
    auto buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    auto layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_printerLabel);
    layout->addWidget(m_printerBox);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void Tfrm_NyomValaszt::setPrinterName(const QString &name)
{
    if (name.isEmpty() && m_printerBox->count() > 0) {
        m_printerBox->setCurrentIndex(0);
        return;
    }
    const int index = m_printerBox->findText(name, Qt::MatchFixedString);
    if (index >= 0)
        m_printerBox->setCurrentIndex(index);
    m_printerBox->setEditText(name);
}

QString Tfrm_NyomValaszt::printerName() const
{
    return m_printerBox->currentText();
}

int Tfrm_NyomValaszt::choice() const
{
    return m_group->checkedId();
}

void Tfrm_NyomValaszt::setChoice(int choice)
{
    if (QRadioButton *button = item(choice); button && button->isEnabled())
        button->setChecked(true);
}

void Tfrm_NyomValaszt::setExportAvailable(bool available)
{
    m_items[OutputExport]->setEnabled(available);
    if (!available && choice() == OutputExport)
        setChoice(OutputPreview);
}

void Tfrm_NyomValaszt::onChoiceChanged()
{
    const int selected = choice();
    m_pictures->setCurrentIndex(std::max(0, selected));
    const bool printing = selected == OutputPrinter;
    m_printerLabel->setEnabled(printing);
    m_printerBox->setEnabled(printing);
}

int ChoosePrintOutput(QString &printerName, bool exportAvailable, QWidget *parent)
{
    Tfrm_NyomValaszt dialog(QPrinterInfo::availablePrinterNames(), parent);
    dialog.setExportAvailable(exportAvailable);
    dialog.setPrinterName(printerName);
    if (dialog.exec() != QDialog::Accepted)
        return OutputNone;
    printerName = dialog.printerName();
    return dialog.choice();
}
