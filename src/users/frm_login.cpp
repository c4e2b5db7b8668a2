#include "frm_login.h"

#include "gui/dialogfields.h"
#include "gui/formgeometry.h"
#include "gui/inputquery.h"
#include "gui/messagebox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

using namespace Qt::StringLiterals;

Tfrm_Login::Tfrm_Login(Connection &connection, QList<LoginRow> rows, QWidget *parent)
    : QDialog(parent), m_connection(connection), m_rows(std::move(rows))
{
    setObjectName(u"frm_Login"_s);
    setWindowTitle(u"Belépés azonosítás"_s);

    m_userEdit = new QLineEdit(this);
    m_userEdit->setObjectName(u"edtFelhasznalo"_s);
    m_passwordEdit = new QLineEdit(this);
    m_passwordEdit->setObjectName(u"edtJelszo"_s);
    m_passwordEdit->setEchoMode(QLineEdit::Password);

    m_okButton = new QPushButton(u"OK"_s, this);
    m_okButton->setObjectName(u"btnOK"_s);
    m_newPasswordButton = new QPushButton(u"Új jelszó"_s, this);
    m_newPasswordButton->setObjectName(u"btnUjJelszo"_s);
    m_cancelButton = new QPushButton(u"Mégsem"_s, this);
    m_cancelButton->setObjectName(u"btnMegsem"_s);

    auto *userLabel = new QLabel(u"Felhasználó"_s, this);
    userLabel->setBuddy(m_userEdit);
    auto *passwordLabel = new QLabel(u"Jelszó"_s, this);
    passwordLabel->setBuddy(m_passwordEdit);

    auto *fields = new QGridLayout;
    fields->addWidget(userLabel, 0, 0);
    fields->addWidget(m_userEdit, 0, 1);
    fields->addWidget(passwordLabel, 1, 0);
    fields->addWidget(m_passwordEdit, 1, 1);
    fields->setColumnMinimumWidth(1, 180);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_newPasswordButton);
    buttons->addWidget(m_cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(fields);
    layout->addSpacing(12);
    layout->addLayout(buttons);

    setTabOrder(m_userEdit, m_passwordEdit);
    setTabOrder(m_passwordEdit, m_okButton);
    setTabOrder(m_okButton, m_newPasswordButton);
    setTabOrder(m_newPasswordButton, m_cancelButton);

    connect(m_okButton, &QPushButton::clicked, this, &Tfrm_Login::onOkClicked);
    connect(m_newPasswordButton, &QPushButton::clicked, this, &Tfrm_Login::onNewPasswordClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    // Enter walks through the boxes; on a button it presses that button.
    auto *keys = new FieldKeys(this, nullptr);
    keys->watch({m_userEdit, m_passwordEdit});
    PaintFocusedFields({m_userEdit, m_passwordEdit});
    m_userEdit->setFocus();
}

void Tfrm_Login::setUserCode(const QString &code)
{
    m_userEdit->setText(code);
}

bool Tfrm_Login::checkCredentials()
{
    if (const auto user =
            CheckCredentials(m_connection, m_rows, m_userEdit->text(), m_passwordEdit->text())) {
        m_user = *user;
        return true;
    }
    ShowErrorBox(u"Érvénytelen felhasználó, vagy jelszó"_s, this);
    return false;
}

void Tfrm_Login::onOkClicked()
{
    try {
        if (!checkCredentials())
            return;
    } catch (...) {
        ShowCurrentException(this);
        return;
    }
    accept();
}

void Tfrm_Login::onNewPasswordClicked()
{
    try {
        changePassword();
    } catch (...) {
        ShowCurrentException(this);
    }
}

void Tfrm_Login::changePassword()
{
    if (!checkCredentials())
        return;
    QString first;
    if (!MaskedInputQuery(u"Jelszó megadása"_s, u"Add meg az új jelszót"_s, QString(), first, this))
        return;
    QString second;
    if (!MaskedInputQuery(u"Megerősítés"_s, u"Add újra az új jelszót"_s, QString(), second, this))
        return;
    if (first != second) {
        ShowErrorBox(u"A megadott jelszavak nem egyezőek"_s, this);
        return;
    }
    ChangePassword(m_connection, m_user.id, first);
    // Read again so that the next check compares with the new digest.
    m_rows = ReadLoginRows(m_connection);
    ShowInfoBox(u"Jelszó változtatás kész."_s, this);
}

bool ShowLogin(Connection &connection, LoginUser &user, int fontSize, QWidget *parent)
{
    Tfrm_Login dialog(connection, ReadLoginRows(connection), parent);
    ApplyFontSize(&dialog, fontSize);
    dialog.setUserCode(user.loginName);
    dialog.setFixedSize(dialog.sizeHint());
    MakeFixedSize(&dialog);
    if (const QScreen *screen = dialog.screen())
        dialog.move(screen->availableGeometry().center() - dialog.rect().center());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    user = dialog.user();
    return true;
}
