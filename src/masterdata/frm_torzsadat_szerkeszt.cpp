#include "frm_torzsadat_szerkeszt.h"

#include "common/dialogfields.h"
#include "common/formgeometry.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

Tfrm_Torzsadat_Szerkeszt::Tfrm_Torzsadat_Szerkeszt(QWidget *parent) : QDialog(parent)
{
    setObjectName(u"frm_Torzsadat_Szerkeszt"_s);
    setFixedSize(348, 187);

    Label1 = new QLabel(this);
    Label1->setGeometry(16, 16, 316, 20);
    DBEdit1 = new QLineEdit(this);
    DBEdit1->setObjectName(u"DBEdit1"_s);
    DBEdit1->setGeometry(16, 40, 316, 26);
    Label1->setBuddy(DBEdit1);
    DBText1 = new QLabel(this);
    DBText1->setObjectName(u"DBText1"_s);
    DBText1->setGeometry(16, 72, 316, 16);
    QFont small = DBText1->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    DBText1->setFont(small);

    btnOK = new QPushButton(u"OK"_s, this);
    btnOK->setObjectName(u"btnOK"_s);
    btnOK->setGeometry(152, 140, 86, 30);
    btnMegsem = new QPushButton(u"Mégsem"_s, this);
    btnMegsem->setObjectName(u"btnMegsem"_s);
    btnMegsem->setGeometry(246, 140, 86, 30);
    // Enter belongs to the fields (it moves on); only a focused button reacts to it.
    btnOK->setAutoDefault(false);
    btnMegsem->setAutoDefault(false);

    auto *keys = new FieldKeys(this, FieldKeys::PressButton(btnOK));
    keys->watch(DBEdit1);
    PaintFocusedField(DBEdit1);
    DBEdit1->installEventFilter(this);

    connect(btnOK, &QPushButton::clicked, this, &Tfrm_Torzsadat_Szerkeszt::btnOKClick);
    connect(btnMegsem, &QPushButton::clicked, this, &QDialog::reject);
}

void Tfrm_Torzsadat_Szerkeszt::setCaption(const QString &caption)
{
    setWindowTitle(caption);
    Label1->setText(caption);
}

void Tfrm_Torzsadat_Szerkeszt::setName(const QString &name)
{
    DBEdit1->setText(name);
}

QString Tfrm_Torzsadat_Szerkeszt::name() const
{
    return DBEdit1->text();
}

void Tfrm_Torzsadat_Szerkeszt::setMaxNameLength(int length)
{
    if (length > 0)
        DBEdit1->setMaxLength(length);
}

void Tfrm_Torzsadat_Szerkeszt::setIdText(const QString &text)
{
    DBText1->setText(text);
}

void Tfrm_Torzsadat_Szerkeszt::setOkEnabled(bool enabled)
{
    btnOK->setEnabled(enabled);
}

void Tfrm_Torzsadat_Szerkeszt::btnOKClick()
{
    if (!m_save || m_save())
        accept();
}

void Tfrm_Torzsadat_Szerkeszt::showEvent(QShowEvent *event)
{
    if (!m_placed) {
        m_placed = true;
        LoadFormPos(this);
    }
    QDialog::showEvent(event);
}

void Tfrm_Torzsadat_Szerkeszt::done(int result)
{
    if (isVisible())
        SaveFormPos(this);
    QDialog::done(result);
}

bool Tfrm_Torzsadat_Szerkeszt::eventFilter(QObject *watched, QEvent *event)
{
    // A name starts with a capital: the first letter a to z typed into the empty edit is raised
    // (accented letters stay as typed).
    if (watched == DBEdit1 && event->type() == QEvent::KeyPress && DBEdit1->text().isEmpty()) {
        auto *key = static_cast<QKeyEvent *>(event);
        const QString typed = key->text();
        if (typed.size() == 1 && typed.at(0) >= u'a' && typed.at(0) <= u'z'
            && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            DBEdit1->insert(typed.toUpper());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
