#include "app/frm_nevjegy.h"

#include "app/appevents.h"
#include "common/makerinfo.h"
#include "common/version.h"
#include "gui/icons.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

QLabel *Heading(const QString &text, const QColor &background, Qt::Alignment align, int pointSize,
                QWidget *parent)
{
    auto label = new QLabel(text, parent);
    QFont f(u"Arial"_s, pointSize);
    f.setBold(true);
    label->setFont(f);
    label->setAlignment(align | Qt::AlignVCenter);
    label->setAutoFillBackground(true);
    QPalette pal = label->palette();
    pal.setColor(QPalette::Window, background);
    pal.setColor(QPalette::WindowText, QColor(0x1d, 0x2b, 0x3a));
    label->setPalette(pal);
    label->setMargin(6);
    return label;
}

QLabel *TextBlock(const QString &text, const QString &name, QWidget *parent)
{
    auto label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setFont(QFont(u"Tahoma"_s, 9));
    label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    label->setWordWrap(true);
    return label;
}

} // namespace

Tfrm_Nevjegy::Tfrm_Nevjegy(QWidget *parent) : RememberedDialog(parent)
{
    setObjectName(u"frm_Nevjegy"_s);
    setWindowTitle(u"Névjegy"_s);
    setFont(QFont(u"Tahoma"_s, 8));
    // Its layout is designed around this font; the program-wide size would not fit it.
    setProperty(AppEventFilter::KeepsOwnFontProperty, true);
    setFixedSize(672, 437);

    auto panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto grid = new QGridLayout(panel);
    grid->setContentsMargins(10, 10, 10, 10);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(8);

    const QColor paleGreen(0xc0, 0xdc, 0xc0);
    const QColor cream(0xff, 0xfb, 0xf0);
    m_productLabel =
        Heading(u"OrvantH\nV"_s + QString::fromUtf16(ProgramVersion), paleGreen, Qt::AlignRight, 16, panel);
    m_productLabel->setObjectName(u"lblProduct"_s);
    grid->addWidget(m_productLabel, 0, 0);
    grid->setRowStretch(1, 1);
    grid->addWidget(Heading(u"Orvant.H - Határozatok könyve"_s, cream, Qt::AlignHCenter, 12, panel), 2, 0);
    // The maker's block only when the build names the maker: nothing invented.
    const QString contactText = ContactText(BuiltInMakerInfo());
    if (!contactText.isEmpty()) {
        grid->addWidget(Heading(u"Elérhetőség"_s, cream, Qt::AlignHCenter, 11, panel), 3, 0);
        m_contactLabel = TextBlock(contactText, u"lblElerhetoseg"_s, panel);
        grid->addWidget(m_contactLabel, 4, 0);
    }
    m_licenceLabel = TextBlock(LicenceText(), u"lblLicenc"_s, panel);
    grid->addWidget(m_licenceLabel, 5, 0);
    grid->setRowStretch(6, 2);

    auto logo = new QLabel(panel);
    logo->setObjectName(u"Image1"_s);
    logo->setPixmap(LogoPixmap(256));
    logo->setFixedSize(256, 256);
    grid->addWidget(logo, 0, 1, 7, 1, Qt::AlignVCenter);
    grid->setColumnStretch(0, 1);

    auto ok = new QPushButton(u"OK"_s, this);
    ok->setObjectName(u"btnOK"_s);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);

    auto buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    auto layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->addWidget(panel, 1);
    layout->addLayout(buttons);
}

void ShowAboutBox(QWidget *parent)
{
    auto box = new Tfrm_Nevjegy(parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->exec();
}
