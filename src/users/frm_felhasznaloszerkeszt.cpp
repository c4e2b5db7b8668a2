#include "frm_felhasznaloszerkeszt.h"

#include "db/dberror.h"
#include "db/dbroutines.h"
#include "db/table.h"
#include "frm_inpstr.h"
#include "gui/dialogfields.h"
#include "gui/formgeometry.h"
#include "gui/messagebox.h"
#include "gui/roweditor.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace frm_felhasznaloszerkeszt {

constexpr int UserFieldLength = 20;

} // namespace frm_felhasznaloszerkeszt

Tfrm_FelhasznaloSzerkeszt::Tfrm_FelhasznaloSzerkeszt(const UserRecord &record, DigestFunction digest,
                                                     SaveFunction save, QWidget *parent)
    : QDialog(parent), m_digestOf(std::move(digest)), m_save(std::move(save)), m_digest(record.digest)
{
    setObjectName(u"frm_FelhasznaloSzerkeszt"_s);
    setWindowTitle(u"Felhasználó adatainak szerkesztése"_s);

    m_codeEdit = new QLineEdit(this);
    m_codeEdit->setObjectName(u"DBEdit1"_s);
    SetTextWithin(m_codeEdit, record.code, frm_felhasznaloszerkeszt::UserFieldLength);
    m_fullNameEdit = new QLineEdit(this);
    m_fullNameEdit->setObjectName(u"DBEdit3"_s);
    SetTextWithin(m_fullNameEdit, record.fullName, frm_felhasznaloszerkeszt::UserFieldLength);
    m_adminRightCheck = new QCheckBox(u"Rendszergazda"_s, this);
    m_adminRightCheck->setObjectName(u"DBCheckBox1"_s);
    m_adminRightCheck->setChecked(record.adminRight);
    m_masterDataRightCheck = new QCheckBox(u"Törzsadat szerkesztés"_s, this);
    m_masterDataRightCheck->setObjectName(u"DBCheckBox2"_s);
    m_masterDataRightCheck->setChecked(record.masterDataRight);

    m_okButton = new QPushButton(u"OK"_s, this);
    m_okButton->setObjectName(u"btnOK"_s);
    m_cancelButton = new QPushButton(u"Mégsem"_s, this);
    m_cancelButton->setObjectName(u"btnCancel"_s);
    m_passwordButton = new QPushButton(u"Jelszó megadás"_s, this);
    m_passwordButton->setObjectName(u"BitBtn1"_s);
    buildLayout();

    connect(m_okButton, &QPushButton::clicked, this, &Tfrm_FelhasznaloSzerkeszt::onOkClicked);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_passwordButton, &QPushButton::clicked, this, &Tfrm_FelhasznaloSzerkeszt::onPasswordClicked);

    const std::initializer_list<QWidget *> fields{m_codeEdit, m_fullNameEdit, m_adminRightCheck,
                                                  m_masterDataRightCheck};
    auto *keys = new FieldKeys(this, FieldKeys::PressButton(m_okButton));
    keys->watch(fields);
    PaintFocusedFields(fields);
    m_codeEdit->setFocus();
}

void Tfrm_FelhasznaloSzerkeszt::buildLayout()
{
    auto *codeLabel = new QLabel(u"Felhasználó"_s, this);
    codeLabel->setBuddy(m_codeEdit);
    auto *nameLabel = new QLabel(u"Felhasználó teljes neve"_s, this);
    nameLabel->setBuddy(m_fullNameEdit);

    auto *fields = new QGridLayout;
    fields->addWidget(codeLabel, 0, 0);
    fields->addWidget(m_codeEdit, 1, 0);
    fields->addWidget(nameLabel, 2, 0);
    fields->addWidget(m_fullNameEdit, 3, 0);
    fields->addWidget(m_adminRightCheck, 4, 0);
    fields->addWidget(m_masterDataRightCheck, 5, 0);
    fields->setColumnMinimumWidth(0, 260);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_okButton);
    buttons->addWidget(m_cancelButton);
    buttons->addStretch();
    buttons->addWidget(m_passwordButton);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    setTabOrder(m_codeEdit, m_fullNameEdit);
    setTabOrder(m_fullNameEdit, m_adminRightCheck);
    setTabOrder(m_adminRightCheck, m_masterDataRightCheck);
    setTabOrder(m_masterDataRightCheck, m_okButton);
    setTabOrder(m_okButton, m_cancelButton);
    setTabOrder(m_cancelButton, m_passwordButton);
}

UserRecord Tfrm_FelhasznaloSzerkeszt::record() const
{
    UserRecord r;
    r.code = m_codeEdit->text();
    r.fullName = m_fullNameEdit->text();
    r.adminRight = m_adminRightCheck->isChecked();
    r.masterDataRight = m_masterDataRightCheck->isChecked();
    r.digest = m_digest;
    return r;
}

void Tfrm_FelhasznaloSzerkeszt::onPasswordClicked()
{
    QString password;
    if (!AskString(u"Jelszó megadás"_s, u"Add meg a jelszót"_s, true, 0, -1, password, this,
                   font().pointSize()))
        return;
    try {
        m_digest = m_digestOf(password);
    } catch (...) {
        ShowCurrentException(this);
    }
}

void Tfrm_FelhasznaloSzerkeszt::onOkClicked()
{
    if (!m_digest) {
        ShowErrorBox(u"Adj meg induló jelszót!"_s, this);
        return;
    }
    try {
        m_save(record());
    } catch (const DbError &error) {
        ShowErrorBox(u"Hiányos adat megadás\n"_s + error.message(), this);
        return;
    }
    accept();
}

int EditUser(Connection &connection, bool isNew, int userId, QWidget *parent, int fontSize)
{
    Table tbl(&connection, u"felhasznalo"_s);
    OpenRowForEditing(tbl, isNew ? QString() : u"felhkod = "_s + QString::number(userId));
    UserRecord initial;
    if (isNew) {
        tbl.setValue(u"rendszergazda"_s, UserRightFlag(false));
        tbl.setValue(u"torzsszerkeszt"_s, UserRightFlag(false));
        tbl.setValue(u"felhkod"_s, NextId(connection, u"felhkod"_s, u"felhasznalo"_s));
    } else {
        initial = ReadUserRecord(tbl);
    }

    const auto digestOf = [&connection](const QString &password) { return ServerMd5(connection, password); };
    const auto save = [&](const UserRecord &r) { WriteUserRow(connection, tbl, isNew, initial, r); };
    Tfrm_FelhasznaloSzerkeszt dialog(initial, digestOf, save, parent);
    ApplyFontSize(&dialog, fontSize);
    dialog.setFixedSize(dialog.sizeHint());
    MakeFixedSize(&dialog);
    LoadFormPos(&dialog);
    const bool ok = dialog.exec() == QDialog::Accepted;
    SaveFormPos(&dialog);
    if (!ok) {
        tbl.cancel();
        return -1;
    }
    return isNew ? tbl.value(u"felhkod"_s).toInt() : userId;
}
