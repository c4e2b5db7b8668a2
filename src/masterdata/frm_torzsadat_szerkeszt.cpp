#include "frm_torzsadat_szerkeszt.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

Tfrm_Torzsadat_Szerkeszt::Tfrm_Torzsadat_Szerkeszt(QWidget *parent)
    : RowEditor(u"frm_Torzsadat_Szerkeszt"_s, QSize(348, 187), parent)
{
    DBText1 = new QLabel(this);
    DBText1->setObjectName(u"DBText1"_s);
    DBText1->setGeometry(16, 72, 316, 16);
    QFont small = DBText1->font();
    small.setPointSizeF(small.pointSizeF() * 0.8);
    DBText1->setFont(small);

    DBEdit1->installEventFilter(this);
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

bool Tfrm_Torzsadat_Szerkeszt::eventFilter(QObject *watched, QEvent *event)
{
    // A name starts with a capital: the first letter a to z typed into the empty edit is raised
    // (accented letters stay as typed).
    if (watched == DBEdit1 && event->type() == QEvent::KeyPress && DBEdit1->text().isEmpty()) {
        auto *key = static_cast<QKeyEvent *>(event);
        const QString typed = key->text();
        if (typed.size() == 1 && typed.at(0) >= u'a' && typed.at(0) <= u'z' &&
            !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            DBEdit1->insert(typed.toUpper());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
