#include "frm_login.h"

#include "gui/dialogfields.h"
#include "gui/inputquery.h"
#include "gui/messagebox.h"
#include "db/dbroutines.h"
#include "db/table.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

using namespace Qt::StringLiterals;

namespace {

QString CellText(const Table &table, int row, const QString &field)
{
    return table.rows().text(row, table.rows().fieldIndex(field));
}

} // namespace

Tfrm_Login::Tfrm_Login(Connection &connection, Table &tblLogin, QWidget *parent)
    : QDialog(parent), m_connection(connection), m_tblLogin(tblLogin)
{
    setObjectName(u"frm_Login"_s);
    setWindowTitle(u"Belépés azonosítás"_s);

    edtFelhasznalo = new QLineEdit(this);
    edtFelhasznalo->setObjectName(u"edtFelhasznalo"_s);
    edtJelszo = new QLineEdit(this);
    edtJelszo->setObjectName(u"edtJelszo"_s);
    edtJelszo->setEchoMode(QLineEdit::Password);

    btnOK = new QPushButton(u"OK"_s, this);
    btnOK->setObjectName(u"btnOK"_s);
    btnUjJelszo = new QPushButton(u"Új jelszó"_s, this);
    btnUjJelszo->setObjectName(u"btnUjJelszo"_s);
    btnMegsem = new QPushButton(u"Mégsem"_s, this);
    btnMegsem->setObjectName(u"btnMegsem"_s);

    auto *userLabel = new QLabel(u"Felhasználó"_s, this);
    userLabel->setBuddy(edtFelhasznalo);
    auto *passwordLabel = new QLabel(u"Jelszó"_s, this);
    passwordLabel->setBuddy(edtJelszo);

    auto *fields = new QGridLayout;
    fields->addWidget(userLabel, 0, 0);
    fields->addWidget(edtFelhasznalo, 0, 1);
    fields->addWidget(passwordLabel, 1, 0);
    fields->addWidget(edtJelszo, 1, 1);
    fields->setColumnMinimumWidth(1, 180);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnUjJelszo);
    buttons->addWidget(btnMegsem);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(fields);
    layout->addSpacing(12);
    layout->addLayout(buttons);

    setTabOrder(edtFelhasznalo, edtJelszo);
    setTabOrder(edtJelszo, btnOK);
    setTabOrder(btnOK, btnUjJelszo);
    setTabOrder(btnUjJelszo, btnMegsem);

    connect(btnOK, &QPushButton::clicked, this, &Tfrm_Login::btnOKClick);
    connect(btnUjJelszo, &QPushButton::clicked, this, &Tfrm_Login::btnUjJelszoClick);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);

    // Enter walks through the boxes; on a button it presses that button.
    auto *keys = new FieldKeys(this, nullptr);
    keys->watch({edtFelhasznalo, edtJelszo});
    PaintFocusedFields({edtFelhasznalo, edtJelszo});
}

bool Tfrm_Login::CheckCredentials()
{
    const QString code = edtFelhasznalo->text();
    const int codeColumn = m_tblLogin.rows().fieldIndex(u"felhasznalo"_s);
    int row = -1;
    // The column's collation ignores letter case and accents, so the code is matched here,
    // exactly.
    for (int r = 0; r < m_tblLogin.rowCount(); ++r) {
        if (!m_tblLogin.rows().isNull(r, codeColumn) && m_tblLogin.rows().text(r, codeColumn) == code) {
            row = r;
            break;
        }
    }
    if (row >= 0) {
        const QString digest = ServerMd5(m_connection, edtJelszo->text());
        // NULL reads as empty, which no digest equals: a user without a password cannot log in.
        if (!digest.isEmpty() && digest == CellText(m_tblLogin, row, u"jelszomd5"_s)) {
            m_row = row;
            m_user.masterDataRight = CellText(m_tblLogin, row, u"torzsszerkeszt"_s) == u"I"_s;
            m_user.adminRight = CellText(m_tblLogin, row, u"rendszergazda"_s) == u"I"_s;
            m_user.loginName = CellText(m_tblLogin, row, u"felhasznalo"_s);
            m_user.fullName = CellText(m_tblLogin, row, u"felhasznalo_nev"_s);
            m_user.id = CellText(m_tblLogin, row, u"felhkod"_s).toInt();
            return true;
        }
    }
    ShowErrorBox(u"Érvénytelen felhasználó, vagy jelszó"_s, this);
    return false;
}

void Tfrm_Login::btnOKClick()
{
    m_accepted = false;
    try {
        if (!CheckCredentials())
            return;
    } catch (...) {
        ShowCurrentException(this);
        return;
    }
    m_accepted = true;
    accept();
}

void Tfrm_Login::btnUjJelszoClick()
{
    try {
        changePassword();
    } catch (...) {
        ShowCurrentException(this);
    }
}

void Tfrm_Login::changePassword()
{
    if (!CheckCredentials())
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
    const QString digest = ServerMd5(m_connection, first);
    m_tblLogin.edit(m_row);
    try {
        m_tblLogin.setValue(u"jelszomd5"_s, digest);
        m_tblLogin.post();
    } catch (...) {
        m_tblLogin.cancel();
        throw;
    }
    // The rows are read again so that the next check compares with the new digest.
    m_tblLogin.refresh();
    m_row = -1;
    ShowInfoBox(u"Jelszó változtatás kész."_s, this);
}

bool ShowLogin(Connection &connection, LoginUser &user, int fontSize, QWidget *parent)
{
    Table tblLogin(&connection, u"felhasznalo"_s);
    tblLogin.open();

    Tfrm_Login dialog(connection, tblLogin, parent);
    ApplyFontSize(&dialog, fontSize);
    dialog.edtFelhasznalo->setText(user.loginName);
    dialog.setFixedSize(dialog.sizeHint());
    if (const QScreen *screen = dialog.screen())
        dialog.move(screen->availableGeometry().center() - dialog.rect().center());
    dialog.edtFelhasznalo->setFocus();

    dialog.exec();
    if (!dialog.accepted())
        return false;
    user = dialog.user();
    return true;
}
