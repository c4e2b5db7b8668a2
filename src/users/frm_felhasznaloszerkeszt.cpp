#include "frm_felhasznaloszerkeszt.h"

#include "gui/dialogfields.h"
#include "gui/formgeometry.h"
#include "gui/messagebox.h"
#include "db/dberror.h"
#include "db/dbroutines.h"
#include "db/table.h"
#include "frm_inpstr.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace {

constexpr int kTextLength = 20;

// A field of 20 characters, widened for a longer value stored elsewhere, so that showing it
// never cuts it.
void SetLimitedText(QLineEdit *edit, const QString &text)
{
    edit->setMaxLength(qMax(kTextLength, int(text.size())));
    edit->setText(text);
}

} // namespace

Tfrm_FelhasznaloSzerkeszt::Tfrm_FelhasznaloSzerkeszt(const UserRecord &record, DigestFunction digest,
                                                     SaveFunction save, QWidget *parent)
    : QDialog(parent), m_digestOf(std::move(digest)), m_save(std::move(save)), m_digest(record.digest)
{
    setObjectName(u"frm_FelhasznaloSzerkeszt"_s);
    setWindowTitle(u"Felhasználó adatainak szerkesztése"_s);

    DBEdit1 = new QLineEdit(this);
    DBEdit1->setObjectName(u"DBEdit1"_s);
    SetLimitedText(DBEdit1, record.code);
    DBEdit3 = new QLineEdit(this);
    DBEdit3->setObjectName(u"DBEdit3"_s);
    SetLimitedText(DBEdit3, record.fullName);
    DBCheckBox1 = new QCheckBox(u"Rendszergazda"_s, this);
    DBCheckBox1->setObjectName(u"DBCheckBox1"_s);
    DBCheckBox1->setChecked(record.adminRight);
    DBCheckBox2 = new QCheckBox(u"Törzsadat szerkesztés"_s, this);
    DBCheckBox2->setObjectName(u"DBCheckBox2"_s);
    DBCheckBox2->setChecked(record.masterDataRight);

    btnOK = new QPushButton(u"OK"_s, this);
    btnOK->setObjectName(u"btnOK"_s);
    btnCancel = new QPushButton(u"Mégsem"_s, this);
    btnCancel->setObjectName(u"btnCancel"_s);
    BitBtn1 = new QPushButton(u"Jelszó megadás"_s, this);
    BitBtn1->setObjectName(u"BitBtn1"_s);

    auto *codeLabel = new QLabel(u"Felhasználó"_s, this);
    codeLabel->setBuddy(DBEdit1);
    auto *nameLabel = new QLabel(u"Felhasználó teljes neve"_s, this);
    nameLabel->setBuddy(DBEdit3);

    auto *fields = new QGridLayout;
    fields->addWidget(codeLabel, 0, 0);
    fields->addWidget(DBEdit1, 1, 0);
    fields->addWidget(nameLabel, 2, 0);
    fields->addWidget(DBEdit3, 3, 0);
    fields->addWidget(DBCheckBox1, 4, 0);
    fields->addWidget(DBCheckBox2, 5, 0);
    fields->setColumnMinimumWidth(0, 260);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancel);
    buttons->addStretch();
    buttons->addWidget(BitBtn1);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 16);
    layout->setSpacing(16);
    layout->addLayout(fields);
    layout->addLayout(buttons);

    setTabOrder(DBEdit1, DBEdit3);
    setTabOrder(DBEdit3, DBCheckBox1);
    setTabOrder(DBCheckBox1, DBCheckBox2);
    setTabOrder(DBCheckBox2, btnOK);
    setTabOrder(btnOK, btnCancel);
    setTabOrder(btnCancel, BitBtn1);

    connect(btnOK, &QPushButton::clicked, this, &Tfrm_FelhasznaloSzerkeszt::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(BitBtn1, &QPushButton::clicked, this, &Tfrm_FelhasznaloSzerkeszt::BitBtn1Click);

    auto *keys = new FieldKeys(this, FieldKeys::PressButton(btnOK));
    keys->watch({DBEdit1, DBEdit3, DBCheckBox1, DBCheckBox2});
    PaintFocusedFields({DBEdit1, DBEdit3, DBCheckBox1, DBCheckBox2});
    DBEdit1->setFocus();
}

UserRecord Tfrm_FelhasznaloSzerkeszt::record() const
{
    UserRecord r;
    r.code = DBEdit1->text();
    r.fullName = DBEdit3->text();
    r.adminRight = DBCheckBox1->isChecked();
    r.masterDataRight = DBCheckBox2->isChecked();
    r.digest = m_digest;
    return r;
}

void Tfrm_FelhasznaloSzerkeszt::BitBtn1Click()
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

void Tfrm_FelhasznaloSzerkeszt::btnOKClick()
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
    UserRecord initial;
    if (isNew) {
        tbl.open(u"1 = 0"_s);
        tbl.append();
        tbl.setValue(u"rendszergazda"_s, u"N"_s);
        tbl.setValue(u"torzsszerkeszt"_s, u"N"_s);
        tbl.setValue(u"felhkod"_s, NextId(connection, u"felhkod"_s, u"felhasznalo"_s));
    } else {
        tbl.open(u"felhkod = "_s + QString::number(userId));
        tbl.edit(0);
        initial.code = tbl.value(u"felhasznalo"_s).toString();
        initial.fullName = tbl.value(u"felhasznalo_nev"_s).toString();
        initial.adminRight = tbl.value(u"rendszergazda"_s).toString() == u"I"_s;
        initial.masterDataRight = tbl.value(u"torzsszerkeszt"_s).toString() == u"I"_s;
        const QVariant digest = tbl.value(u"jelszomd5"_s);
        if (!digest.isNull())
            initial.digest = digest.toString();
    }

    const auto digestOf = [&connection](const QString &password) { return ServerMd5(connection, password); };
    // Compared with the row as it was read: a refused post leaves the table's row as read, so
    // each OK writes just what differs from it now, and a value typed back is no change.
    const auto save = [&](const UserRecord &r) {
        // Empty text is no value: the server then refuses a user without a code.
        const auto textValue = [](const QString &text) {
            return text.isEmpty() ? QVariant() : QVariant(text);
        };
        if (isNew || r.code != initial.code)
            tbl.setValue(u"felhasznalo"_s, textValue(r.code));
        if (isNew || r.fullName != initial.fullName)
            tbl.setValue(u"felhasznalo_nev"_s, textValue(r.fullName));
        // A right is written only when it was changed, so an odd stored value stays as it was.
        if (isNew || r.adminRight != initial.adminRight)
            tbl.setValue(u"rendszergazda"_s, r.adminRight ? u"I"_s : u"N"_s);
        if (isNew || r.masterDataRight != initial.masterDataRight)
            tbl.setValue(u"torzsszerkeszt"_s, r.masterDataRight ? u"I"_s : u"N"_s);
        if (r.digest != initial.digest)
            tbl.setValue(u"jelszomd5"_s, *r.digest);
        if (isNew) {
            // Taken again at the write: another workstation may have used the id meanwhile,
            // and a fixed id would make every further OK fail the same way.
            tbl.setValue(u"felhkod"_s, NextId(connection, u"felhkod"_s, u"felhasznalo"_s));
        }
        tbl.post();
    };

    Tfrm_FelhasznaloSzerkeszt dialog(initial, digestOf, save, parent);
    ApplyFontSize(&dialog, fontSize);
    dialog.setFixedSize(dialog.sizeHint());
    LoadFormPos(&dialog);
    const bool ok = dialog.exec() == QDialog::Accepted;
    SaveFormPos(&dialog);
    if (!ok) {
        tbl.cancel();
        return -1;
    }
    return isNew ? tbl.value(u"felhkod"_s).toInt() : userId;
}
