#include "frm_init.h"

#include "common/paths.h"
#include "config/conprofile.h"
#include "config/inifile.h"
#include "config/profilelist.h"
#include "gui/dialogfields.h"
#include "gui/formgeometry.h"
#include "gui/messagebox.h"
#include "profilecheck.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

Tfrm_Init::Tfrm_Init(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frm_Init"_s);
    setWindowTitle(u"Adatbázis beállítás"_s);

    QVBoxLayout *fields = createFields();
    QHBoxLayout *buttons = createButtons();
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 14, 16, 14);
    layout->addLayout(fields);
    layout->addSpacing(14);
    layout->addLayout(buttons);
    MakeFixedSize(this);

    // Enter moves on from the host only; elsewhere it must neither run the test nor close the
    // dialog. Ctrl+Enter in the host accepts without a test.
    auto *keys = new FieldKeys(this, [this] { accept(); });
    keys->watch(m_hostEdit);
    keys->ignoreEnter({m_databaseEdit, m_userEdit, m_displayNameEdit, m_portEdit, m_passwordEdit});
    PaintFocusedFields(
        {m_databaseEdit, m_hostEdit, m_userEdit, m_displayNameEdit, m_portEdit, m_passwordEdit});
    m_hostEdit->setFocus();
}

QVBoxLayout *Tfrm_Init::createFields()
{
    auto *fields = new QVBoxLayout;
    fields->setSpacing(2);
    auto addField = [&](const QString &name, const QString &label) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(name);
        auto *caption = new QLabel(label, this);
        caption->setBuddy(edit);
        if (fields->count() > 0)
            fields->addSpacing(6);
        fields->addWidget(caption);
        fields->addWidget(edit);
        return edit;
    };
    // Added in tab order.
    m_hostEdit = addField(u"Edit2"_s, u"Kiszolgáló (webszerver) név, vagy IP cím"_s);
    m_userEdit = addField(u"Edit3"_s, u"Felhasználó"_s);
    m_passwordEdit = addField(u"Edit6"_s, u"Jelszó"_s);
    m_databaseEdit = addField(u"Edit1"_s, u"Tárhely, vagy adatbázis neve"_s);
    m_displayNameEdit = addField(u"Edit4"_s, u"Adatbázis megjelenített neve"_s);
    m_portEdit = addField(u"Edit5"_s, u"Port"_s);
    m_portEdit->setText(u"3306"_s);
    m_portEdit->setMaximumWidth(m_portEdit->fontMetrics().horizontalAdvance(u"0"_s) * 8 + 16);
    MaskWithStars(m_passwordEdit);
    m_hostEdit->setMinimumWidth(m_hostEdit->fontMetrics().averageCharWidth() * 44);
    return fields;
}

QHBoxLayout *Tfrm_Init::createButtons()
{
    m_testButton = new QPushButton(u"Kapcsolat tesztelése"_s, this);
    m_testButton->setObjectName(u"Button1"_s);
    m_okButton = new QPushButton(u"Rendben"_s, this);
    m_okButton->setObjectName(u"Button2"_s);
    m_okButton->setEnabled(false);
    m_cancelButton = new QPushButton(u"Mégsem"_s, this);
    m_cancelButton->setObjectName(u"Button3"_s);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_testButton);
    buttons->addStretch(1);
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);

    connect(m_testButton, &QPushButton::clicked, this, &Tfrm_Init::onTestClicked);
    connect(m_okButton, &QPushButton::clicked, this, &Tfrm_Init::accept);
    connect(m_cancelButton, &QPushButton::clicked, this, &Tfrm_Init::reject);
    return buttons;
}

ConnectionProfile Tfrm_Init::typedProfile() const
{
    return {m_databaseEdit->text(), m_hostEdit->text(),     m_portEdit->text(),
            m_userEdit->text(),     m_passwordEdit->text(), m_displayNameEdit->text()};
}

QString Tfrm_Init::profileString() const
{
    return typedProfile().toText();
}

QString Tfrm_Init::storeProblem() const
{
    // A ";" would shift every later field of the stored profile (a password holding one would
    // test fine here and then fail at every start), so it is refused.
    return ProfileFieldsProblem({{u"Kiszolgáló"_s, m_hostEdit->text()},
                                 {u"Felhasználó"_s, m_userEdit->text()},
                                 {u"Jelszó"_s, m_passwordEdit->text()},
                                 {u"Adatbázis neve"_s, m_databaseEdit->text()},
                                 {u"Megjelenített név"_s, m_displayNameEdit->text()},
                                 {u"Port"_s, m_portEdit->text()}});
}

void Tfrm_Init::accept()
{
    const QString problem = storeProblem();
    if (!problem.isEmpty()) {
        ShowErrorBox(problem, this);
        return;
    }
    QDialog::accept();
}

void Tfrm_Init::onTestClicked()
{
    if (TestProfileConnection(typedProfile(), this, {m_testButton, m_okButton})) {
        m_okButton->setEnabled(true);
        m_okButton->setFocus();
    }
}

bool RunFirstSetup(QString &profileString, int fontSize, QWidget *parent)
{
    Tfrm_Init dialog(parent);
    ApplyFontSize(&dialog, ProfileDialogFontSize(fontSize));
    LoadFormPos(&dialog);
    const int result = dialog.exec();
    if (result != QDialog::Accepted) {
        SaveFormPos(&dialog);
        return false;
    }

    const QString profile = dialog.profileString();
    profileString = profile;
    try {
        // At the very first start the data folder may not exist yet; the profile would be lost.
        QDir().mkpath(QFileInfo(SettingsFilePath()).absolutePath());
        SaveFormPos(&dialog);
        IniFile ini = SettingsFile();
        if (AddConnectionProfile(ini, profile) == 0)
            ShowWarningBox(
                u"A beállítási fájlban nincs hely újabb adatbázis-kapcsolatnak (legfeljebb %1). "
                "A most megadott kapcsolat csak ebben a futásban érvényes."_s.arg(kMaxConnectionProfiles),
                parent);
    } catch (const IniError &error) {
        ShowErrorBox(u"Hiba: "_s + error.message() +
                         u"\nA most megadott kapcsolat csak ebben a futásban érvényes."_s,
                     parent);
    }
    return true;
}
