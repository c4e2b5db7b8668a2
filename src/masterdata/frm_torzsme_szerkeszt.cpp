#include "frm_torzsme_szerkeszt.h"

#include "common/dialogfields.h"
#include "common/formgeometry.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

Tfrm_TorzsMe_Szerkeszt::Tfrm_TorzsMe_Szerkeszt(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frm_TorzsMe_Szerkeszt"_s);
    setWindowTitle(u"Tárgy"_s);
    setFixedSize(468, 183);

    Label1 = new QLabel(u"Tárgy"_s, this);
    Label1->setGeometry(16, 16, 436, 20);
    DBEdit1 = new QLineEdit(this);
    DBEdit1->setObjectName(u"DBEdit1"_s);
    DBEdit1->setGeometry(16, 40, 436, 26);
    DBEdit1->setMaxLength(255);
    Label1->setBuddy(DBEdit1);

    btnOK = new QPushButton(u"OK"_s, this);
    btnOK->setObjectName(u"btnOK"_s);
    btnOK->setGeometry(272, 136, 86, 30);
    btnMegsem = new QPushButton(u"Mégsem"_s, this);
    btnMegsem->setObjectName(u"btnMegsem"_s);
    btnMegsem->setGeometry(366, 136, 86, 30);
    btnOK->setAutoDefault(false);
    btnMegsem->setAutoDefault(false);

    auto *keys = new FieldKeys(this, FieldKeys::PressButton(btnOK));
    keys->watch(DBEdit1);
    PaintFocusedField(DBEdit1);

    connect(btnOK, &QPushButton::clicked, this, &Tfrm_TorzsMe_Szerkeszt::btnOKClick);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfrm_TorzsMe_Szerkeszt::setSubject(const QString &subject)
{
    DBEdit1->setText(subject);
}

QString Tfrm_TorzsMe_Szerkeszt::subject() const
{
    return DBEdit1->text();
}

void Tfrm_TorzsMe_Szerkeszt::btnOKClick()
{
    if (!m_save || m_save())
        accept();
}

void Tfrm_TorzsMe_Szerkeszt::showEvent(QShowEvent *event)
{
    if (!m_placed) {
        m_placed = true;
        LoadFormPos(this);
    }
    QDialog::showEvent(event);
}

void Tfrm_TorzsMe_Szerkeszt::done(int result)
{
    if (isVisible())
        SaveFormPos(this);
    QDialog::done(result);
}
