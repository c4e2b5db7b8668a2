#include "frm_adatbazisnyit.h"

#include "common/paths.h"
#include "frm_init.h"
#include "gui/dialogfields.h"
#include "gui/formgeometry.h"
#include "gui/messagebox.h"
#include "profilecheck.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace frm_adatbazisnyit {

constexpr int DesignWidth = 420;
constexpr int DesignHeight = 300;

} // namespace frm_adatbazisnyit

Tfrm_AdatbazisNyit::Tfrm_AdatbazisNyit(const QStringList &lines, const QStringList &profileStrings,
                                       int fontSize, QWidget *parent)
    : QDialog(parent), m_profileStrings(profileStrings), m_fontSize(fontSize)
{
    setObjectName(u"frm_AdatbazisNyit"_s);
    ApplyFontSize(this, ProfileDialogFontSize(fontSize));

    m_profileList = new QListWidget(this);
    m_profileList->setObjectName(u"ListBox1"_s);
    m_profileList->addItems(lines);
    if (m_profileList->count() > 0)
        m_profileList->setCurrentRow(0);
    m_profileList->installEventFilter(this);

    auto *picture = new QLabel(this);
    picture->setPixmap(style()->standardIcon(QStyle::SP_DriveNetIcon).pixmap(32, 32));

    m_newButton = new QPushButton(style()->standardIcon(QStyle::SP_FileDialogNewFolder), u"Új"_s, this);
    m_newButton->setObjectName(u"BitBtn1"_s);
    m_newButton->setAutoDefault(false);
    m_okButton = new QPushButton(u"OK"_s, this);
    m_okButton->setObjectName(u"Button1"_s);
    m_okButton->setDefault(true);
    m_cancelButton = new QPushButton(u"Mégsem"_s, this);
    m_cancelButton->setObjectName(u"Button2"_s);
    m_cancelButton->setAutoDefault(false);

    auto *strip = new QHBoxLayout;
    strip->addWidget(picture);
    strip->addStretch(1);
    strip->addWidget(m_newButton);
    strip->addSpacing(12);
    strip->addWidget(m_okButton);
    strip->addWidget(m_cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_profileList, 1);
    layout->addLayout(strip);

    connect(m_okButton, &QPushButton::clicked, this, &Tfrm_AdatbazisNyit::onOkClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &Tfrm_AdatbazisNyit::reject);
    connect(m_newButton, &QPushButton::clicked, this, &Tfrm_AdatbazisNyit::onNewClicked);
    connect(m_profileList, &QListWidget::itemDoubleClicked, this, &Tfrm_AdatbazisNyit::onOkClicked);

    resize(frm_adatbazisnyit::DesignWidth, frm_adatbazisnyit::DesignHeight);
}

int Tfrm_AdatbazisNyit::selectedIndex() const
{
    const QListWidgetItem *item = m_profileList->currentItem();
    return item && item->isSelected() ? m_profileList->row(item) : -1;
}

bool Tfrm_AdatbazisNyit::testSelected()
{
    const int index = selectedIndex();
    if (index < 0)
        return false;
    // The profile string at that position, not the displayed line.
    return TestProfileConnection(ConnectionProfile::fromText(m_profileStrings.value(index)), this,
                                 {m_profileList, m_newButton, m_okButton});
}

void Tfrm_AdatbazisNyit::onOkClicked()
{
    if (testSelected())
        accept();
}

void Tfrm_AdatbazisNyit::onNewClicked()
{
    if (RunFirstSetup(m_newProfileString, m_fontSize, this)) {
        m_newProfileIndex = m_profileList->count();
        accept();
    } else {
        reject();
    }
}

bool Tfrm_AdatbazisNyit::eventFilter(QObject *watched, QEvent *event)
{
    // Up on the first line goes to the last, Down on the last to the first: the line is
    // noted when the key goes down, since the list has already moved when it comes up.
    if (watched == m_profileList) {
        if (event->type() == QEvent::KeyPress) {
            m_keyDownIndex = m_profileList->currentRow();
        } else if (event->type() == QEvent::KeyRelease) {
            const auto *key = static_cast<QKeyEvent *>(event);
            const int last = m_profileList->count() - 1;
            if (!key->isAutoRepeat() && last >= 0) {
                if (key->key() == Qt::Key_Up && m_keyDownIndex == 0)
                    m_profileList->setCurrentRow(last);
                else if (key->key() == Qt::Key_Down && m_keyDownIndex == last)
                    m_profileList->setCurrentRow(0);
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

QString ProfileChooserCaption()
{
    return u"OrvantH Határozatok adatbázis választás"_s;
}

int ChooseProfile(const QString &listText, const QStringList &profileStrings, const QString &caption,
                  QString *newProfileString, int fontSize, QWidget *parent)
{
    const QStringList lines = ProfileListLines(listText);
    Tfrm_AdatbazisNyit dialog(lines, profileStrings, fontSize, parent);
    dialog.setWindowTitle(caption);

    if (lines.size() == 1 && dialog.testSelected())
        return 0;

    // Size as last left, but always centred on the screen. The stored size is the outer one
    // (frame included), as it was saved.
    const QRect outer = OuterGeometry(&dialog);
    const QRect bounds =
        LoadFormBounds(dialog.objectName(), outer.x(), outer.y(), outer.height(), outer.width());
    QRect area = WorkArea();
    if (area.isNull() && QGuiApplication::primaryScreen())
        area = QGuiApplication::primaryScreen()->availableGeometry();
    const QPoint topLeft =
        area.isNull() ? outer.topLeft() : area.center() - QPoint(bounds.width() / 2, bounds.height() / 2);
    SetOuterGeometry(&dialog, QRect(topLeft, bounds.size()));

    const int result = dialog.exec();
    try {
        SaveFormBounds(&dialog);
    } catch (...) {
        ShowCurrentException(parent);
    }
    if (result != QDialog::Accepted)
        return -1;
    if (dialog.newProfileIndex() != -1) {
        if (newProfileString)
            *newProfileString = dialog.newProfileString();
        return dialog.newProfileIndex();
    }
    return dialog.selectedIndex();
}
